// qxcom/server.h: what an in-process server module needs besides the COM
// calls themselves, the part a Windows module takes from ATL: its own file
// path, registration scripts applied to HKEY_CLASSES_ROOT, and the argument
// matching of IDispatch::Invoke and GetIDsOfNames. Not part of the Windows
// API. The handler module and the service modules of qxsoap are written
// with it.
//
// Threads: every function may be called from any thread.
#ifndef QXCOM_SERVER_H_
#define QXCOM_SERVER_H_

#include <span>
#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxcom {

// The absolute path of the shared library (or program) whose code holds
// `address` (a function of the module asking), with symbolic links kept,
// so that a registration made through libfoo.so.2 survives an upgrade of the
// file it points to. Empty when the loader does not know the address.
std::u16string ModulePathOf(const void* address);

// The text of `id` in braces, as StringFromGUID2 writes it.
std::u16string BracedGuid(const GUID& id);

// Whether two member or parameter names are the same for a late-bound
// caller: ASCII letters compare in any case, everything else exactly.
bool NamesMatch(std::u16string_view a, std::u16string_view b);

// Matches the arguments of IDispatch::Invoke to `expected` parameters, all
// required: positional arguments are the last entries of args.rgvarg in
// reverse order, named ones (args.rgdispidNamedArgs, parameter positions
// from 0) the first entries. On success bound[i] points at the argument of
// parameter i and boundIndex[i] is its index in rgvarg (both arrays hold
// `expected` entries). Fails with DISP_E_BADPARAMCOUNT when the counts
// differ, E_INVALIDARG for null arrays the counts need,
// DISP_E_PARAMNOTFOUND for a named argument out of range or given twice
// (*argError: its index among the named ones), DISP_E_PARAMNOTOPTIONAL for
// a missing argument (VT_ERROR with DISP_E_PARAMNOTFOUND; *argError: its
// rgvarg index). `argError` may be null.
HRESULT BindDispatchArguments(const DISPPARAMS& args, UINT expected, VARIANTARG** bound,
                              UINT* boundIndex, UINT* argError);

// Registration scripts: the keys a module writes below HKEY_CLASSES_ROOT,
// the values of each key and what unregistration does with it. Paths and
// value texts may hold variables (%NAME%) that ScriptVariable lists supply.
enum class KeyRemoval {
  kNever,  // a shared parent, kept at unregistration
  kKey,    // removed once its own subkeys are gone
  kTree,   // removed with all its subkeys
};

// One value of a key; a null name is the key's default value. Unused
// entries have null data.
struct ScriptValue {
  const char16_t* name;
  const char16_t* data;
};

struct ScriptKey {
  const char16_t* path;
  ScriptValue values[2];
  bool replaceOnRegister;  // the key is deleted whole before it is written
  KeyRemoval removal;
};

using Script = std::span<const ScriptKey>;

// A script variable: every `name` (with its percent signs) becomes `value`.
struct ScriptVariable {
  std::u16string_view name;
  std::u16string value;
};

// One script with the variables its texts are read with.
struct ScriptRun {
  Script script;
  std::span<const ScriptVariable> variables;
};

// Writes every key of `runs`, in order, with their variables substituted, as
// one registry transaction (QxRunRegistryTransaction): other processes see
// all of it or none. Stops at the first failing registry call, writes
// nothing and returns it as an HRESULT (HRESULT_FROM_WIN32: ERROR_BADDB for
// a registry file that cannot be read, ERROR_BUSY inside a caller's own
// transaction); S_OK when everything was written.
HRESULT RegisterScripts(std::span<const ScriptRun> runs);

// Removes what RegisterScripts wrote: each script in the order given, its
// keys last to first (children before parents). KeyRemoval::kNever keys
// stay, and so does a kKey key that still holds subkeys the scripts do not
// name (another program's). Keys already gone are no error. One registry
// transaction: on a failure nothing is removed and the first failure is
// returned, else S_OK.
HRESULT UnregisterScripts(std::span<const ScriptRun> runs);

}  // namespace qxcom

#endif  // QXCOM_SERVER_H_
