// Classes of non-ASCII units, by the platform's wide classification
// functions, so names of any script read as the wide-character rules say.
#include "xml/char_classes.h"

#include "qxcom/wctype.h"

namespace qxsoap {

uint8_t WideCharClass(char16_t unit) {
  uint8_t classes = 0;
  if (qx_iswalpha(unit)) classes |= kNameStart | kNameChar;
  if (qx_iswspace(unit)) classes |= kSpace;
  if (qx_iswcntrl(unit)) classes |= kCdataStop;
  return classes;
}

}  // namespace qxsoap
