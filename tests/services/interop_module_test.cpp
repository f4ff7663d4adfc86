// The interop module's registration, creation by ProgID and unload check.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "services/service_calls.h"

namespace qxsoap::test {
namespace {

constexpr char16_t kClassKey[] = u"CLSID\\{C9D7D265-88F6-46DD-AFD3-0C11DE2BF0D1}";

// The REG_SZ value `name` (null: the default value) of `key`, if any.
std::optional<std::u16string> Value(const std::u16string& key, const char16_t* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
  char16_t data[1024];
  DWORD size = sizeof data;
  const LONG error = RegQueryValueExW(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  if (error != ERROR_SUCCESS) return std::nullopt;
  return std::u16string(data, size / sizeof(char16_t) - 1);
}

bool KeyExists(const std::u16string& key) {
  HKEY handle = nullptr;
  const bool exists = RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
  if (exists) RegCloseKey(handle);
  return exists;
}

TEST(InteropModule, RegistrationNamesTheServiceModuleAndItsProgIds) {
  const std::u16string classKey = kClassKey;
  // The module's path is what `qxsoap serve` loads in tests/interop.
  EXPECT_EQ(Value(classKey + u"\\InprocServer32", u"ThreadingModel"), u"Apartment");
  EXPECT_EQ(Value(classKey + u"\\ProgID", nullptr), u"qxsoap.InteropBase.1");
  EXPECT_EQ(Value(classKey + u"\\VersionIndependentProgID", nullptr), u"qxsoap.InteropBase");
  EXPECT_TRUE(KeyExists(classKey + u"\\Programmable"));
  EXPECT_EQ(Value(u"qxsoap.InteropBase\\CurVer", nullptr), u"qxsoap.InteropBase.1");
  CLSID byVersioned{}, byIndependent{};
  ASSERT_EQ(CLSIDFromProgID(u"qxsoap.InteropBase.1", &byVersioned), S_OK);
  ASSERT_EQ(CLSIDFromProgID(u"qxsoap.InteropBase", &byIndependent), S_OK);
  EXPECT_EQ(byVersioned, byIndependent);
}

TEST(InteropModule, UnregisteringRemovesTheClassAndKeepsSharedKeys) {
  ASSERT_EQ(InteropExport("DllUnregisterServer")(), S_OK);
  EXPECT_FALSE(KeyExists(kClassKey));
  EXPECT_FALSE(KeyExists(u"qxsoap.InteropBase"));
  EXPECT_FALSE(KeyExists(u"qxsoap.InteropBase.1"));
  EXPECT_TRUE(KeyExists(u"CLSID")) << "other classes live there";
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(kInteropProgId, &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(InteropExport("DllUnregisterServer")(), S_OK) << "twice is no error";
  ASSERT_EQ(InteropExport("DllRegisterServer")(), S_OK);
  EXPECT_TRUE(KeyExists(kClassKey));
}

TEST(InteropModule, TheModuleStaysWhileObjectsOrServerLocksLiveAndServesOnlyItsClass) {
  const auto canUnload = InteropExport("DllCanUnloadNow");
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);
  qxcom::ComPtr<IDispatch> service = CreateInteropService();
  ASSERT_TRUE(service);
  EXPECT_EQ(canUnload(), S_FALSE);
  service = nullptr;
  EXPECT_EQ(canUnload(), S_OK);

  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kInteropProgId, &clsid), S_OK);
  qxcom::ComPtr<IClassFactory> factory;
  ASSERT_EQ(
      CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, reinterpret_cast<void**>(factory.put())),
      S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(canUnload(), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);  // one too many: no lock goes below none
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(canUnload(), S_FALSE);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);

  // Only its own class is served.
  void* object = &object;
  auto get = InteropExport<HRESULT (*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
  ASSERT_NE(get, nullptr);
  EXPECT_EQ(get(IID_IDispatch, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace qxsoap::test
