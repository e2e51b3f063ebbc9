// The kept before-images: how trackers are named, and the bound per tracker.

#include "settings/history_archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sim/demo_images.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

SettingsDocument imageWithImei(const std::u16string& imei, const std::vector<std::uint8_t>& base) {
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(base, model);
  model.Imei.assign(imei);
  const Layout layout = base.size() == layoutInfo(Layout::Basic).size ? Layout::Basic : Layout::Extended;
  return *documentFromImage(imageOfModel(model, layout), "test");
}

TEST(HistoryArchive, NamesATrackerByItsImeiOrElseByLayoutAndIdentity) {
  const std::string a = historyTrackerName(imageWithImei(u"", sim::basicDemoImage()));
  const std::string b = historyTrackerName(imageWithImei(u"", sim::extendedDemoImage()));
  EXPECT_EQ(historyTrackerName(imageWithImei(u"490154203237518", sim::extendedDemoImage())), "490154203237518");
  EXPECT_EQ(a.rfind("Basic-", 0), 0u);
  EXPECT_EQ(a.size(), 14u);
  EXPECT_EQ(b.rfind("Extended-", 0), 0u);
  EXPECT_EQ(a, historyTrackerName(imageWithImei(u"", sim::basicDemoImage()))) << "the same tracker, the same name";
  // A text no file name may hold is no name either.
  EXPECT_EQ(historyTrackerName(imageWithImei(u"49/15", sim::extendedDemoImage())).rfind("Extended-", 0), 0u);
}

// 21 writes to one tracker keep its newest 20; the other tracker's, never
// written since, keep theirs; a write the tracker did not take removes nothing.
TEST(HistoryArchive, KeepsTheNewestImagesPerTrackerAfterEachWrite) {
  const fs::path dir = fs::temp_directory_path() / "pelmora-history-test";
  fs::remove_all(dir);
  const SettingsDocument one = imageWithImei(u"490154203237518", sim::extendedDemoImage());
  const SettingsDocument other = imageWithImei(u"490154203237526", sim::extendedDemoImage());
  const struct {
    const char* label;
    std::size_t keep;
    int writes;
    bool taken;
    std::size_t kept;
  } rows[] = {
      {"21 writes, 20 kept", kDefaultHistoryKeep, 21, true, 20},
      {"not taken: nothing removed", 2, 4, false, 4},
      {"never the newest", 0, 3, true, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    fs::remove_all(dir);
    const HistoryArchive history((dir / "history").string(), row.keep);
    ASSERT_TRUE(history.keep(other, {"COM6", "cli", {}}));
    std::vector<std::string> kept;
    for (int i = 0; i < row.writes; ++i) {
      SettingsResult<HistoryEntry> entry = history.keep(one, {"COM5", "station", {}});
      ASSERT_TRUE(entry) << entry.error().message;
      ASSERT_TRUE(history.settle(*entry, row.taken, row.taken));
      kept.push_back(entry->imagePath);
    }
    const std::vector<HistoryEntry> left = history.list("490154203237518");
    ASSERT_EQ(left.size(), row.kept);
    EXPECT_EQ(left.back().imagePath, kept.back());
    EXPECT_EQ(left.front().imagePath, kept[kept.size() - row.kept]);
    EXPECT_EQ(left.back().verified, row.taken);
    EXPECT_EQ(history.list("490154203237526").size(), 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "history"), fs::directory_iterator()),
              2 * static_cast<std::ptrdiff_t>(row.kept + 1)) << "an image and its line each";
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace pelmora
