// Event sources and reports, captured through the event sink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qxcom/eventlog.h"

namespace {

struct CapturedEvent {
  std::string source; WORD type; WORD category; DWORD eventId; std::string text; std::string data;
};

void Capture(const char* source, WORD type, WORD category, DWORD eventId, const char* text,
             const void* data, DWORD dataSize, void* context) {
  auto* events = static_cast<std::vector<CapturedEvent>*>(context);
  events->push_back({source, type, category, eventId, text,
                     std::string(static_cast<const char*>(data), dataSize)});
}

class EventLog : public ::testing::Test {
 protected:
  void SetUp() override { QxSetEventSink(&Capture, &events_); }
  void TearDown() override { QxSetEventSink(nullptr, nullptr); }
  std::vector<CapturedEvent> events_;
};

TEST_F(EventLog, ReportsReachTheSinkWithJoinedUtf8Text) {
  HANDLE narrow = RegisterEventSourceA(nullptr, "Tolvane SOAP Message Handler");
  HANDLE wide = RegisterEventSourceW(nullptr, u"Caf\u00E9");
  LPCSTR strings[] = {"first", "second"};
  char data[] = {'\x01', '\0', '\x02'};
  ASSERT_TRUE(ReportEventA(narrow, EVENTLOG_WARNING_TYPE, 3, 42, nullptr, 2, sizeof data, strings,
                           data));
  LPCWSTR wideStrings[] = {u"\u20AC", u"lone \xD800"};
  ASSERT_TRUE(ReportEventW(wide, EVENTLOG_ERROR_TYPE, 0, 7, nullptr, 2, 0, wideStrings, nullptr));
  ASSERT_TRUE(DeregisterEventSource(narrow));
  ASSERT_TRUE(DeregisterEventSource(wide));
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[0].source, "Tolvane SOAP Message Handler");
  EXPECT_EQ(events_[0].type, EVENTLOG_WARNING_TYPE);
  EXPECT_EQ(events_[0].category, 3);
  EXPECT_EQ(events_[0].eventId, 42u);
  EXPECT_EQ(events_[0].text, "first second");
  EXPECT_EQ(events_[0].data, std::string(data, sizeof data));
  EXPECT_EQ(events_[1].source, "Caf\xC3\xA9");
  EXPECT_EQ(events_[1].text, "\xE2\x82\xAC lone \xEF\xBF\xBD") << "a lone surrogate is U+FFFD";
}

TEST_F(EventLog, BadCallsFailAndReportNothing) {
  SetLastError(0);
  EXPECT_EQ(RegisterEventSourceA("remote", "S"), nullptr) << "no remote event log";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  HANDLE source = RegisterEventSourceA(nullptr, "S");
  LPCSTR withNull[] = {"a", nullptr};
  EXPECT_FALSE(ReportEventA(source, EVENTLOG_INFORMATION_TYPE, 0, 0, nullptr, 2, 0, withNull, nullptr));
  EXPECT_FALSE(ReportEventA(source, 3, 0, 0, nullptr, 0, 0, nullptr, nullptr)) << "unknown type";
  ASSERT_TRUE(DeregisterEventSource(source));
  EXPECT_FALSE(ReportEventA(source, EVENTLOG_INFORMATION_TYPE, 0, 0, nullptr, 0, 0, nullptr, nullptr))
      << "closed handle";
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(events_.empty());
}

}  // namespace
