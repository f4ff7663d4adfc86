// UTF-8/UTF-16 codecs and the Windows text conversion calls built on them.
#include "platform/string_conversion.h"

#include <climits>
#include <cstring>

#include "platform/runtime_guard.h"
#include "qxcom/stringapi.h"

namespace qxcom {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf16(char32_t codePoint, std::u16string& out) {
  if (codePoint < 0x10000) {
    out.push_back(char16_t(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(char16_t(0xD800 + (codePoint >> 10)));
  out.push_back(char16_t(0xDC00 + (codePoint & 0x3FF)));
}

// What a lead byte promises: the sequence length (0 for a byte that cannot
// lead) and the range allowed for the second byte, which is where overlong
// forms, surrogates and code points past U+10FFFF are ruled out.
struct LeadByte {
  size_t length;
  unsigned char secondLow;
  unsigned char secondHigh;
};

LeadByte ClassifyLead(unsigned char byte) {
  if (byte < 0x80) return {1, 0, 0};
  if (byte >= 0xC2 && byte <= 0xDF) return {2, 0x80, 0xBF};
  if (byte == 0xE0) return {3, 0xA0, 0xBF};
  if (byte == 0xED) return {3, 0x80, 0x9F};
  if (byte >= 0xE1 && byte <= 0xEF) return {3, 0x80, 0xBF};
  if (byte == 0xF0) return {4, 0x90, 0xBF};
  if (byte >= 0xF1 && byte <= 0xF3) return {4, 0x80, 0xBF};
  if (byte == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

void AppendUtf8(char32_t codePoint, std::string& out) {
  if (codePoint < 0x80) {
    out.push_back(char(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(char(0xC0 | (codePoint >> 6)));
    out.push_back(char(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(char(0xE0 | (codePoint >> 12)));
    out.push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(char(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (codePoint >> 18)));
    out.push_back(char(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(char(0x80 | (codePoint & 0x3F)));
  }
}

size_t AppendUtf16AsUtf8(std::u16string_view text, std::string& out) {
  size_t loneSurrogates = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00), out);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(kReplacementCharacter, out);
      ++loneSurrogates;
    } else {
      AppendUtf8(unit, out);
    }
  }
  return loneSurrogates;
}

size_t AppendUtf8AsUtf16(std::string_view text, std::u16string& out) {
  size_t illFormed = 0;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    LeadByte info = ClassifyLead(lead);
    if (info.length == 1) {
      out.push_back(lead);
      ++i;
      continue;
    }
    char32_t codePoint = lead & (0x7F >> info.length);
    size_t taken = 1;
    for (; info.length > 0 && taken < info.length && i + taken < text.size(); ++taken) {
      unsigned char next = static_cast<unsigned char>(text[i + taken]);
      unsigned char low = taken == 1 ? info.secondLow : 0x80;
      unsigned char high = taken == 1 ? info.secondHigh : 0xBF;
      if (next < low || next > high) break;
      codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (info.length == 0 || taken < info.length) {
      // The bytes taken so far are a maximal ill-formed subsequence; the
      // byte that broke it starts the next one.
      out.push_back(char16_t(kReplacementCharacter));
      ++illFormed;
    } else {
      AppendUtf16(codePoint, out);
    }
    i += taken;
  }
  return illFormed;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf16AsUtf8(text, out);
  return out;
}

std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  AppendUtf8AsUtf16(text, out);
  return out;
}

}  // namespace qxcom

namespace {

bool IsUtf8CodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP ||
         codePage == CP_UTF8;
}

int Fail(DWORD code) {
  SetLastError(code);
  return 0;
}

// The length in units of a null-terminated text, null included.
template <typename Unit>
size_t TerminatedLength(const Unit* text) {
  size_t length = 0;
  while (text[length] != Unit{}) ++length;
  return length + 1;
}

// Checks the arguments common to both directions; 0 when they are fine.
template <typename Unit>
DWORD CheckArguments(UINT codePage, const Unit* text, int length, const void* out, int capacity) {
  if (!IsUtf8CodePage(codePage) || !text || length == 0 || length < -1 || capacity < 0 ||
      (!out && capacity != 0)) {
    return ERROR_INVALID_PARAMETER;
  }
  return 0;
}

// Applies the size protocol: a capacity of 0 asks for the size.
template <typename Text>
int Deliver(const Text& converted, typename Text::value_type* out, int capacity) {
  if (converted.size() > size_t(INT_MAX)) return Fail(ERROR_INVALID_PARAMETER);
  if (capacity == 0) return int(converted.size());
  if (converted.size() > size_t(capacity)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, converted.data(), converted.size() * sizeof(typename Text::value_type));
  return int(converted.size());
}

}  // namespace

UINT GetACP() { return CP_UTF8; }

UINT GetOEMCP() { return CP_UTF8; }

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out,
                        int capacity, LPCSTR defaultChar, BOOL* usedDefaultChar) {
  if (DWORD error = CheckArguments(codePage, text, length, out, capacity)) return Fail(error);
  if (defaultChar || usedDefaultChar) return Fail(ERROR_INVALID_PARAMETER);
  if (flags & ~DWORD(WC_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS);
  size_t units = length == -1 ? TerminatedLength(text) : size_t(length);
  auto convert = [&] {
    std::string converted;
    size_t loneSurrogates = qxcom::AppendUtf16AsUtf8({text, units}, converted);
    if (loneSurrogates != 0 && (flags & WC_ERR_INVALID_CHARS)) {
      return Fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    return Deliver(converted, out, capacity);
  };
  return qxcom::Guarded(0, convert, ERROR_NOT_ENOUGH_MEMORY);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out,
                        int capacity) {
  if (DWORD error = CheckArguments(codePage, text, length, out, capacity)) return Fail(error);
  if (flags & ~DWORD(MB_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS);
  size_t bytes = length == -1 ? TerminatedLength(text) : size_t(length);
  auto convert = [&] {
    std::u16string converted;
    size_t illFormed = qxcom::AppendUtf8AsUtf16({text, bytes}, converted);
    if (illFormed != 0 && (flags & MB_ERR_INVALID_CHARS)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    return Deliver(converted, out, capacity);
  };
  return qxcom::Guarded(0, convert, ERROR_NOT_ENOUGH_MEMORY);
}
