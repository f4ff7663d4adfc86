// A client of a registered service module, as `qxsoap serve` calls one:
// creates PROGID and calls METHOD by name with one text ARGUMENT; the text
// result must be EXPECTED.
//   service_client PROGID METHOD ARGUMENT EXPECTED
#include <qxcom.h>

#include <cstdio>
#include <string>

namespace {

std::u16string Wide(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::u16string wide(size_t(length > 0 ? length : 1), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  wide.pop_back();
  return wide;
}

int Fail(const char* step, HRESULT hr) {
  std::fprintf(stderr, "service_client: %s failed: 0x%08X\n", step, unsigned(hr));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) return Fail("usage: service_client PROGID METHOD ARGUMENT EXPECTED", E_INVALIDARG);
  const std::u16string progId = Wide(argv[1]), expected = Wide(argv[4]);
  std::u16string method = Wide(argv[2]);
  CLSID clsid;
  qxcom::ComPtr<IDispatch> service;
  HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(service.put()));
  }
  if (FAILED(hr)) return Fail("creating the service", hr);
  LPOLESTR names[] = {method.data()};
  DISPID id = 0;
  if (hr = service->GetIDsOfNames(IID_NULL, names, 1, 0, &id); FAILED(hr)) return Fail("GetIDsOfNames", hr);
  const std::u16string text = Wide(argv[3]);
  qxcom::Variant argument, result;
  V_VT(argument.get()) = VT_BSTR;
  V_BSTR(argument.get()) = SysAllocStringLen(text.data(), UINT(text.size()));
  DISPPARAMS params{argument.get(), nullptr, 1, 0};
  hr = service->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), nullptr, nullptr);
  if (FAILED(hr)) return Fail("Invoke", hr);
  const BSTR got = V_VT(result.get()) == VT_BSTR ? V_BSTR(result.get()) : nullptr;
  if (!got || std::u16string(got, SysStringLen(got)) != expected) return Fail("the result", E_FAIL);
  return 0;
}
