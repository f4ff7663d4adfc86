// Object creation the way a host does it: class objects registered in the
// process, in-process servers found through the registry, and ProgIDs.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry_fixture.h"
#include "platform/runtime_guard.h"
#include "platform/runtime_lookup.h"
#include "platform/test_server/test_server.h"
#include "qxcom.h"
#include "qxcom/registry.h"
#include "qxcom/runtime.h"

namespace {

using qxcom::ComPtr;

// {8D1C2E3F-0000-4000-8000-00000000000A}: a class only this file registers.
const CLSID kLocalClass = {0x8D1C2E3F, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x0A}};

// A class factory living in the test, counting its references.
class LocalFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    ++created;
    return QueryInterface(outer ? IID_NULL : iid, object);  // any object will do
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  std::atomic<ULONG> references{1};
  std::atomic<int> created{0};
};

std::u16string Braced(REFGUID guid) {
  OLECHAR text[39];
  StringFromGUID2(guid, text, 39);
  return text;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class Runtime : public registry_test::TemporaryRegistry {
 protected:
  // Sets the default value of HKEY_CLASSES_ROOT\<path>.
  static void SetDefault(const std::u16string& path, const std::u16string& text,
                         DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, path.c_str(), &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             DWORD((text.size() + 1) * 2)),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void RegisterServer(const std::string& path, DWORD type = REG_SZ) {
    SetDefault(u"CLSID\\" + Braced(kTestServerClass) + u"\\InprocServer32", Wide(path), type);
  }
};

TEST_F(Runtime, ApartmentCallsAreAccepted) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  CoUninitialize();
  CoUninitialize();
}

