// UTF-16/UTF-8 conversion, wide character classes, the event log, memory storage.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "qxcom.h"

namespace {

using qxcom::ComPtr;

// Converts with the two-call protocol a Windows client uses: size, then text.
std::string Narrow(const std::u16string& text) {
  int length = int(text.size());
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size), '\0');
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr),
            size);
  return out;
}

std::u16string Widen(const std::string& text) {
  int length = int(text.size());
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::u16string out(size_t(size), u'\0');
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), size), size);
  return out;
}

struct WideRow { const char* why; std::u16string wide; std::string narrow; };
const WideRow kWideRows[] = {
    {"surrogate pair becomes one four-byte form", u"\U0001F600", "\xF0\x9F\x98\x80"},
    {"embedded null is kept", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    {"lone high surrogate becomes U+FFFD", u"a\xD800z", "a\xEF\xBF\xBDz"},
};

struct NarrowRow { const char* why; std::string narrow; std::u16string wide; };
const NarrowRow kNarrowRows[] = {
    {"well-formed text", "caf\xC3\xA9 \xF0\x9F\x98\x80", u"caf\u00E9 \U0001F600"},
    {"stray continuation byte", "a\x80z", u"a\uFFFDz"},
    {"truncated sequence is one replacement", "\xE2\x82z", u"\uFFFDz"},
    {"encoded surrogate is refused", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
};

TEST(StringConversion, ConvertsBothWaysReplacingWhatIsIllFormed) {
  for (const WideRow& row : kWideRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Narrow(row.wide), row.narrow);
  }
  for (const NarrowRow& row : kNarrowRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Widen(row.narrow), row.wide);
  }
}

TEST(StringConversion, ShortBufferAndStrictReadingFailWithoutWriting) {
  char out[4] = {'#', '#', '#', '#'};
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC\u20AC", 2, out, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(out[0], '#');
  char16_t wide[4] = {u'#'};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\x80", 2, wide, 4), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(wide[0], u'#');
}

struct ClassRow { const char* why; char16_t unit; bool alpha, digit, alnum, space, xdigit, cntrl; };

constexpr ClassRow kRows[] = {
    // why                                   unit    alpha  digit  alnum  space  xdigit cntrl
    {"ASCII digit",                          u'7',   false, true,  true,  false, true,  false},
    {"tab is space and control",             u'\t',  false, false, false, true,  false, true},
    {"C1 next line is a control only",       0x0085, false, false, false, false, false, true},
    {"no-break space is a Zs space",         0x00A0, false, false, false, true,  false, false},
    {"line separator: space and control",    0x2028, false, false, false, true,  false, true},
    {"CJK ideograph",                        0x4E00, true,  false, true,  false, false, false},
    {"fullwidth digit: alnum, no digit",     0xFF10, false, false, true,  false, false, false},
    {"fullwidth letter is no hex digit",     0xFF21, true,  false, true,  false, false, false},
};

void ExpectClasses(const ClassRow& row) {
  SCOPED_TRACE(row.why);
  EXPECT_EQ(qx_iswalpha(row.unit) != 0, row.alpha);
  EXPECT_EQ(qx_iswdigit(row.unit) != 0, row.digit);
  EXPECT_EQ(qx_iswalnum(row.unit) != 0, row.alnum);
  EXPECT_EQ(qx_iswspace(row.unit) != 0, row.space);
  EXPECT_EQ(qx_iswxdigit(row.unit) != 0, row.xdigit);
  EXPECT_EQ(qx_iswcntrl(row.unit) != 0, row.cntrl);
}

TEST(WideCtype, SameUnicodeClassesUnderEveryLocale) {
  std::string saved = std::setlocale(LC_ALL, nullptr);
  for (const char* locale : {"C", "C.UTF-8"}) {
    SCOPED_TRACE(locale);
    if (std::setlocale(LC_ALL, locale) == nullptr) continue;  // C.UTF-8 may be missing
    for (const ClassRow& row : kRows) ExpectClasses(row);
  }
  std::setlocale(LC_ALL, saved.c_str());
}

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
  // The handler's own reports (frame tests) check source, type and text.
  HANDLE narrow = RegisterEventSourceA(nullptr, "S");
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

std::string ReadAll(IStream* stream) {
  LARGE_INTEGER start{};
  EXPECT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
  std::string text(64, '\0');
  ULONG read = 0;
  EXPECT_EQ(stream->Read(text.data(), ULONG(text.size()), &read), S_OK);
  text.resize(read);
  return text;
}

TEST(MemoryStorage, StreamRoundTripThroughReopen) {
  ComPtr<IStorage> storage;
  ASSERT_EQ(QxCreateMemoryStorage(storage.put()), S_OK);
  ComPtr<IStream> stream;
  ASSERT_EQ(storage->CreateStream(u"Data", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                  stream.put()),
            S_OK);
  ASSERT_EQ(stream->Write("hello world", 11, nullptr), S_OK);
  ComPtr<IStream> reopened;
  ASSERT_EQ(storage->OpenStream(u"data", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                reopened.put()),
            S_OK)
      << "names match without regard to letter case";
  EXPECT_EQ(ReadAll(reopened.get()), "hello world");
  STATSTG stat;
  ASSERT_EQ(reopened->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 11u);
  EXPECT_EQ(std::u16string(stat.pwcsName), u"Data") << "the stored spelling is reported";
  CoTaskMemFree(stat.pwcsName);
  EXPECT_EQ(reopened->Write("x", 1, nullptr), STG_E_ACCESSDENIED) << "opened read-only";
}

TEST(MemoryStorage, StreamsOutliveTheirStorage) {
  IStorage* storage = nullptr;
  ASSERT_EQ(QxCreateMemoryStorage(&storage), S_OK);
  IStream* stream = nullptr;
  ASSERT_EQ(storage->CreateStream(u"s", STGM_READWRITE, 0, 0, &stream), S_OK);
  ISequentialStream* sequential = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_ISequentialStream, reinterpret_cast<void**>(&sequential)),
            S_OK);
  EXPECT_EQ(sequential->Release(), 1u);
  EXPECT_EQ(storage->Release(), 0u);
  ASSERT_EQ(stream->Write("outlives its storage", 20, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream), "outlives its storage");
  EXPECT_EQ(stream->Release(), 0u);
}

}  // namespace
