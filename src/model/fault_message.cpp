#include "model/fault_message.h"

namespace qxsoap {

std::u16string FormatFaultMessage(std::u16string_view pattern,
                                  std::initializer_list<std::u16string_view> args) {
  std::u16string message;
  const std::u16string_view* next = args.begin();
  for (size_t at = 0; at < pattern.size() && message.size() < kMaxFaultMessage;) {
    const size_t placeholder = pattern.find(u"%s", at);
    message.append(pattern.substr(at, placeholder - at));
    if (placeholder == std::u16string_view::npos) break;
    if (next != args.end()) message.append(*next++);
    at = placeholder + 2;
  }
  if (message.size() > kMaxFaultMessage) message.resize(kMaxFaultMessage);
  return message;
}

}  // namespace qxsoap
