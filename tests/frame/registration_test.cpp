// Registration and unregistration against a temporary registry file.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>

#include "frame/registration.h"
#include "qxcom.h"
#include "support/struct_object_reader.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

constexpr char16_t kModule[] = u"/opt/qxsoap/lib/libqxsoapmsg.so";
constexpr char16_t kClassKey[] = u"CLSID\\{E88C25FF-5EA3-44D5-AB0A-B9188E6BE5A0}";
constexpr char16_t kStructClassKey[] = u"CLSID\\{F49037C2-B179-42E8-9469-09265BF20E3A}";
constexpr char16_t kLibKey[] = u"TypeLib\\{AE3542B2-D297-4567-8B45-967F8345B0F9}";
constexpr char16_t kInterfaceKey[] = u"Interface\\{42D722BB-F136-44B5-BAD2-3CD110FF646F}";
// Keys of every script, which unregistration removes; a registration cut
// short lacks the deeper ones.
const std::u16string kRemoved[] = {
    u"AppID\\{2B708D0B-88C2-4369-9B22-42F9ED12F144}", u"AppID\\qxsoapmsg.DLL",
    u"qxsoapsvc.qxsoapmsg2.1", u"qxsoapsvc.qxsoapmsg2\\CurVer", kClassKey,
    std::u16string(kClassKey) + u"\\InprocServer32", u"qxsoapsvc.StructObject",
    u"qxsoapsvc.StructObject.1", kStructClassKey, kLibKey, std::u16string(kLibKey) + u"\\1.0\\0\\win64",
    kInterfaceKey, std::u16string(kInterfaceKey) + u"\\NumMethods",
};

std::string Narrow(std::u16string_view text) { return {text.begin(), text.end()}; }

// Points the registry at a fresh file for one test.
class RegistrationTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("qxsoap-registry-" + std::to_string(getpid()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove(path_);
    setenv("QXCOM_REGISTRY", path_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QXCOM_REGISTRY");
    std::filesystem::remove(path_);
    std::filesystem::remove(path_.string() + ".lock");
  }

  static bool KeyExists(const std::u16string& key) {
    HKEY handle = nullptr;
    const bool exists = RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) == 0;
    if (exists) RegCloseKey(handle);
    return exists;
  }
  static void CreateKey(const std::u16string& key) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, key.c_str(), &handle), ERROR_SUCCESS);
    RegCloseKey(handle);
  }
  // The REG_SZ value `name` (null: the default value) of `key`.
  static std::optional<std::u16string> Value(const std::u16string& key, const char16_t* name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    char16_t data[512] = {};
    DWORD size = sizeof data, type = 0;
    const LONG error =
        RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    if (error != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::u16string(data);
  }

  std::filesystem::path path_;
};

