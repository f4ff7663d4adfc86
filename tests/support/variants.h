// support/variants.h: small builders and readers of automation values, so
// that tests state values in one expression.
#ifndef QXSOAP_TESTS_SUPPORT_VARIANTS_H_
#define QXSOAP_TESTS_SUPPORT_VARIANTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "qxcom/owned.h"

namespace qxsoap::test {

// A VT_BSTR VARIANT holding `text`.
qxcom::Variant BstrVariant(std::u16string_view text);

// A VT_I4 VARIANT.
qxcom::Variant LongVariant(LONG value);

// VT_R4, VT_R8, VT_BOOL (VARIANT_TRUE or VARIANT_FALSE), VT_NULL, VT_DATE
// and VT_CY (`scaled` in ten-thousandths) VARIANTs.
qxcom::Variant FloatVariant(float value);
qxcom::Variant DoubleVariant(double value);
qxcom::Variant BoolVariant(bool value);
qxcom::Variant NullVariant();
qxcom::Variant DateVariant(DATE value);
qxcom::Variant CurrencyVariant(LONGLONG scaled);

// A VT_DECIMAL VARIANT read from `text` by the platform's conversion.
qxcom::Variant DecimalVariant(std::u16string_view text);

// A VT_ARRAY | `tag` VARIANT that owns `array`, whatever the array holds
// (tests build mislabelled arrays with it).
qxcom::Variant ArrayVariant(VARTYPE tag, SAFEARRAY* array);

// A VT_ARRAY | VT_UI1 VARIANT holding `bytes` (lower bound 0).
qxcom::Variant ByteArrayVariant(const std::vector<BYTE>& bytes);

// A VT_ARRAY | VT_VARIANT VARIANT of VT_BSTR elements (lower bound 0).
qxcom::Variant StringArrayVariant(const std::vector<std::u16string>& texts);

// The text of a VT_BSTR VARIANT; "<not a string>" otherwise.
std::u16string TextOf(const VARIANT& value);

// The bytes of a one-dimensional VT_UI1 array.
std::vector<BYTE> BytesOf(SAFEARRAY* array);

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SUPPORT_VARIANTS_H_
