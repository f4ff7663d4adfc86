// The module's struct component, registered with the runtime for the whole
// suite, as a host that registered the module would find it: the value
// decoder creates struct objects by CLSID.
#include <gtest/gtest.h>

#include <qxsoapmsg.h>

namespace qxsoap::testing {
namespace {

class StructComponent : public ::testing::Environment {
 public:
  void SetUp() override {
    qxcom::ComPtr<IUnknown> factory;
    ASSERT_EQ(DllGetClassObject(CLSID_StructObject, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.put())),
              S_OK);
    ASSERT_EQ(CoRegisterClassObject(CLSID_StructObject, factory.get(), CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_),
              S_OK);
  }
  void TearDown() override { CoRevokeClassObject(cookie_); }

 private:
  DWORD cookie_ = 0;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new StructComponent);

}  // namespace
}  // namespace qxsoap::testing
