// Unit-by-unit UTF-8 conversion for attachment ids and types.
#include "model/utf8_units.h"

#include <cstdint>
#include <optional>

namespace qxsoap {
namespace {

struct LeadForm {
  size_t length;     // bytes in the sequence
  uint32_t payload;  // value bits carried by the lead byte
};

std::optional<LeadForm> ReadLead(uint8_t lead) {
  if (lead < 0x80) return LeadForm{1, lead};
  if ((lead & 0xE0) == 0xC0) return LeadForm{2, lead & 0x1Fu};
  if ((lead & 0xF0) == 0xE0) return LeadForm{3, lead & 0x0Fu};
  if ((lead & 0xF8) == 0xF0) return LeadForm{4, lead & 0x07u};
  if ((lead & 0xFC) == 0xF8) return LeadForm{5, lead & 0x03u};
  if ((lead & 0xFE) == 0xFC) return LeadForm{6, lead & 0x01u};
  return std::nullopt;
}

// Smallest value a sequence of `length` bytes may carry; below it the form
// is over-long.
constexpr uint32_t kMinimumValue[7] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};

// Decodes the sequence at the start of `bytes`; stores its length in *used.
std::optional<char16_t> DecodeOne(std::string_view bytes, size_t* used) {
  std::optional<LeadForm> form = ReadLead(static_cast<uint8_t>(bytes[0]));
  if (!form || form->length > bytes.size()) return std::nullopt;
  uint32_t value = form->payload;
  for (size_t i = 1; i < form->length; ++i) {
    const auto next = static_cast<uint8_t>(bytes[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (next & 0x3Fu);
  }
  // The 4- to 6-byte forms carry values a single unit cannot hold; they end
  // the conversion like any sequence that does not decode.
  if (value < kMinimumValue[form->length] || value > 0xFFFF) return std::nullopt;
  *used = form->length;
  return static_cast<char16_t>(value);
}

}  // namespace

std::string EncodeUnitsUtf8(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t unit : text) {
    if (unit < 0x80) {
      bytes += static_cast<char>(unit);
    } else if (unit < 0x800) {
      bytes += static_cast<char>(0xC0 | (unit >> 6));
      bytes += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      bytes += static_cast<char>(0xE0 | (unit >> 12));
      bytes += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return bytes;
}

std::u16string DecodeUnitsUtf8(std::string_view bytes) {
  std::u16string text;
  size_t used = 0;
  while (!bytes.empty()) {
    std::optional<char16_t> unit = DecodeOne(bytes, &used);
    if (!unit) break;
    text += *unit;
    bytes.remove_prefix(used);
  }
  return text;
}

}  // namespace qxsoap
