// Event log reports of caught faults, captured through the platform's event
// sink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/fault_event.h"
#include "qxcom/eventlog.h"

namespace qxsoap {
namespace {

struct Event {
  std::string source;
  WORD type;
  WORD category;
  DWORD eventId;
  std::string text;
  DWORD dataSize;
};

class EventLogTest : public ::testing::Test {
 protected:
  void SetUp() override { QxSetEventSink(&Capture, &events_); }
  void TearDown() override { QxSetEventSink(nullptr, nullptr); }

  static void Capture(const char* source, WORD type, WORD category, DWORD eventId, const char* text,
                      const void*, DWORD dataSize, void* context) {
    static_cast<std::vector<Event>*>(context)->push_back(
        {source, type, category, eventId, text, dataSize});
  }

  std::vector<Event> events_;
};

TEST_F(EventLogTest, OneInformationEventWithTheTextCutTo127BytesOnACharacterBoundary) {
  const std::u16string e_acute(1, u'\u00E9');  // 2 bytes in UTF-8
  const std::u16string euro(1, u'\u20AC');     // 3 bytes in UTF-8
  const struct {
    const char* why;
    std::u16string message;
    std::string text;
  } rows[] = {
      {"127 bytes pass whole", std::u16string(127, u'a'), std::string(127, 'a')},
      {"200 characters keep the first 127 bytes", std::u16string(200, u'b'), std::string(127, 'b')},
      {"a two-byte character across the limit is dropped whole",
       std::u16string(126, u'c') + e_acute, std::string(126, 'c')},
      {"a three-byte character ending exactly at 127 stays",
       std::u16string(124, u'd') + euro + u"x", std::string(124, 'd') + "\xE2\x82\xAC"},
      {"characters that need three bytes are not lost to a short buffer", std::u16string(50, euro[0]),
       [] {
         std::string text;
         for (int i = 0; i < 42; ++i) text += "\xE2\x82\xAC";
         return text;
       }()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    events_.clear();
    ReportFaultEvent(row.message);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].text, row.text);
  }
  EXPECT_EQ(events_[0].source, "Tolvane SOAP Message Handler");
  EXPECT_EQ(events_[0].type, EVENTLOG_INFORMATION_TYPE);
  EXPECT_EQ(events_[0].category, 0);
  EXPECT_EQ(events_[0].eventId, 0u);
  EXPECT_EQ(events_[0].dataSize, 0u);
}

}  // namespace
}  // namespace qxsoap