TEST_F(Runtime, RegisteredClassObjectServesUntilRevoked) {
  LocalFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kLocalClass, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &cookie),
            S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(factory.references, 2u) << "the registration holds a reference";
  for (int i = 0; i < 2; ++i) {
    ComPtr<IUnknown> object;
    ASSERT_EQ(CoCreateInstance(kLocalClass, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(object.put())),
              S_OK);
  }
  EXPECT_EQ(factory.created, 2);
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.references, 1u) << "revoking releases it";
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
  void* object = &factory;
  EXPECT_EQ(CoCreateInstance(kLocalClass, nullptr, CLSCTX_ALL, IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
}

TEST_F(Runtime, RegistrationFlagsAndContextsDecideVisibility) {
  LocalFactory factory;
  DWORD local = 0, single = 0, suspended = 0;
  ASSERT_EQ(CoRegisterClassObject(kLocalClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                  &local),
            S_OK);
  void* object = nullptr;
  EXPECT_EQ(CoGetClassObject(kLocalClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &object),
            REGDB_E_CLASSNOTREG)
      << "a local-server registration does not serve in-process requests";
  EXPECT_EQ(CoRevokeClassObject(local), S_OK);

  ASSERT_EQ(CoRegisterClassObject(kLocalClass, &factory, CLSCTX_INPROC_SERVER, REGCLS_SINGLEUSE,
                                  &single),
            S_OK);
  ASSERT_EQ(CoGetClassObject(kLocalClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &object),
            S_OK);
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(CoGetClassObject(kLocalClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &object),
            REGDB_E_CLASSNOTREG)
      << "single use serves one client";
  EXPECT_EQ(CoRevokeClassObject(single), S_OK);

  ASSERT_EQ(CoRegisterClassObject(kLocalClass, &factory, CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &suspended),
            S_OK);
  EXPECT_EQ(CoGetClassObject(kLocalClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoResumeClassObjects(), S_OK);
  ASSERT_EQ(CoGetClassObject(kLocalClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &object),
            S_OK);
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(CoRevokeClassObject(suspended), S_OK);
  EXPECT_EQ(factory.references, 1u);

  DWORD cookie = 7;
  EXPECT_EQ(CoRegisterClassObject(kLocalClass, nullptr, CLSCTX_INPROC_SERVER, 0, &cookie), E_INVALIDARG);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(CoRegisterClassObject(kLocalClass, &factory, 0, 0, &cookie), E_INVALIDARG);
  EXPECT_EQ(CoRegisterClassObject(kLocalClass, &factory, CLSCTX_INPROC_SERVER, 0x100, &cookie),
            E_INVALIDARG);
  EXPECT_EQ(CoGetClassObject(kLocalClass, 0, nullptr, IID_IClassFactory, &object), E_INVALIDARG);
  EXPECT_EQ(CoGetClassObject(kLocalClass, CLSCTX_ALL, nullptr, IID_IClassFactory, nullptr), E_INVALIDARG);
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
  void* aggregated = &outer;
  EXPECT_EQ(CoCreateInstance(kTestServerClass, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &aggregated),
            CLASS_E_NOAGGREGATION)
      << "the factory's refusal reaches the caller";
  EXPECT_EQ(aggregated, nullptr);
  void* other = nullptr;
  EXPECT_EQ(CoCreateInstance(kTestServerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &other),
            E_NOINTERFACE);
}

TEST_F(Runtime, ExpandableServerPathReadsTheEnvironment) {
  std::filesystem::path server(QXCOM_TEST_SERVER_PATH);
  setenv("QXCOM_TEST_SERVER_DIR", server.parent_path().c_str(), 1);
  RegisterServer("%QXCOM_TEST_SERVER_DIR%/" + server.filename().string(), REG_EXPAND_SZ);
  void* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(kTestServerClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             &factory),
            S_OK);
  static_cast<IUnknown*>(factory)->Release();
  unsetenv("QXCOM_TEST_SERVER_DIR");
}

struct CreationFailureRow {
  const char* why;
  bool registered;  // whether the class has an InprocServer32 key
  std::string serverPath;
  HRESULT result;
};

TEST_F(Runtime, CreationFailuresHaveTheirHresults) {
  const std::string notALibrary = directory_ + "/not-a-library.so";
  std::FILE* file = std::fopen(notALibrary.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("plain text\n", file);
  std::fclose(file);
  const CreationFailureRow rows[] = {
      {"class not in the registry", false, "", REGDB_E_CLASSNOTREG},
      {"empty server path", true, "", REGDB_E_CLASSNOTREG},
      {"library that does not exist", true, "/nonexistent/libnothing.so", CO_E_DLLNOTFOUND},
      {"file that is not a library", true, notALibrary, CO_E_DLLNOTFOUND},
      {"library without DllGetClassObject", true, "libc.so.6", CO_E_ERRORINDLL},
  };
  for (const CreationFailureRow& row : rows) {
    SCOPED_TRACE(row.why);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, u"CLSID");
    if (row.registered) RegisterServer(row.serverPath);
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(kTestServerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              row.result);
    EXPECT_EQ(object, nullptr);
  }
  RegisterServer(QXCOM_TEST_SERVER_PATH);
  void* object = nullptr;
  EXPECT_EQ(CoCreateInstance(kTestServerClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG)
      << "the registry serves in-process requests only";
}

TEST_F(Runtime, UnreadableRegistryIsReadRegDb) {
  WriteStore("not a registry\n");
  void* object = nullptr;
  EXPECT_EQ(CoCreateInstance(kTestServerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
            REGDB_E_READREGDB);
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(u"qxsoapsvc.qxsoapmsg2", &clsid), REGDB_E_READREGDB);
}

TEST_F(Runtime, ProgIdsResolveDirectlyAndThroughCurVer) {
  const std::u16string clsidText = Braced(kTestServerClass);
  SetDefault(u"qxsoapsvc.qxsoapmsg2.1\\CLSID", clsidText);
  SetDefault(u"qxsoapsvc.qxsoapmsg2\\CurVer", u"qxsoapsvc.qxsoapmsg2.1");
  SetDefault(u"CLSID\\" + clsidText + u"\\ProgID", u"qxsoapsvc.qxsoapmsg2.1");
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(u"qxsoapsvc.qxsoapmsg2.1", &clsid), S_OK);
  EXPECT_EQ(clsid, kTestServerClass);
  clsid = {};
  ASSERT_EQ(CLSIDFromProgID(u"QXSOAPSVC.QXSOAPMSG2", &clsid), S_OK) << "through CurVer, any case";
  EXPECT_EQ(clsid, kTestServerClass);

  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kTestServerClass, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"qxsoapsvc.qxsoapmsg2.1");
  CoTaskMemFree(progId);
  EXPECT_EQ(ProgIDFromCLSID(kLocalClass, &progId), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(progId, nullptr);
}

TEST_F(Runtime, BadProgIdsAreClassString) {
  SetDefault(u"Loop.A\\CurVer", u"Loop.B");
  SetDefault(u"Loop.B\\CurVer", u"Loop.A");
  SetDefault(u"Broken\\CLSID", u"not a guid");
  SetDefault(u"Dangling\\CurVer", u"Nowhere");
  for (const char16_t* progId : {u"Unknown.Thing", u"Loop.A", u"Broken", u"Dangling", u"", u"CLSID\\x"}) {
    SCOPED_TRACE(std::string(progId, progId + std::char_traits<char16_t>::length(progId)));
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), CO_E_CLASSSTRING);
  }
  CLSID clsid;
  EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
  EXPECT_EQ(CLSIDFromProgID(u"x", nullptr), E_INVALIDARG);
}

