// GUID creation and the braced text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "qxcom/oleauto.h"

namespace {

constexpr int kGuidTextLength = 38;  // without the terminating null

// Fills `buffer` from the kernel's random source, falling back to
// /dev/urandom where getrandom is missing. Returns false when neither works.
bool FillRandom(unsigned char* buffer, size_t size) {
  size_t filled = 0;
  while (filled < size) {
    ssize_t got = getrandom(buffer + filled, size - filled, 0);
    if (got > 0) {
      filled += size_t(got);
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  if (filled == size) return true;
  int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  while (filled < size) {
    ssize_t got = read(fd, buffer + filled, size - filled);
    if (got > 0) {
      filled += size_t(got);
    } else if (!(got < 0 && errno == EINTR)) {
      break;
    }
  }
  close(fd);
  return filled == size;
}

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads `digits` hex digits at text[*pos], advancing *pos. False on a non-hex unit.
bool ReadHex(LPCOLESTR text, int* pos, int digits, uint32_t* value) {
  uint32_t result = 0;
  for (int i = 0; i < digits; ++i) {
    int digit = HexDigitValue(text[*pos]);
    if (digit < 0) return false;
    result = (result << 4) | uint32_t(digit);
    ++*pos;
  }
  *value = result;
  return true;
}

bool Expect(LPCOLESTR text, int* pos, char16_t unit) {
  if (text[*pos] != unit) return false;
  ++*pos;
  return true;
}

// Parses exactly the 38-unit braced form followed by the terminating null.
// Stops at the first unit that does not fit, so it never reads past a short
// string's null.
bool ParseBracedGuid(LPCOLESTR text, GUID* guid) {
  int pos = 0;
  uint32_t data1, data2, data3, pair;
  if (!Expect(text, &pos, u'{') || !ReadHex(text, &pos, 8, &data1) || !Expect(text, &pos, u'-') ||
      !ReadHex(text, &pos, 4, &data2) || !Expect(text, &pos, u'-') ||
      !ReadHex(text, &pos, 4, &data3) || !Expect(text, &pos, u'-')) {
    return false;
  }
  GUID result;
  result.Data1 = data1;
  result.Data2 = uint16_t(data2);
  result.Data3 = uint16_t(data3);
  for (int i = 0; i < 8; ++i) {
    if (i == 2 && !Expect(text, &pos, u'-')) return false;
    if (!ReadHex(text, &pos, 2, &pair)) return false;
    result.Data4[i] = uint8_t(pair);
  }
  if (!Expect(text, &pos, u'}') || text[pos] != u'\0') return false;
  *guid = result;
  return true;
}

}  // namespace

HRESULT CoCreateGuid(GUID* guid) {
  if (!guid) return E_INVALIDARG;
  unsigned char bytes[sizeof(GUID)];
  if (!FillRandom(bytes, sizeof bytes)) return E_FAIL;
  std::memcpy(guid, bytes, sizeof bytes);
  guid->Data3 = uint16_t((guid->Data3 & 0x0FFF) | 0x4000);  // version 4: random
  guid->Data4[0] = uint8_t((guid->Data4[0] & 0x3F) | 0x80);  // RFC 4122 variant
  return S_OK;
}

INT StringFromGUID2(REFGUID guid, LPOLESTR text, INT capacity) {
  if (!text || capacity < kGuidTextLength + 1) return 0;
  char narrow[kGuidTextLength + 1];
  std::snprintf(narrow, sizeof narrow, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                unsigned(guid.Data1), unsigned(guid.Data2), unsigned(guid.Data3),
                guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  for (int i = 0; i <= kGuidTextLength; ++i) text[i] = OLECHAR(narrow[i]);
  return kGuidTextLength + 1;
}

// Windows reads a null string as CLSID_NULL; here a null string is refused
// like any other text that is not the braced form, so that a missing
// registry value cannot turn silently into the null class.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (!clsid) return E_INVALIDARG;
  if (!text || !ParseBracedGuid(text, clsid)) return CO_E_CLASSSTRING;
  return S_OK;
}

HRESULT IIDFromString(LPCOLESTR text, IID* iid) { return CLSIDFromString(text, iid); }
