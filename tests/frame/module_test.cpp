// The module's exports: the class object and the unload check.
#include <gtest/gtest.h>

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

TEST(Module, HandsOutAFactoryForEachOfItsClasses) {
  const struct {
    const char* why;
    const CLSID& clsid;
    const IID& iid;  // what the factory's object is asked for
  } rows[] = {
      {"the handler", CLSID_qxsoapmsg2, IID_Iqxsoapmsg2},
      {"the struct component", CLSID_StructObject, IID_StructObject},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    qxcom::ComPtr<IClassFactory> factory = FactoryOf(row.clsid);
    ASSERT_TRUE(factory);
    qxcom::ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(nullptr, row.iid, reinterpret_cast<void**>(object.put())),
              S_OK);
    EXPECT_TRUE(object);
  }
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(DllGetClassObject(IID_Iqxsoapmsg2, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE)
      << "an interface's identifier is no class";
  EXPECT_EQ(object, nullptr);
}

TEST(Module, CanUnloadOnlyWithoutStructObjects) {
  ASSERT_EQ(DllCanUnloadNow(), S_OK);
  qxcom::ComPtr<IClassFactory> factory = FactoryOf(CLSID_StructObject);
  ASSERT_TRUE(factory);
  void* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_StructObject, &object), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "a struct object is alive";
  static_cast<StructObject*>(object)->Release();
  EXPECT_EQ(DllCanUnloadNow(), S_OK) << "its last release took its lock off";
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(DllCanUnloadNow(), S_OK) << "a refused creation leaves no lock behind";
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
