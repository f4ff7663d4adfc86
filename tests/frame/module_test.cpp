// The module's exports: a class object for each of its classes, and the
// unload check.
#include <gtest/gtest.h>

#include <utility>

#include "qxcom/owned.h"
#include "qxsoapmsg.h"

namespace qxsoap {
namespace {

// The factory DllGetClassObject hands out for `clsid`.
qxcom::ComPtr<IClassFactory> FactoryOf(REFCLSID clsid) {
  void* raw = nullptr;
  EXPECT_EQ(DllGetClassObject(clsid, IID_IClassFactory, &raw), S_OK);
  return qxcom::ComPtr<IClassFactory>::Adopt(static_cast<IClassFactory*>(raw));
}

TEST(Module, CanUnloadOnlyWithoutObjectsAndServerLocks) {
  ASSERT_EQ(DllCanUnloadNow(), S_OK);
  EXPECT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IClassFactory, nullptr), E_POINTER);
  void* none = &none;
  EXPECT_EQ(DllGetClassObject(IID_Iqxsoapmsg2, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE)
      << "an interface's identifier is no class";
  EXPECT_EQ(none, nullptr);
  for (const auto& [clsid, iid] : {std::pair{&CLSID_qxsoapmsg2, &IID_Iqxsoapmsg2},
                                   std::pair{&CLSID_StructObject, &IID_StructObject}}) {
    qxcom::ComPtr<IClassFactory> factory = FactoryOf(*clsid);
    ASSERT_TRUE(factory);
    void* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, *iid, &object), S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "an object is alive";
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_OK) << "its last release took its lock off";
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(factory->CreateInstance(nullptr, *iid, nullptr), E_POINTER);
    EXPECT_EQ(DllCanUnloadNow(), S_OK) << "a refused creation leaves no lock behind";
  }
  qxcom::ComPtr<IClassFactory> factory = FactoryOf(CLSID_qxsoapmsg2);
  EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "the server lock is outstanding";
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK) << "an unmatched unlock does not go below zero";
}

}  // namespace
}  // namespace qxsoap
