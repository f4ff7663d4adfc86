// The suite's registry file, the registered interop module and the struct
// component.
#include "services/interop_environment.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <qxsoapmsg.h>

namespace qxsoap::test {
namespace {

class InteropEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    registry_ = std::filesystem::temp_directory_path() /
                ("qxsoap-services-" + std::to_string(getpid()));
    std::filesystem::remove(registry_);
    setenv("QXCOM_REGISTRY", registry_.c_str(), 1);
    ASSERT_EQ(InteropExport("DllRegisterServer")(), S_OK);
    qxcom::ComPtr<IUnknown> factory;
    ASSERT_EQ(DllGetClassObject(CLSID_StructObject, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.put())),
              S_OK);
    ASSERT_EQ(CoRegisterClassObject(CLSID_StructObject, factory.get(), CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_),
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

}  // namespace qxsoap::test
