// Event log reports of caught faults.
#include "frame/fault_event.h"

#include <string>

#include "qxcom/eventlog.h"
#include "qxcom/stringapi.h"

namespace qxsoap {
namespace {

// The thread's ANSI code page, as chosen on every Windows since NT 5.
constexpr UINT kEventCodePage = CP_THREAD_ACP;

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The message in the event code page, cut to the longest prefix of at most
// kMaxEventTextBytes bytes that ends on a character boundary. A fixed buffer
// of twice the message length would drop messages whose characters need
// three bytes, so the whole message is converted first and then cut.
std::string EventText(std::u16string_view message) {
  if (message.empty()) return {};
  const int length = static_cast<int>(message.size());
  const int needed =
      WideCharToMultiByte(kEventCodePage, 0, message.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string text(static_cast<size_t>(needed), '\0');
  if (WideCharToMultiByte(kEventCodePage, 0, message.data(), length, text.data(), needed, nullptr,
                          nullptr) != needed) {
    return {};
  }
  if (text.size() > kMaxEventTextBytes) {
    size_t cut = kMaxEventTextBytes;
    while (cut > 0 && IsContinuationByte(text[cut])) --cut;
    text.resize(cut);
  }
  return text;
}

}  // namespace

void ReportFaultEvent(std::u16string_view message) {
  const std::string text = EventText(message);
  HANDLE source = RegisterEventSourceA(nullptr, kEventSourceName);
  if (!source) return;
  LPCSTR strings[1] = {text.c_str()};
  ReportEventA(source, EVENTLOG_INFORMATION_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(source);
}

}  // namespace qxsoap
