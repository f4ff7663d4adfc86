// The module's exports: class object, unload check and version record.
#include <gtest/gtest.h>

#include <cstring>

#include "qxcom/owned.h"
#include "qxsoapmsg.h"

namespace qxsoap {
namespace {

qxcom::ComPtr<IClassFactory> Factory() {
  void* factory = nullptr;
  EXPECT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IClassFactory, &factory), S_OK);
  return qxcom::ComPtr<IClassFactory>::Adopt(static_cast<IClassFactory*>(factory));
}

TEST(Module, HandsOutTheFactoryOfItsOneClass) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(DllGetClassObject(CLSID_StructObject, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IDispatch, &object), E_NOINTERFACE);
  EXPECT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(DllGetClassObject(CLSID_qxsoapmsg2, IID_IUnknown, &object), S_OK);
  static_cast<IUnknown*>(object)->Release();
}

TEST(Module, CanUnloadOnlyWithoutObjectsAndServerLocks) {
  ASSERT_EQ(DllCanUnloadNow(), S_OK);
  auto factory = Factory();
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

TEST(Module, RefusesAggregationUnlessIUnknownIsAskedFor) {
  struct Outer : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
  } outer;
  void* object = nullptr;
  EXPECT_EQ(Factory()->CreateInstance(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(Factory()->CreateInstance(nullptr, IID_IDispatch, nullptr), E_POINTER);
}

TEST(Module, VersionRecord) {
  const QxsoapVersionInfo* version = QxsoapGetVersionInfo();
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version->fileVersion, "2.2.0.1");
  EXPECT_STREQ(version->productVersion, "2.2.0.1");
  EXPECT_STREQ(version->productName, "qxsoapmsg Module");
  EXPECT_STREQ(version->originalFilename, "qxsoapmsg.dll");
  EXPECT_STREQ(version->comments, "Supports SOAP 1.1 and 1.2");
}

}  // namespace
}  // namespace qxsoap
