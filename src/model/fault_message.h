// Fault messages with placeholders: "%s" takes the next text argument in
// order. A message is at most 511 characters (the handler's fault texts are
// made in a 512-character buffer, with room for the terminator); what goes
// beyond is cut.
#ifndef QXSOAP_MODEL_FAULT_MESSAGE_H_
#define QXSOAP_MODEL_FAULT_MESSAGE_H_

#include <initializer_list>
#include <string>
#include <string_view>

namespace qxsoap {

inline constexpr size_t kMaxFaultMessage = 511;

// `pattern` with each "%s" replaced by the next of `args` (by nothing when
// they run out), cut to kMaxFaultMessage characters.
std::u16string FormatFaultMessage(std::u16string_view pattern,
                                  std::initializer_list<std::u16string_view> args);

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_FAULT_MESSAGE_H_