// The keys no other check reads: `qxsoap serve` resolves both classes by
// their version-independent ProgIDs and loads their server, and
// ARegisteredModuleServesStructObjectsUntilUnregistered does the same.
TEST_F(RegistrationTest, WritesEveryKeyOfTheScripts) {
  ASSERT_EQ(RegisterModule(kModule), S_OK);
  const std::u16string classKey = kClassKey, libKey = kLibKey, interfaceKey = kInterfaceKey;
  const struct {
    const char* why;
    std::u16string key;
    const char16_t* name;  // null: the default value
    std::u16string value;
  } rows[] = {
      {"version-independent ProgID resolves through CurVer", u"qxsoapsvc.qxsoapmsg2\\CurVer",
       nullptr, u"qxsoapsvc.qxsoapmsg2.1"},
      {"apartment threading", classKey + u"\\InprocServer32", u"ThreadingModel", u"Apartment"},
      {"class's interface description", classKey + u"\\TypeLib", nullptr,
       u"{AE3542B2-D297-4567-8B45-967F8345B0F9}"},
      {"interface description's file", libKey + u"\\1.0\\0\\win64", nullptr, kModule},
      {"interface slots: IDispatch's seven and the 101 methods", interfaceKey + u"\\NumMethods",
       nullptr, u"108"},
      {"struct class's ProgID", std::u16string(kStructClassKey) + u"\\ProgID", nullptr,
       u"qxsoapsvc.StructObject.1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Value(row.key, row.name), row.value);
  }
}

TEST_F(RegistrationTest, RegisteringTwiceReplacesTheClassKeyWhole) {
  ASSERT_EQ(RegisterModule(u"/old/libqxsoapmsg.so"), S_OK);
  CreateKey(std::u16string(kClassKey) + u"\\Stale");
  ASSERT_EQ(RegisterModule(kModule), S_OK);
  EXPECT_FALSE(KeyExists(std::u16string(kClassKey) + u"\\Stale"));
  EXPECT_EQ(Value(std::u16string(kClassKey) + u"\\InprocServer32", nullptr), kModule);
}

TEST_F(RegistrationTest, UnregistrationKeepsSharedParentsAndOthersSubkeys) {
  CreateKey(u"CLSID\\{00000000-1111-2222-3333-444444444444}");
  ASSERT_EQ(RegisterModule(kModule), S_OK);
  CreateKey(u"qxsoapsvc.qxsoapmsg2\\Extra");
  ASSERT_EQ(UnregisterModule(), S_OK);
  for (const std::u16string& gone : kRemoved) EXPECT_FALSE(KeyExists(gone)) << Narrow(gone);
  for (const std::u16string kept : {u"AppID", u"CLSID", u"TypeLib", u"Interface",
                                    u"CLSID\\{00000000-1111-2222-3333-444444444444}",
                                    u"qxsoapsvc.qxsoapmsg2\\Extra"}) {
    EXPECT_TRUE(KeyExists(kept)) << Narrow(kept);
  }
  EXPECT_EQ(UnregisterModule(), S_OK) << "unregistering what is gone is no error";
}

// The built module registered as the server of its classes: CoCreateInstance
// loads it through the registry, as in a host's process.
TEST_F(RegistrationTest, ARegisteredModuleServesStructObjectsUntilUnregistered) {
  const std::string path = QXSOAPMSG_MODULE_PATH;
  ASSERT_EQ(RegisterModule(std::u16string(path.begin(), path.end())), S_OK);
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kStructObjectProgId, &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_StructObject);
  constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
  qxcom::ComPtr<StructObject> object;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, kAnyServer, IID_StructObject,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  qxcom::Bstr name(SysAllocString(u"x"));
  VARIANT_BOOL stored = VARIANT_FALSE;
  EXPECT_EQ(object->AddMember(name.get(), nullptr, *test::LongVariant(3).get(), &stored), S_OK);
  EXPECT_EQ(stored, VARIANT_TRUE);
  EXPECT_EQ(test::Members(*object.get()), u"x=I4:3");

  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(module, nullptr) << "CoCreateInstance loaded the module";
  if (module) dlclose(module);  // balances the RTLD_NOLOAD open only
  object = {};

  ASSERT_EQ(UnregisterModule(), S_OK);
  EXPECT_EQ(CoCreateInstance(CLSID_StructObject, nullptr, kAnyServer, IID_StructObject,
                             reinterpret_cast<void**>(object.put())),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CLSIDFromProgID(kStructObjectProgId, &clsid), CO_E_CLASSSTRING);
}

// Runs RegisterModule or UnregisterModule in a forked child once `start` is
// closed, so that both children begin together; exits with 0 on success.
pid_t SpawnWhenStarted(const int start[2], bool registering) {
  const pid_t child = fork();
  if (child != 0) return child;
  alarm(60);  // a hang fails the test instead of stopping it
  close(start[1]);
  char ignored;
  while (read(start[0], &ignored, 1) < 0 && errno == EINTR) {
  }
  const HRESULT hr = registering ? RegisterModule(kModule) : UnregisterModule();
  _exit(SUCCEEDED(hr) ? 0 : 1);
}

TEST_F(RegistrationTest, RacingRegistrationAndUnregistrationLeaveAllOrNothing) {
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    if (round % 2 == 1) {
      ASSERT_EQ(RegisterModule(kModule), S_OK) << "race from either state";
    }
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    const pid_t children[] = {SpawnWhenStarted(start, true), SpawnWhenStarted(start, false)};
    close(start[0]);
    close(start[1]);
    for (pid_t child : children) {
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    size_t present = 0;
    for (const std::u16string& key : kRemoved) present += KeyExists(key) ? 1 : 0;
    EXPECT_TRUE(present == 0 || present == std::size(kRemoved))
        << present << " keys of a partial registration";
  }
}

}  // namespace
}  // namespace qxsoap
