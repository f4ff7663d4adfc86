// qxcom/wctype.h: wide character classification with the Unicode meaning of
// the Windows CRT's iswalpha family, independent of the process locale
// (under glibc's "C" locale iswalpha(U+00E9) is false, which would make a
// name like "café" unreadable). A UTF-16 surrogate unit is in no class.
#ifndef QXCOM_WCTYPE_H_
#define QXCOM_WCTYPE_H_

extern "C" {
// Letters of any script (Unicode general categories L*).
int qx_iswalpha(char16_t c);
// The ASCII digits '0'..'9' only, as iswdigit is defined.
int qx_iswdigit(char16_t c);
// Letters or digits of any script (L* and Nd).
int qx_iswalnum(char16_t c);
// Unicode white space: tab, line feed, vertical tab, form feed, carriage
// return, space, and the Zs/Zl/Zp characters.
int qx_iswspace(char16_t c);
// '0'..'9', 'a'..'f', 'A'..'F'.
int qx_iswxdigit(char16_t c);
// Control characters (Cc), and the line and paragraph separators.
int qx_iswcntrl(char16_t c);
}

#endif  // QXCOM_WCTYPE_H_
