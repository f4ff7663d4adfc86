// The module's exports: the class object and the unload check.
#include <gtest/gtest.h>

#include "qxcom/owned.h"
#include "qxsoapmsg.h"

namespace qxsoap {
namespace {

TEST(Module, HandsOutTheFactoryOfItsOneClass) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(DllGetClassObject(CLSID_StructObject, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IUnknown, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();
}

TEST(Module, NullOutPointersAreRefused) {
  EXPECT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IClassFactory, nullptr), E_POINTER);
  void* raw = nullptr;
  ASSERT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IClassFactory, &raw), S_OK);
  auto factory = qxcom::ComPtr<IClassFactory>::Adopt(static_cast<IClassFactory*>(raw));
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_Iqxsoapmsg2, nullptr), E_POINTER);
  EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(DllCanUnloadNow(), S_OK) << "a refused call leaves no object behind";
}

TEST(Module, CanUnloadOnlyWithoutObjectsAndServerLocks) {
  ASSERT_EQ(DllCanUnloadNow(), S_OK);
  void* raw = nullptr;
  ASSERT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IClassFactory, &raw), S_OK);
  auto factory = qxcom::ComPtr<IClassFactory>::Adopt(static_cast<IClassFactory*>(raw));
  void* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_Iqxsoapmsg2, &object), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "an object is alive";
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  static_cast<Iqxsoapmsg2*>(object)->Release();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "the server lock is outstanding";
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK) << "an unmatched unlock does not go below zero";
}

}  // namespace
}  // namespace qxsoap
