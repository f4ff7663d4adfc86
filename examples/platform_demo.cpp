// A small host of the qxcom platform, written as a COM client is: strings,
// VARIANT coercion, a two-dimensional SAFEARRAY, GUIDs and a registry round
// trip against a temporary store. Prints each step; exits non-zero when any
// step fails.
#include <qxcom.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

int failures = 0;

void Report(bool ok, const char* step, const std::string& detail) {
  std::printf("%-6s %-34s %s\n", ok ? "ok" : "FAILED", step, detail.c_str());
  if (!ok) ++failures;
}

// UTF-16 to UTF-8 with the two-call size protocol.
std::string Narrow(const OLECHAR* text, int length = -1) {
  if (!text || length == 0) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, narrow.data(), size, nullptr, nullptr);
  if (length == -1) narrow.pop_back();  // the converted terminating null
  return narrow;
}

void ShowStrings() {
  qxcom::Bstr greeting(SysAllocString(u"Gr\u00FC\u00DFe from qxcom"));
  bool ok = greeting.get() && SysStringLen(greeting.get()) == 16;
  Report(ok, "SysAllocString", "\"" + Narrow(greeting.get()) + "\", " +
                                   std::to_string(SysStringLen(greeting.get())) + " characters");
}

void ShowVariants() {
  qxcom::Variant number;
  V_VT(number.get()) = VT_I4;
  V_I4(number.get()) = 1234;
  qxcom::Variant text;
  HRESULT hr = VariantChangeType(text.get(), number.get(), 0, VT_BSTR);
  bool ok = SUCCEEDED(hr) && V_VT(text.get()) == VT_BSTR && Narrow(V_BSTR(text.get())) == "1234";
  Report(ok, "VariantChangeType I4 -> BSTR", ok ? "\"1234\"" : "hr " + std::to_string(hr));

  qxcom::Variant back;
  hr = VariantChangeType(back.get(), text.get(), 0, VT_R8);
  ok = SUCCEEDED(hr) && V_VT(back.get()) == VT_R8 && V_R8(back.get()) == 1234.0;
  Report(ok, "VariantChangeType BSTR -> R8", ok ? "1234.0" : "hr " + std::to_string(hr));

  qxcom::Variant bad;
  V_VT(bad.get()) = VT_BSTR;
  V_BSTR(bad.get()) = SysAllocString(u"twelve");
  qxcom::Variant unchanged;
  hr = VariantChangeType(unchanged.get(), bad.get(), 0, VT_I4);
  Report(hr == DISP_E_TYPEMISMATCH, "VariantChangeType \"twelve\" -> I4", "DISP_E_TYPEMISMATCH");
}

void ShowArrays() {
  SAFEARRAYBOUND bounds[2] = {{3, 0}, {2, 1}};  // dimension 1: 0..2, dimension 2: 1..2
  qxcom::SafeArrayPtr array(SafeArrayCreate(VT_BSTR, 2, bounds));
  if (!array.get()) return Report(false, "SafeArrayCreate", "no array");
  bool ok = true;
  for (LONG column = 1; column <= 2; ++column) {
    for (LONG row = 0; row < 3; ++row) {
      LONG indices[2] = {row, column};
      const std::u16string cell = {u'r', char16_t(u'0' + row), u'c', char16_t(u'0' + column)};
      qxcom::Bstr value(SysAllocString(cell.c_str()));
      ok = ok && SUCCEEDED(SafeArrayPutElement(array.get(), indices, value.get()));
    }
  }
  LONG last[2] = {2, 2};
  BSTR read = nullptr;
  ok = ok && SUCCEEDED(SafeArrayGetElement(array.get(), last, &read));
  qxcom::Bstr owned(read);
  ok = ok && Narrow(owned.get()) == "r2c2";
  LONG upper = 0;
  ok = ok && SUCCEEDED(SafeArrayGetUBound(array.get(), 2, &upper)) && upper == 2;
  Report(ok, "SafeArray 3x2 of BSTR", "element (2,2) = \"" + Narrow(owned.get()) + "\"");

  LONG outside[2] = {3, 1};
  BSTR none = nullptr;
  Report(SafeArrayGetElement(array.get(), outside, &none) == DISP_E_BADINDEX,
         "SafeArrayGetElement out of bounds", "DISP_E_BADINDEX");
}

// Makes a GUID and returns its braced text, checking that it reads back.
std::u16string ShowGuids() {
  GUID guid;
  OLECHAR text[39] = {};
  bool ok = SUCCEEDED(CoCreateGuid(&guid)) && StringFromGUID2(guid, text, 39) == 39;
  GUID parsed;
  ok = ok && SUCCEEDED(CLSIDFromString(text, &parsed)) && IsEqualGUID(guid, parsed);
  Report(ok, "CoCreateGuid / StringFromGUID2", Narrow(text));
  return text;
}

void ShowRegistry(const std::u16string& clsidText) {
  char pattern[] = "/tmp/qxcom-example-XXXXXX";
  if (!mkdtemp(pattern)) return Report(false, "temporary registry", "mkdtemp failed");
  std::string store = std::string(pattern) + "/registry";
  setenv("QXCOM_REGISTRY", store.c_str(), 1);

  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG error = RegCreateKeyExW(HKEY_CLASSES_ROOT, u"qxcom.Example\\CLSID", 0, nullptr,
                               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (error == ERROR_SUCCESS) {
    error = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsidText.c_str()),
                           DWORD((clsidText.size() + 1) * sizeof(OLECHAR)));
    RegCloseKey(key);
  }
  Report(error == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY, "RegCreateKeyEx/RegSetValueEx",
         "HKCR\\qxcom.Example\\CLSID in " + store);

  CLSID expected, found;
  bool ok = SUCCEEDED(CLSIDFromString(clsidText.c_str(), &expected)) &&
            SUCCEEDED(CLSIDFromProgID(u"QXCOM.EXAMPLE", &found)) && IsEqualGUID(expected, found);
  Report(ok, "CLSIDFromProgID", "qxcom.Example -> " + Narrow(clsidText.c_str()));

  error = RegDeleteTreeW(HKEY_CLASSES_ROOT, u"qxcom.Example");
  HKEY gone = nullptr;
  ok = error == ERROR_SUCCESS &&
       RegOpenKeyExW(HKEY_CLASSES_ROOT, u"qxcom.Example", 0, KEY_READ, &gone) == ERROR_FILE_NOT_FOUND;
  Report(ok, "RegDeleteTree", "key removed");

  unsetenv("QXCOM_REGISTRY");
  std::error_code ignored;
  std::filesystem::remove_all(pattern, ignored);
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  ShowStrings();
  ShowVariants();
  ShowArrays();
  ShowRegistry(ShowGuids());
  CoUninitialize();
  std::printf("%s\n", failures == 0 ? "all steps passed" : "some steps failed");
  return failures == 0 ? 0 : 1;
}
