// encode/real_text.h: floating-point values as the shortest decimal text
// that reads back to the same value.
//
// Threads: the functions keep no state.
#ifndef QXSOAP_ENCODE_REAL_TEXT_H_
#define QXSOAP_ENCODE_REAL_TEXT_H_

#include <string>

namespace qxsoap {

// Appends `value` as the shortest decimal text that reads back to it
// ("0.1", "1e+21", "-0"), or for non-finite values the XML Schema lexical
// forms "NaN", "INF" and "-INF".
void AppendDoubleText(double value, std::u16string& text);

// As AppendDoubleText for a float. A reader may take float text through a
// double first; where the float's shortest text would then round to a
// neighbouring float (7.038531e-26 is one), the text of the value as a
// double is written instead, which reads back exactly either way.
void AppendFloatText(float value, std::u16string& text);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_REAL_TEXT_H_
