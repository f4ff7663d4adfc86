// ProgIDs and class identifiers as text, read from HKEY_CLASSES_ROOT.
#include <cstring>

#include "platform/runtime_guard.h"
#include "platform/runtime_lookup.h"
#include "qxcom/oleauto.h"
#include "qxcom/runtime.h"
#include "qxcom/winerror.h"

namespace {

// A CurVer chain longer than this is taken to be a loop.
constexpr int kMaxCurVerHops = 8;

// Copies `text` into a new CoTaskMemAlloc'd string in *out.
HRESULT NewTaskString(const std::u16string& text, LPOLESTR* out) {
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
  if (!copy) return E_OUTOFMEMORY;
  std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(OLECHAR));
  *out = copy;
  return S_OK;
}

// Reads the class of a ProgID, following its CurVer chain.
HRESULT ReadProgIdClass(std::u16string name, CLSID* clsid) {
  for (int hop = 0; hop <= kMaxCurVerHops; ++hop) {
    // A backslash would reach into another key rather than name a ProgID.
    if (name.empty() || name.find(u'\\') != std::u16string::npos) return CO_E_CLASSSTRING;
    std::u16string text;
    LONG error = qxcom::ReadClassesRootText(name + u"\\CLSID", &text);
    if (error == ERROR_SUCCESS) return CLSIDFromString(text.c_str(), clsid);
    if (error != ERROR_FILE_NOT_FOUND) return REGDB_E_READREGDB;
    error = qxcom::ReadClassesRootText(name + u"\\CurVer", &text);
    if (error == ERROR_FILE_NOT_FOUND) return CO_E_CLASSSTRING;
    if (error != ERROR_SUCCESS) return REGDB_E_READREGDB;
    name = text;
  }
  return CO_E_CLASSSTRING;
}

// Reads the ProgID of a class into a new task string.
HRESULT ReadClassProgId(REFCLSID clsid, LPOLESTR* progId) {
  std::u16string text;
  LONG error = qxcom::ReadClassesRootText(qxcom::ClassKeyPath(clsid) + u"\\ProgID", &text);
  if (error == ERROR_FILE_NOT_FOUND || (error == ERROR_SUCCESS && text.empty())) {
    return REGDB_E_CLASSNOTREG;
  }
  if (error != ERROR_SUCCESS) return REGDB_E_READREGDB;
  return NewTaskString(text, progId);
}

}  // namespace

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid) {
  if (!progId || !clsid) return E_INVALIDARG;
  return qxcom::Guarded(E_OUTOFMEMORY, [&] { return ReadProgIdClass(progId, clsid); });
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId) {
  if (!progId) return E_INVALIDARG;
  *progId = nullptr;
  return qxcom::Guarded(E_OUTOFMEMORY, [&] { return ReadClassProgId(clsid, progId); });
}

HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text) {
  if (!text) return E_INVALIDARG;
  *text = nullptr;
  OLECHAR braced[39];
  StringFromGUID2(clsid, braced, 39);
  return qxcom::Guarded(E_OUTOFMEMORY, [&] { return NewTaskString(braced, text); });
}

HRESULT StringFromIID(REFIID iid, LPOLESTR* text) { return StringFromCLSID(iid, text); }
