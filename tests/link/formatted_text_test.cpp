#include "link/formatted_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/trace.h"

namespace pelmora {
namespace {

struct Collected final : TraceSink {
  void trace(std::string_view message) override { messages.emplace_back(message); }
  std::vector<std::string> messages;
};

// Texts that fit are whole; longer ones are cut to the buffer, never past
// it; the screen's texts come out as UTF-16 whatever their UTF-8 arguments.
TEST(FormattedText, FitsItsBufferAndConvertsForTheScreen) {
  const std::string longText(2000, 'x');
  Collected sink;
  tracef(&sink, "reply %04x, %zu bytes", 0x8801u, std::size_t{3384});
  tracef(&sink, "%s", "");
  tracef(&sink, "%s", longText.c_str());
  tracef(nullptr, "%s", "dropped");
  EXPECT_EQ(sink.messages, (std::vector<std::string>{"reply 8801, 3384 bytes", "", longText.substr(0, 1023)}));

  EXPECT_EQ(FormattedText("COM%d", 12).view(), u"COM12");
  EXPECT_EQ(FormattedText("%s", longText.c_str()).view(), std::u16string(FormattedText::kCapacity, u'x'));
  EXPECT_EQ(FormattedText("port %s", "caf\xC3\xA9").view(), u"port caf\u00E9");
}

}  // namespace
}  // namespace pelmora
