// Object creation the way a host does it: class objects registered in the
// process, in-process servers found through the registry, and ProgIDs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry_fixture.h"
#include "platform/test_server/test_server.h"
#include "platform/values.h"
#include "qxcom.h"

namespace {

using qxcom::ComPtr;

// {8D1C2E3F-0000-4000-8000-00000000000A}: a class only this file registers.
const CLSID kLocalClass = {0x8D1C2E3F, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x0A}};

// A class factory living in the test, counting its references.
class LocalFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return AnswerQuery<IClassFactory>(this, iid, IID_IClassFactory, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
    ++created;
    return QueryInterface(iid, object);  // any object will do
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  ULONG references = 1;
  int created = 0;
};

HRESULT Create(REFCLSID clsid, DWORD context = CLSCTX_INPROC_SERVER, REFIID iid = IID_IUnknown,
               IUnknown* outer = nullptr) {
  void* object = &object;
  HRESULT hr = CoCreateInstance(clsid, outer, context, iid, &object);
  if (object) static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(object == nullptr, FAILED(hr)) << "a failure stores a null object";
  return hr;
}

class Runtime : public registry_test::TemporaryRegistry {
 protected:
  // Sets the default value of HKEY_CLASSES_ROOT\<path>.
  static void SetDefault(const std::u16string& path, const std::u16string& text,
                         DWORD type = REG_SZ) {
    HKEY key = registry_test::Create(HKEY_CLASSES_ROOT, path.c_str());
    ASSERT_EQ(registry_test::SetString(key, nullptr, text, type), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void RegisterServer(const std::string& path, DWORD type = REG_SZ) {
    SetDefault(u"CLSID\\" + platform_test::Braced(kTestServerClass) + u"\\InprocServer32",
               std::u16string(path.begin(), path.end()), type);
  }
};

TEST_F(Runtime, RegisteredClassObjectServesUntilRevoked) {
  LocalFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kLocalClass, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie),
            S_OK);
  EXPECT_EQ(factory.references, 2u) << "the registration holds a reference";
  EXPECT_EQ(Create(kLocalClass, CLSCTX_ALL), S_OK);
  EXPECT_EQ(Create(kLocalClass, CLSCTX_ALL), S_OK);
  EXPECT_EQ(factory.created, 2);
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.references, 1u) << "revoking releases it";
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
  EXPECT_EQ(Create(kLocalClass, CLSCTX_ALL), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoRegisterClassObject(kLocalClass, nullptr, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie),
            E_INVALIDARG);
  EXPECT_EQ(cookie, 0u) << "a refusal stores a zero cookie";
  EXPECT_EQ(CoCreateInstance(kLocalClass, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(Runtime, InprocServerIsLoadedFromTheRegisteredPath) {
  RegisterServer(QXCOM_TEST_SERVER_PATH);
  ComPtr<ITestValue> object;
  ASSERT_EQ(CoCreateInstance(kTestServerClass, nullptr, CLSCTX_INPROC_SERVER, kTestValueInterface,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  LONG value = 0;
  EXPECT_EQ(object->GetValue(&value), S_OK);
  EXPECT_EQ(value, 42);
  LocalFactory outer;
  EXPECT_EQ(Create(kTestServerClass, CLSCTX_INPROC_SERVER, IID_IUnknown, &outer),
            CLASS_E_NOAGGREGATION)
      << "the factory's refusal reaches the caller";
  EXPECT_EQ(Create(kTestServerClass, CLSCTX_LOCAL_SERVER), REGDB_E_CLASSNOTREG)
      << "the registry serves in-process requests only";

  std::filesystem::path server(QXCOM_TEST_SERVER_PATH);
  setenv("QXCOM_TEST_SERVER_DIR", server.parent_path().c_str(), 1);
  RegisterServer("%QXCOM_TEST_SERVER_DIR%/" + server.filename().string(), REG_EXPAND_SZ);
  EXPECT_EQ(Create(kTestServerClass), S_OK) << "an expandable path reads the environment";
  unsetenv("QXCOM_TEST_SERVER_DIR");
}

TEST_F(Runtime, CreationFailuresHaveTheirHresults) {
  struct Row { const char* why; bool registered; std::string serverPath; HRESULT result; };
  const Row rows[] = {
      {"class not in the registry", false, "", REGDB_E_CLASSNOTREG},
      {"library that does not exist", true, "/nonexistent/libnothing.so", CO_E_DLLNOTFOUND},
      {"library without DllGetClassObject", true, "libc.so.6", CO_E_ERRORINDLL},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, u"CLSID");
    if (row.registered) RegisterServer(row.serverPath);  // an InprocServer32 key
    EXPECT_EQ(Create(kTestServerClass), row.result);
  }
  WriteStore("not a registry\n");
  EXPECT_EQ(Create(kTestServerClass), REGDB_E_READREGDB);
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(u"qxsoapsvc.qxsoapmsg2", &clsid), REGDB_E_READREGDB);
}

TEST_F(Runtime, ProgIdsResolveDirectlyAndThroughCurVer) {
  const std::u16string clsidText = platform_test::Braced(kTestServerClass);
  SetDefault(u"qxsoapsvc.qxsoapmsg2.1\\CLSID", clsidText);
  SetDefault(u"qxsoapsvc.qxsoapmsg2\\CurVer", u"qxsoapsvc.qxsoapmsg2.1");
  // CurVer leads to the versioned ProgID, so this reads its CLSID key too.
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"QXSOAPSVC.QXSOAPMSG2", &clsid), S_OK) << "through CurVer, any case";
  EXPECT_EQ(clsid, kTestServerClass);

  SetDefault(u"Loop.A\\CurVer", u"Loop.B");
  SetDefault(u"Loop.B\\CurVer", u"Loop.A");
  SetDefault(u"Dangling\\CurVer", u"Nowhere");
  for (const char16_t* bad : {u"Unknown.Thing", u"Loop.A", u"Dangling", u"", u"CLSID\\x"}) {
    SCOPED_TRACE(platform_test::Trace(bad));
    EXPECT_EQ(CLSIDFromProgID(bad, &clsid), CO_E_CLASSSTRING);
  }
  EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
}

}  // namespace
