// The suite's registry file with the interop module registered, the struct
// component, and late-bound calls.
#include "services/service_calls.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include <qxsoapmsg.h>

namespace qxsoap::test {
namespace {

class InteropEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    registry_ = std::filesystem::temp_directory_path() / ("qxsoap-services-" + std::to_string(getpid()));
    std::filesystem::remove(registry_);
    setenv("QXCOM_REGISTRY", registry_.c_str(), 1);
    ASSERT_EQ(InteropExport("DllRegisterServer")(), S_OK);
    qxcom::ComPtr<IUnknown> factory;
    ASSERT_EQ(DllGetClassObject(CLSID_StructObject, IID_IClassFactory, reinterpret_cast<void**>(factory.put())),
              S_OK);
    ASSERT_EQ(CoRegisterClassObject(CLSID_StructObject, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie_),
              S_OK);
  }
  void TearDown() override {
    CoRevokeClassObject(cookie_);
    unsetenv("QXCOM_REGISTRY");
    std::filesystem::remove(registry_);
    std::filesystem::remove(registry_.string() + ".lock");
  }

 private:
  std::filesystem::path registry_;
  DWORD cookie_ = 0;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new InteropEnvironment);

}  // namespace

void* InteropSymbol(const char* name) {
  // The same handle CoCreateInstance gets: dlopen counts one library once.
  static void* const module = dlopen(QXSOAP_INTEROP_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  return module ? dlsym(module, name) : nullptr;
}

qxcom::ComPtr<IDispatch> CreateInteropService() {
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(kInteropProgId, &clsid), S_OK);
  qxcom::ComPtr<IDispatch> object;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  return object;
}

CallOutcome CallByName(IDispatch& object, std::u16string_view method, const std::vector<VARIANT*>& args) {
  CallOutcome outcome;
  std::u16string name(method);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  outcome.hr = object.GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(outcome.hr)) return outcome;
  std::vector<VARIANTARG> reversed;
  for (auto arg = args.rbegin(); arg != args.rend(); ++arg) reversed.push_back(**arg);
  DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
  EXCEPINFO exception{};
  outcome.hr = object.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, outcome.result.get(), &exception,
                             &outcome.argError);
  outcome.scode = exception.scode;
  if (exception.bstrDescription) outcome.description = exception.bstrDescription;
  if (exception.bstrSource) outcome.source = exception.bstrSource;
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

qxcom::Variant VariantArray(const std::vector<const VARIANT*>& items) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, ULONG(items.size()));
  for (LONG i = 0; i < LONG(items.size()); ++i) SafeArrayPutElement(array, &i, const_cast<VARIANT*>(items[size_t(i)]));
  return ArrayVariant(VT_VARIANT, array);
}

}  // namespace qxsoap::test
