// The station's record: one line of JSON per job, and what it tells a
// station that starts again.

#include "station/station_record.h"

#include <gtest/gtest.h>

namespace pelmora::station {
namespace {

TEST(StationRecord, EachJobIsOneLineAndVerifiedOnesAreDoneEarlier) {
  RecordEntry done;
  done.timeUtc = isoTimeUtc(1796652125);
  done.port = "COM5";
  done.adapter = "FT232R A10K3V9Q";
  done.imei = "490154203237518";
  done.firmware = "PLM 1.0.3";
  done.profileName = "fleet.json";
  done.profileSha256 = "aa";
  done.changes = {FieldChange{"SmsReportInterval", "30", "45"}};
  done.verified = true;
  EXPECT_EQ(recordLine(done),
            R"({"time":"2026-12-07T14:02:05Z","port":"COM5","adapter":"FT232R A10K3V9Q","imei":"490154203237518",)"
            R"("firmware":"PLM 1.0.3","profile":"fleet.json","profileSha256":"aa",)"
            R"("changes":[{"field":"SmsReportInterval","before":"30","after":"45"}],"verified":true})");

  RecordEntry failed = done;
  failed.imei = "490154203237519";
  failed.changes.clear();
  failed.verified = false;
  failed.failure = "unplugged while writing";
  const std::string failedLine = recordLine(failed);
  EXPECT_EQ(csvLine(done), "2026-12-07T14:02:05Z,COM5,FT232R A10K3V9Q,490154203237518,PLM 1.0.3,fleet.json,verified,"
                           "SmsReportInterval,");
  failed.failure = "refused, \"Fail\"";
  EXPECT_EQ(csvLine(failed), "2026-12-07T14:02:05Z,COM5,FT232R A10K3V9Q,490154203237519,PLM 1.0.3,fleet.json,failed,,"
                             "\"refused, \"\"Fail\"\"\"");
  failed.failure = "unplugged while writing";
  EXPECT_NE(failedLine.find(R"("verified":false,"failure":"unplugged while writing")"), std::string::npos);

  RecordEntry otherProfile = done;
  otherProfile.imei = "490154203237520";
  otherProfile.profileSha256 = "bb";
  // The last line was cut by a crash; a blank line is nothing.
  const std::string record = recordLine(done) + "\n" + failedLine + "\n\n" + recordLine(otherProfile) + "\n" +
                             recordLine(done).substr(0, 40);
  std::size_t skipped = 0;
  EXPECT_EQ(verifiedWith(record, "aa", &skipped), (std::set<std::string>{"490154203237518"}));
  EXPECT_EQ(skipped, 1u);
  EXPECT_EQ(verifiedWith(record, "bb"), (std::set<std::string>{"490154203237520"}));
  EXPECT_TRUE(verifiedWith("", "aa").empty());
}

}  // namespace
}  // namespace pelmora::station