TEST_F(Runtime, TaskMemoryAndGuidStrings) {
  void* empty = CoTaskMemAlloc(0);
  EXPECT_NE(empty, nullptr);
  CoTaskMemFree(empty);
  CoTaskMemFree(nullptr);
  auto* grown = static_cast<char*>(CoTaskMemAlloc(4));
  ASSERT_NE(grown, nullptr);
  std::memcpy(grown, "abc", 4);
  grown = static_cast<char*>(CoTaskMemRealloc(grown, 4096));
  ASSERT_NE(grown, nullptr);
  EXPECT_STREQ(grown, "abc");
  EXPECT_EQ(CoTaskMemRealloc(grown, 0), nullptr);

  LPOLESTR text = nullptr;
  ASSERT_EQ(StringFromCLSID(kTestServerClass, &text), S_OK);
  EXPECT_EQ(std::u16string(text), u"{5B0F6A52-3C1E-4D8B-9A07-2E1B4C6D8F10}");
  CoTaskMemFree(text);
  EXPECT_EQ(StringFromIID(kTestValueInterface, nullptr), E_INVALIDARG);
}

TEST(RuntimeGuard, OutOfMemoryBecomesTheResultAndTheLastError) {
  SetLastError(0);
  EXPECT_EQ(qxcom::Guarded(E_OUTOFMEMORY, []() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
  EXPECT_EQ(GetLastError(), 0u) << "HRESULT calls leave the last error alone";
  EXPECT_EQ(qxcom::Guarded(BOOL(FALSE), []() -> BOOL { throw std::bad_alloc(); },
                           ERROR_NOT_ENOUGH_MEMORY),
            FALSE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(qxcom::Guarded(E_OUTOFMEMORY, [] { return S_FALSE; }), S_FALSE);
}

struct ExpandRow {
  const char* why;
  const char* text;
  const char* expanded;
};

TEST(RuntimeLookup, ExpandEnvironmentRows) {
  setenv("QX_EXPAND_DIR", "/opt/qx", 1);
  unsetenv("QX_EXPAND_MISSING");
  const ExpandRow rows[] = {
      {"no references", "/usr/lib/x.so", "/usr/lib/x.so"},
      {"one reference", "%QX_EXPAND_DIR%/x.so", "/opt/qx/x.so"},
      {"unknown name is kept", "%QX_EXPAND_MISSING%/x.so", "%QX_EXPAND_MISSING%/x.so"},
      {"unpaired percent is kept", "100%/x", "100%/x"},
      {"empty name is kept", "a%%b", "a%%b"},
      {"two references", "%QX_EXPAND_DIR%%QX_EXPAND_DIR%", "/opt/qx/opt/qx"},
  };
  for (const ExpandRow& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(qxcom::ExpandEnvironment(row.text), row.expanded);
  }
  unsetenv("QX_EXPAND_DIR");
}

TEST_F(Runtime, CreationFromManyThreadsAtOnce) {
  RegisterServer(QXCOM_TEST_SERVER_PATH);
  LocalFactory factory;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) {
        DWORD cookie = 0;
        if (FAILED(CoRegisterClassObject(kLocalClass, &factory, CLSCTX_INPROC_SERVER,
                                         REGCLS_MULTIPLEUSE, &cookie))) {
          ++failures;
        }
        ComPtr<ITestValue> object;
        LONG value = 0;
        if (FAILED(CoCreateInstance(kTestServerClass, nullptr, CLSCTX_INPROC_SERVER,
                                    kTestValueInterface, reinterpret_cast<void**>(object.put()))) ||
            FAILED(object->GetValue(&value)) || value != 42) {
          ++failures;
        }
        if (FAILED(CoRevokeClassObject(cookie))) ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(factory.references, 1u);
}

}  // namespace
