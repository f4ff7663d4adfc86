// qxcom/runtime.h: the COM runtime calls that create objects: apartment
// entry and exit, task memory, class objects registered in the process,
// in-process servers found through the registry, and ProgIDs.
//
// Creation. CoGetClassObject and CoCreateInstance look first at the class
// objects registered with CoRegisterClassObject, then at
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32, whose default value
// (REG_SZ, or REG_EXPAND_SZ with %NAME% environment references) is the path
// of a shared library exporting
//   extern "C" HRESULT DllGetClassObject(REFCLSID, REFIID, void**);
// and, optionally, DllCanUnloadNow. A library is loaded once (dlopen) and
// stays loaded until the process ends.
//
// Apartments. There are no apartments and no marshaling: every object is
// called directly on the caller's thread, which is what the apartment model
// of an in-process server expects as long as the host keeps each object on
// one thread.
//
// Threads: every function may be called from any thread. A call that runs
// out of memory returns E_OUTOFMEMORY.
#ifndef QXCOM_RUNTIME_H_
#define QXCOM_RUNTIME_H_

#include <cstddef>

#include "qxcom/types.h"
#include "qxcom/unknwn.h"

typedef CLSID* LPCLSID;
struct COSERVERINFO;

// CoInitializeEx flags.
#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
#define COINIT_SPEED_OVER_MEMORY 0x8

// Execution contexts.
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

// CoRegisterClassObject flags.
#define REGCLS_SINGLEUSE 0
#define REGCLS_MULTIPLEUSE 1
#define REGCLS_MULTI_SEPARATE 2
#define REGCLS_SUSPENDED 4
#define REGCLS_SURROGATE 8

// The exports of an in-process server.
typedef HRESULT(STDAPICALLTYPE* LPFNGETCLASSOBJECT)(REFCLSID, REFIID, LPVOID*);
typedef HRESULT(STDAPICALLTYPE* LPFNCANUNLOADNOW)();

extern "C" {

// Accepted for source compatibility; they do nothing and return S_OK.
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
void CoUninitialize();

// Memory that one module allocates and another frees (out strings of COM
// calls). CoTaskMemAlloc returns null when memory runs out; a size of 0
// gives a valid, distinct block. CoTaskMemRealloc keeps the contents up to
// the smaller size; null `block` allocates, size 0 frees and returns null.
// CoTaskMemFree ignores null.
LPVOID CoTaskMemAlloc(size_t size);
LPVOID CoTaskMemRealloc(LPVOID block, size_t size);
void CoTaskMemFree(LPVOID block);

// Makes `object` the class object of `clsid` for the contexts in `context`
// (CLSCTX_*), AddRef'ing it, and stores a non-zero cookie for
// CoRevokeClassObject in *cookie. `flags`: REGCLS_MULTIPLEUSE or
// REGCLS_MULTI_SEPARATE serve every request; REGCLS_SINGLEUSE serves one;
// REGCLS_SUSPENDED hides the object until CoResumeClassObjects. A later
// registration of the same class is found first. E_INVALIDARG for a null
// `object` or `cookie`, no context or unknown flags.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* object, DWORD context, DWORD flags,
                              DWORD* cookie);

// Ends a registration and releases its object. CO_E_OBJNOTREG for a cookie
// that is not registered (revoked twice included).
HRESULT CoRevokeClassObject(DWORD cookie);

// Makes every REGCLS_SUSPENDED registration visible.
HRESULT CoResumeClassObjects();

// Stores the class object of `clsid`, queried for `iid`, in *object (null on
// failure). `serverInfo` is ignored: there are no remote servers. E_INVALIDARG
// for a null `object` or a context without any CLSCTX_* bit;
// REGDB_E_CLASSNOTREG when the class is neither registered in the process
// nor (with CLSCTX_INPROC_SERVER) in the registry; REGDB_E_READREGDB when
// the registry cannot be read; CO_E_DLLNOTFOUND when the library cannot be
// loaded; CO_E_ERRORINDLL when it exports no DllGetClassObject; otherwise
// what QueryInterface or DllGetClassObject returns.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, COSERVERINFO* serverInfo, REFIID iid,
                         LPVOID* object);

// Creates an object of `clsid` through its class factory
// (CoGetClassObject, then IClassFactory::CreateInstance with `outer` and
// `iid`) and stores it in *object (null on failure). E_POINTER for a null
// `object`; the errors of CoGetClassObject; then whatever the factory
// returns (CLASS_E_NOAGGREGATION, E_NOINTERFACE, ...). The caller releases
// the object.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object);

// Does nothing: loaded libraries stay loaded until the process ends.
void CoFreeUnusedLibraries();

// Reads the class of a ProgID: the default value of
// HKEY_CLASSES_ROOT\<progId>\CLSID, or, when the ProgID has no CLSID key,
// the class of the ProgID named by its CurVer key (followed up to 8 times).
// Stores it in *clsid. E_INVALIDARG for null arguments; CO_E_CLASSSTRING
// when the ProgID is not registered or its CLSID is not a braced GUID;
// REGDB_E_READREGDB when the registry cannot be read.
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);

// Stores the ProgID of a class, the default value of
// HKEY_CLASSES_ROOT\CLSID\{clsid}\ProgID, in a new string in *progId that
// the caller frees with CoTaskMemFree (null on failure). E_INVALIDARG for a
// null `progId`, REGDB_E_CLASSNOTREG when there is none, REGDB_E_READREGDB
// when the registry cannot be read, E_OUTOFMEMORY.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId);

// Stores the braced text of a GUID (as StringFromGUID2) in a new string in
// *text that the caller frees with CoTaskMemFree. E_INVALIDARG for a null
// `text`, E_OUTOFMEMORY.
HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
HRESULT StringFromIID(REFIID iid, LPOLESTR* text);

}  // extern "C"

#endif  // QXCOM_RUNTIME_H_
