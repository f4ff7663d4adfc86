// Builders and readers of automation values for tests.
#include "support/variants.h"

#include <cstring>

namespace qxsoap::test {

qxcom::Variant BstrVariant(std::u16string_view text) {
  qxcom::Variant value;
  V_BSTR(value.get()) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  V_VT(value.get()) = VT_BSTR;
  return value;
}

qxcom::Variant LongVariant(LONG number) {
  qxcom::Variant value;
  V_I4(value.get()) = number;
  V_VT(value.get()) = VT_I4;
  return value;
}

namespace {

// A VARIANT of `type` whose value `set` writes.
template <typename Set>
qxcom::Variant Scalar(VARTYPE type, Set set) {
  qxcom::Variant value;
  set(*value.get());
  V_VT(value.get()) = type;
  return value;
}

}  // namespace

qxcom::Variant FloatVariant(float number) {
  return Scalar(VT_R4, [&](VARIANT& v) { V_R4(&v) = number; });
}

qxcom::Variant DoubleVariant(double number) {
  return Scalar(VT_R8, [&](VARIANT& v) { V_R8(&v) = number; });
}

qxcom::Variant BoolVariant(bool flag) {
  return Scalar(VT_BOOL, [&](VARIANT& v) { V_BOOL(&v) = flag ? VARIANT_TRUE : VARIANT_FALSE; });
}

qxcom::Variant NullVariant() {
  return Scalar(VT_NULL, [](VARIANT&) {});
}

qxcom::Variant DateVariant(DATE date) {
  return Scalar(VT_DATE, [&](VARIANT& v) { V_DATE(&v) = date; });
}

qxcom::Variant CurrencyVariant(LONGLONG scaled) {
  return Scalar(VT_CY, [&](VARIANT& v) { V_CY(&v).int64 = scaled; });
}

qxcom::Variant DecimalVariant(std::u16string_view text) {
  const qxcom::Variant source = BstrVariant(text);
  qxcom::Variant value;
  VariantChangeType(value.get(), source.get(), 0, VT_DECIMAL);
  return value;
}

qxcom::Variant ArrayVariant(VARTYPE tag, SAFEARRAY* array) {
  qxcom::Variant value;
  V_ARRAY(value.get()) = array;
  V_VT(value.get()) = static_cast<VARTYPE>(VT_ARRAY | tag);
  return value;
}

qxcom::Variant ByteArrayVariant(const std::vector<BYTE>& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  return ArrayVariant(VT_UI1, array);
}

qxcom::Variant StringArrayVariant(const std::vector<std::u16string>& texts) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(texts.size()));
  for (LONG i = 0; i < static_cast<LONG>(texts.size()); ++i) {
    qxcom::Variant element = BstrVariant(texts[static_cast<size_t>(i)]);
    SafeArrayPutElement(array, &i, element.get());
  }
  return ArrayVariant(VT_VARIANT, array);
}

std::u16string TextOf(const VARIANT& value) {
  if (V_VT(&value) != VT_BSTR) return u"<not a string>";
  return {V_BSTR(&value) ? V_BSTR(&value) : u"", SysStringLen(V_BSTR(&value))};
}

std::vector<BYTE> BytesOf(SAFEARRAY* array) {
  if (!array || SafeArrayGetDim(array) != 1) return {};
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return {};
  const auto* first = static_cast<const BYTE*>(data);
  std::vector<BYTE> bytes(first, first + array->rgsabound[0].cElements);
  SafeArrayUnaccessData(array);
  return bytes;
}

}  // namespace qxsoap::test
