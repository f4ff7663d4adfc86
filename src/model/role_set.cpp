// Reading and writing the role set as automation arrays.
#include "model/role_set.h"

#include <optional>
#include <vector>

#include "qxcom/owned.h"

namespace qxsoap {
namespace {

// The array a roles VARIANT carries, by value or by reference.
SAFEARRAY* RolesArray(const VARIANT& roles) {
  if (V_VT(&roles) == (VT_ARRAY | VT_VARIANT)) return V_ARRAY(&roles);
  if (V_VT(&roles) == (VT_BYREF | VT_ARRAY | VT_VARIANT) && V_ARRAYREF(&roles)) {
    return *V_ARRAYREF(&roles);
  }
  return nullptr;
}

// The text of one element, or nothing when it holds no string.
std::optional<std::u16string> RoleText(const VARIANT& element) {
  BSTR text = nullptr;
  if (V_VT(&element) == VT_BSTR) {
    text = V_BSTR(&element);
  } else if (V_VT(&element) == (VT_BYREF | VT_BSTR) && V_BSTRREF(&element)) {
    text = *V_BSTRREF(&element);
  } else {
    return std::nullopt;
  }
  return std::u16string(text ? text : u"", SysStringLen(text));
}

}  // namespace

bool RoleSet::AddFrom(const VARIANT* roles) {
  SAFEARRAY* array = roles ? RolesArray(*roles) : nullptr;
  // The VARIANT's type tag is the caller's claim; the element size guards
  // against reading an array of narrower elements as VARIANTs.
  if (!array || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != sizeof(VARIANT)) {
    return false;
  }
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return false;
  const auto* elements = static_cast<const VARIANT*>(data);
  std::vector<std::u16string> texts;
  bool allStrings = true;
  for (ULONG i = 0; i < array->rgsabound[0].cElements && allStrings; ++i) {
    std::optional<std::u16string> text = RoleText(elements[i]);
    allStrings = text.has_value();
    if (allStrings) texts.push_back(std::move(*text));
  }
  SafeArrayUnaccessData(array);
  if (!allStrings) return false;
  for (std::u16string& text : texts) roles_.insert(std::move(text));
  return true;
}

HRESULT RoleSet::HandOut(VARIANT* out) const {
  if (!out) return E_POINTER;
  VariantClear(out);
  qxcom::SafeArrayPtr array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(roles_.size())));
  if (!array.get()) return E_OUTOFMEMORY;
  LONG index = 0;
  for (const std::u16string& role : roles_) {
    qxcom::Variant element;
    V_BSTR(element.get()) = SysAllocStringLen(role.data(), static_cast<UINT>(role.size()));
    if (!V_BSTR(element.get())) return E_OUTOFMEMORY;
    V_VT(element.get()) = VT_BSTR;
    if (HRESULT hr = SafeArrayPutElement(array.get(), &index, element.get()); FAILED(hr)) return hr;
    ++index;
  }
  V_VT(out) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(out) = array.release();
  return S_OK;
}

}  // namespace qxsoap
