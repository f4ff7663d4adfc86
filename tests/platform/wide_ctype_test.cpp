// Wide character classes keep their Unicode meaning under the "C" locale,
// where the C library's own iswalpha knows only ASCII.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "qxcom/wctype.h"

namespace {

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

}  // namespace
