// model/utf8_units.h: the UTF-8 form of attachment ids and types, which
// converts every 16-bit unit on its own (a surrogate pair becomes two 3-byte
// sequences), so that any wide string round-trips unchanged.
#ifndef QXSOAP_MODEL_UTF8_UNITS_H_
#define QXSOAP_MODEL_UTF8_UNITS_H_

#include <string>
#include <string_view>

namespace qxsoap {

// Encodes each unit of `text` as 1 to 3 UTF-8 bytes.
std::string EncodeUnitsUtf8(std::u16string_view text);

// Decodes one sequence at a time (lead bytes of 1 to 6 byte forms,
// continuation bytes 10xxxxxx), each sequence giving one unit. Stops at the
// first sequence that does not decode: a bad lead or continuation byte, a
// truncated or over-long form, or a value that does not fit one unit.
// Returns what was decoded up to there.
std::u16string DecodeUnitsUtf8(std::string_view bytes);

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_UTF8_UNITS_H_
