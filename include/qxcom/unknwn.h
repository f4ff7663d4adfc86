// qxcom/unknwn.h: the base COM interfaces (IUnknown, IDispatch, IClassFactory)
// with the Windows vtable layout: pure virtual methods in Windows slot order
// and no virtual destructor, so an object's first word is its vtable pointer
// and a slot index means the same thing as on Windows.
#ifndef QXCOM_UNKNWN_H_
#define QXCOM_UNKNWN_H_

#include <cstring>

#include "qxcom/types.h"

struct ITypeInfo;

extern "C" {
extern const IID IID_NULL;
extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const IID IID_IClassFactory;
extern const IID IID_ITypeInfo;
extern const IID IID_IStorage;
extern const IID IID_IStream;
extern const IID IID_IEnumSTATSTG;
}

// Compares two GUIDs field by field. Returns TRUE when they are equal.
extern "C" BOOL IsEqualGUID(REFGUID a, REFGUID b);
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)
// Inline, unlike IsEqualGUID: QueryInterface compares the asked IID with
// each interface it has, on every call.
inline bool operator==(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

// Every COM object. QueryInterface stores an AddRef'd pointer in *object, or
// null with E_NOINTERFACE; a null `object` gives E_POINTER.
struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

// Late-bound calls by dispatch identifier. See types.h for DISPPARAMS order.
struct IDispatch : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID reserved, LPOLESTR* names, UINT count,
                                                  LCID locale, DISPID* ids) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID reserved, LCID locale,
                                           WORD flags, DISPPARAMS* args, VARIANT* result,
                                           EXCEPINFO* exception, UINT* argError) = 0;
};

// Creates objects of one class. LockServer(TRUE) keeps the module loaded.
struct IClassFactory : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};

#endif  // QXCOM_UNKNWN_H_
