// Late-bound calls and value builders for the service tests.
#include "services/late_call.h"

#include <utility>

namespace qxsoap::test {

CallOutcome::CallOutcome(CallOutcome&& other) noexcept
    : hr(other.hr), result(std::move(other.result)), exception(other.exception),
      argError(other.argError) {
  other.exception = EXCEPINFO{};
}

CallOutcome::~CallOutcome() {
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
}

std::u16string CallOutcome::Description() const {
  return std::u16string(exception.bstrDescription, SysStringLen(exception.bstrDescription));
}

std::u16string CallOutcome::Source() const {
  return std::u16string(exception.bstrSource, SysStringLen(exception.bstrSource));
}

CallOutcome CallByName(IDispatch& object, std::u16string_view method,
                       const std::vector<VARIANT*>& args) {
  CallOutcome outcome;
  std::u16string name(method);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  outcome.hr = object.GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(outcome.hr)) return outcome;
  std::vector<VARIANTARG> reversed;
  for (auto arg = args.rbegin(); arg != args.rend(); ++arg) reversed.push_back(**arg);
  DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
  outcome.hr = object.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, outcome.result.get(),
                             &outcome.exception, &outcome.argError);
  return outcome;
}

qxcom::Variant VariantArray(const std::vector<const VARIANT*>& items) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, ULONG(items.size()));
  for (LONG i = 0; i < LONG(items.size()); ++i) {
    SafeArrayPutElement(array, &i, const_cast<VARIANT*>(items[size_t(i)]));
  }
  qxcom::Variant value;
  V_VT(value.get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(value.get()) = array;
  return value;
}

std::vector<qxcom::Variant> ItemsOf(const VARIANT& array) {
  std::vector<qxcom::Variant> items;
  if (V_VT(&array) != (VT_ARRAY | VT_VARIANT)) return items;
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(V_ARRAY(&array), 1, &lower);
  SafeArrayGetUBound(V_ARRAY(&array), 1, &upper);
  for (LONG i = lower; i <= upper; ++i) {
    items.emplace_back();
    SafeArrayGetElement(V_ARRAY(&array), &i, items.back().get());
  }
  return items;
}

namespace {

std::u16string StructMembers(IDispatch* object) {
  qxcom::ComPtr<StructObject> members;
  if (!object ||
      FAILED(object->QueryInterface(IID_StructObject, reinterpret_cast<void**>(members.put())))) {
    return u"<not a struct>";
  }
  std::u16string text = u"{";
  BSTR name = nullptr, ns = nullptr;
  qxcom::Variant value;
  LONG position = 0;
  VARIANT_BOOL present = VARIANT_FALSE;
  for (members->FirstMember(&name, &ns, value.get(), &position, &present);
       present == VARIANT_TRUE;
       members->NextMember(&name, &ns, value.get(), &position, &present)) {
    text += std::u16string(name, SysStringLen(name)) + u"=" + Describe(*value.get()) + u";";
    SysFreeString(name);
    SysFreeString(ns);
  }
  return text + u"}";
}

std::u16string TypeTag(VARTYPE type) {
  switch (type) {
    case VT_I4: return u"I4";
    case VT_R4: return u"R4";
    case VT_R8: return u"R8";
    case VT_DATE: return u"DATE";
    case VT_BOOL: return u"BOOL";
    case VT_DECIMAL: return u"DECIMAL";
    default: return u"vt?";
  }
}

}  // namespace

std::u16string Describe(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_EMPTY: return u"EMPTY";
    case VT_BSTR: return u"'" + TextOf(value) + u"'";
    case VT_DISPATCH: return StructMembers(V_DISPATCH(&value));
    case VT_ARRAY | VT_UI1: {
      const std::string count = std::to_string(BytesOf(V_VT(&value) == (VT_ARRAY | VT_UI1) ? V_ARRAY(&value) : nullptr).size());
      return u"UI1[" + std::u16string(count.begin(), count.end()) + u"]";
    }
    case VT_ARRAY | VT_VARIANT: {
      std::u16string text = u"[";
      for (const qxcom::Variant& item : ItemsOf(value)) {
        text += (text.size() > 1 ? u"," : u"") + Describe(*item.get());
      }
      return text + u"]";
    }
    default: {
      qxcom::Variant asText;
      if (FAILED(VariantChangeType(asText.get(), &value, 0, VT_BSTR))) return u"<no text>";
      return TypeTag(V_VT(&value)) + u":" + TextOf(*asText.get());
    }
  }
}

}  // namespace qxsoap::test
