// IUnknown and IDispatch of a service object: names to DISPIDs, arguments
// to the method's parameters, and whatever the method throws to an HRESULT
// with its exception information.
#include <cstring>
#include <string_view>

#include "qxsoap/service_object.h"

namespace qxsoap::service {
namespace {

// The UTF-8 text of a std::exception as a new BSTR (null when it cannot be
// allocated), without anything that could throw.
BSTR WideString(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 1) return nullptr;
  BSTR wide = SysAllocStringLen(nullptr, UINT(length - 1));
  if (wide) MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, length);
  return wide;
}

// Fills *exception (when given) and takes ownership of `description`. A
// string that cannot be allocated stays null (the empty string); the scode
// still says what went wrong.
HRESULT Raise(EXCEPINFO* exception, HRESULT scode, BSTR description, const OLECHAR* source) {
  if (!exception) {
    SysFreeString(description);
    return DISP_E_EXCEPTION;
  }
  std::memset(exception, 0, sizeof *exception);
  exception->scode = scode;
  exception->bstrDescription = description;
  exception->bstrSource = SysAllocString(source);
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT DispatchObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() { return ++refCount_; }

ULONG DispatchObject::Release() {
  const ULONG left = --refCount_;
  if (left == 0) delete this;
  return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  size_t method = 0;
  while (method < MethodCount() && !(names[0] && qxcom::NamesMatch(Shape(method).name, names[0]))) {
    ++method;
  }
  if (method == MethodCount()) return DISP_E_UNKNOWNNAME;
  ids[0] = DISPID(method + 1);
  const MethodShape shape = Shape(method);
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    for (size_t p = 0; names[i] && p < shape.params.size(); ++p) {
      if (qxcom::NamesMatch(shape.params[p], names[i])) ids[i] = DISPID(p);
    }
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispatchObject::Invoke(DISPID member, REFIID reserved, LCID, WORD flags, DISPPARAMS* args,
                               VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  if (member < 1 || size_t(member) > MethodCount()) return DISP_E_MEMBERNOTFOUND;
  if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
  if (!args) return E_INVALIDARG;
  const size_t method = size_t(member - 1);
  VARIANTARG* bound[kMaxParams];
  UINT boundIndex[kMaxParams];
  const UINT expected = UINT(Shape(method).params.size());
  if (HRESULT hr = qxcom::BindDispatchArguments(*args, expected, bound, boundIndex, argError);
      FAILED(hr)) {
    return hr;
  }
  Arguments arguments(bound, boundIndex, expected);
  return Run(method, arguments, result, exception, argError);
}

HRESULT DispatchObject::Run(size_t method, Arguments& args, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError) noexcept {
  try {
    qxcom::Variant value = Call(method, args);
    if (result) value.Detach(result);
    return S_OK;
  } catch (const ArgumentError& error) {
    if (argError) *argError = error.argIndex;
    return error.hr;
  } catch (const ServiceError& error) {
    const std::u16string& text = error.description();
    return Raise(exception, error.scode(), SysAllocStringLen(text.data(), UINT(text.size())),
                 source_);
  } catch (const std::bad_alloc&) {
    return Raise(exception, E_OUTOFMEMORY, SysAllocString(u"Out of memory."), source_);
  } catch (const std::exception& error) {
    return Raise(exception, E_FAIL, WideString(error.what()), source_);
  } catch (...) {
    return Raise(exception, E_UNEXPECTED,
                 SysAllocString(u"The service failed with an unknown exception."), source_);
  }
}

HRESULT QueryNewObject(DispatchObject* created, REFIID iid, void** object) {
  created->AddRef();  // held across the query, so that a failed query frees it
  const HRESULT hr = created->QueryInterface(iid, object);
  created->Release();
  return hr;
}

}  // namespace qxsoap::service
