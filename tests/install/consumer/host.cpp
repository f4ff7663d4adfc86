// A host written as a COM client: registers the installed module, creates
// the handler by ProgID, calls it through its interface, and releases it.
// Exits 0 when every step did what it should; otherwise prints the step.
#include <qxsoapmsg.h>

#include <cstdio>

// The consumer's build names no standard; it has this one from the package.
static_assert(__cplusplus >= 202002L, "the qxsoap package must compile its users as C++20");

namespace {

int Fail(const char* step, HRESULT hr) {
  std::fprintf(stderr, "host: %s failed: 0x%08X\n", step, unsigned(hr));
  return 1;
}

}  // namespace

int main() {
  if (HRESULT hr = DllRegisterServer(); FAILED(hr)) return Fail("DllRegisterServer", hr);
  CLSID clsid;
  if (HRESULT hr = CLSIDFromProgID(kQxsoapmsg2ProgId, &clsid); FAILED(hr)) return Fail("CLSIDFromProgID", hr);
  if (clsid != CLSID_qxsoapmsg2) return Fail("ProgID resolution", E_FAIL);
  Iqxsoapmsg2* handler = nullptr;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_Iqxsoapmsg2,
                                reinterpret_cast<void**>(&handler));
  if (FAILED(hr)) return Fail("CoCreateInstance", hr);

  handler->SetSOAPVersion(12);
  LONG version = 0;
  handler->GetSOAPVersion(&version);

  handler->Release();
  if (version != 12) return Fail("reading the version back", E_FAIL);
  if (HRESULT unregistered = DllUnregisterServer(); FAILED(unregistered)) {
    return Fail("DllUnregisterServer", unregistered);
  }
  std::puts("host: created qxsoapsvc.qxsoapmsg2 by ProgID and called it");
  return 0;
}
