// frame/fault_event.h: reporting caught faults to the system event log, so
// that an operator sees errors in incoming messages without the host's help.
#ifndef QXSOAP_FRAME_FAULT_EVENT_H_
#define QXSOAP_FRAME_FAULT_EVENT_H_

#include <cstddef>
#include <string_view>

namespace qxsoap {

// The event source the reports are written under.
inline constexpr const char* kEventSourceName = "Tolvane SOAP Message Handler";

// The longest event text in bytes, without the terminating zero.
inline constexpr size_t kMaxEventTextBytes = 127;

// Writes `message` as one information event (category 0, identifier 0, one
// insertion string, no raw data) under kEventSourceName. The text is the
// message in the multibyte code page, cut to kMaxEventTextBytes bytes at a
// character boundary. Never fails the caller: a source that cannot be
// opened or an event that cannot be written is ignored.
void ReportFaultEvent(std::u16string_view message);

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_FAULT_EVENT_H_
