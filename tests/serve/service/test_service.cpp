// The service `qxsoap serve` runs in the server tests: an in-process server
// with one automation class, ProgID qxsoap.TestService, whose methods are
// the operations of tests/serve/calc.wsdl:
//   Echo(text) -> text
//   Divide(dividend, divisor, [out] remainder) -> quotient; a zero divisor
//     raises DISP_E_EXCEPTION with the description "division by zero"
//   Wait(milliseconds) -> milliseconds, after sleeping that long: a request
//     that stays in flight, or a service that hangs
// DllRegisterServer registers the class with this library's own path.
#include <dlfcn.h>
#include <qxcom.h>

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>

namespace {

// {7A0C2E51-3B8D-4C6F-9E21-5D4B3A2F1C09}
constexpr CLSID kTestServiceClass = {0x7a0c2e51, 0x3b8d, 0x4c6f, {0x9e, 0x21, 0x5d, 0x4b, 0x3a, 0x2f, 0x1c, 0x09}};
constexpr char16_t kProgId[] = u"qxsoap.TestService";

enum Dispid : DISPID { kEcho = 1, kDivide, kWait, kIncrement, kNotify };
constexpr struct {
  std::u16string_view name;
  DISPID id;
  UINT arguments;
} kMethods[] = {{u"Echo", kEcho, 1}, {u"Divide", kDivide, 3}, {u"Wait", kWait, 1}, {u"Increment", kIncrement, 1}, {u"Notify", kNotify, 1}};

std::atomic<long> liveObjects{0};

// The value of argument `index` (in call order) as type `type`, following a
// reference when the caller passed one.
HRESULT Argument(const DISPPARAMS& params, UINT index, VARTYPE type, VARIANT* out) {
  const VARIANTARG& passed = params.rgvarg[params.cArgs - 1 - index];
  const VARIANT* value = V_VT(&passed) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&passed) : &passed;
  return VariantChangeType(out, value, 0, type);
}

HRESULT Raise(EXCEPINFO* exception, const char16_t* description) {
  if (exception) {
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(kProgId);
    exception->bstrDescription = SysAllocString(description);
    exception->scode = E_FAIL;
  }
  return DISP_E_EXCEPTION;
}

class TestService final : public IDispatch {
 public:
  TestService() { ++liveObjects; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      --liveObjects;
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return DISP_E_UNKNOWNNAME;
    for (const auto& method : kMethods) {
      if (method.name == names[0]) {
        ids[0] = method.id;
        return S_OK;
      }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (!(flags & DISPATCH_METHOD) || id < kEcho || id > kNotify) return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != kMethods[id - 1].arguments) return DISP_E_BADPARAMCOUNT;
    if (id == kEcho) return Argument(*params, 0, VT_BSTR, result);
    if (id == kWait) {
      if (HRESULT hr = Argument(*params, 0, VT_I4, result); FAILED(hr)) return hr;
      std::this_thread::sleep_for(std::chrono::milliseconds(V_I4(result)));
      return S_OK;
    }
    if (id == kIncrement) return Increment(params->rgvarg[0]);
    if (id == kNotify) return S_OK;
    VARIANT dividend, divisor;
    VariantInit(&dividend);
    VariantInit(&divisor);
    if (FAILED(Argument(*params, 0, VT_I4, &dividend)) || FAILED(Argument(*params, 1, VT_I4, &divisor))) {
      return DISP_E_TYPEMISMATCH;
    }
    if (V_I4(&divisor) == 0) return Raise(exception, u"division by zero");
    VARIANTARG& remainder = params->rgvarg[0];
    if (V_VT(&remainder) != (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
    VariantClear(V_VARIANTREF(&remainder));
    V_VT(V_VARIANTREF(&remainder)) = VT_I4;
    V_I4(V_VARIANTREF(&remainder)) = V_I4(&dividend) % V_I4(&divisor);
    V_VT(result) = VT_I4;
    V_I4(result) = V_I4(&dividend) / V_I4(&divisor);
    return S_OK;
  }

 private:
  static HRESULT Increment(VARIANTARG& counter) {
    if (V_VT(&counter) != (VT_BYREF | VT_VARIANT)) return DISP_E_TYPEMISMATCH;
    VARIANT* value = V_VARIANTREF(&counter);
    if (HRESULT hr = VariantChangeType(value, value, 0, VT_I4); FAILED(hr)) return hr;
    ++V_I4(value);
    return S_OK;
  }

  std::atomic<ULONG> references_{1};
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* created = new TestService;
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

std::u16string Braced(REFCLSID clsid) {
  OLECHAR text[39];
  StringFromGUID2(clsid, text, 39);
  return text;
}

LONG SetDefaultValue(const std::u16string& path, const std::u16string& value) {
  HKEY key = nullptr;
  if (LONG error = RegCreateKeyW(HKEY_CLASSES_ROOT, path.c_str(), &key)) return error;
  const LONG error = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    DWORD((value.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
  return error;
}

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid != kTestServiceClass) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, object);
}

extern "C" HRESULT DllCanUnloadNow() { return liveObjects == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT DllRegisterServer() {
  Dl_info self{};
  // A symbol of this library only: an exported one may resolve to another
  // module's (the handler's, in a process that links it).
  if (!dladdr(static_cast<const void*>(&factory), &self) || !self.dli_fname) return E_FAIL;
  const std::string path = self.dli_fname;
  const std::u16string classKey = u"CLSID\\" + Braced(kTestServiceClass);
  const bool ok = !SetDefaultValue(classKey + u"\\InprocServer32", std::u16string(path.begin(), path.end())) &&
                  !SetDefaultValue(classKey + u"\\ProgID", kProgId) &&
                  !SetDefaultValue(std::u16string(kProgId) + u"\\CLSID", Braced(kTestServiceClass));
  return ok ? S_OK : E_FAIL;
}

extern "C" HRESULT DllUnregisterServer() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (u"CLSID\\" + Braced(kTestServiceClass)).c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  return S_OK;
}
