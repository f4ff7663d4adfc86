// qxsoap/struct_object.h: the interface of the struct component, a COM
// object that carries one SOAP struct across the automation boundary as an
// ordered list of named members. The handler creates and fills one for each
// struct it reads, and reads the members of those the host hands it.
//
// The module libqxsoapmsg.so serves a struct component of its own, the
// class CLSID_StructObject (ProgIDs kStructObjectProgId and
// kStructObjectVersionedProgId, apartment threading), registered by
// DllRegisterServer beside the handler. A host builds the struct values of
// its responses with it:
//
//   StructObject* point;
//   CoCreateInstance(CLSID_StructObject, nullptr, CLSCTX_INPROC_SERVER,
//                    IID_StructObject, (void**)&point);
//   VARIANT_BOOL stored;
//   point->AddMember(xName, nullptr, xValue, &stored);  // copies of the three
//   point->AddMember(yName, nullptr, yValue, &stored);
//   VARIANT value;  V_VT(&value) = VT_DISPATCH;  V_DISPATCH(&value) = point;
//   handler->SetReturnValue(value);  // the handler takes its own reference
//   point->Release();
//
// A struct nested in another is a member whose value is VT_DISPATCH; an
// array of structs a VT_ARRAY | VT_VARIANT of such values.
//
// Ownership: AddMember keeps copies of everything it is given (strings, a
// deep copy of the value, its own reference to an object in it); the caller
// still frees its arguments. FirstMember and NextMember hand out new
// strings and a deep copy of the value, all the caller's to free.
//
// Threads: an object is used by one thread at a time (apartment model); its
// reference count is not atomic. A struct component implements this
// interface and also answers QueryInterface for IDispatch.
#ifndef QXSOAP_STRUCT_OBJECT_H_
#define QXSOAP_STRUCT_OBJECT_H_

#include <qxcom.h>

extern "C" {
extern const IID IID_StructObject;
// The class the handler creates (CoCreateInstance) for each struct it reads.
extern const CLSID CLSID_StructObject;
}

// The struct class's ProgIDs: versioned, and version-independent (which
// resolves to the versioned one through its CurVer key).
inline constexpr OLECHAR kStructObjectProgId[] = u"qxsoapsvc.StructObject";
inline constexpr OLECHAR kStructObjectVersionedProgId[] = u"qxsoapsvc.StructObject.1";

// The operations after IDispatch's slots, in this order; through
// IDispatch::Invoke they are DISPIDs 1 to 3 and follow the conventions of
// qxsoapmsg.h (the last VARIANT_BOOL* is the retval).
struct StructObject : IDispatch {
  // Appends a member after the earlier ones. The object keeps its own copies
  // of `name` and `namespaceURI` (null or empty: an unqualified member;
  // null is the empty string) and a deep copy of `value` (a VT_BYREF value
  // is copied as the value it points at); the caller still frees its
  // arguments. Members of the same name may coexist: each is kept, in order.
  // *result (when `result` is not null) is VARIANT_TRUE when the member was
  // stored. Returns S_OK, E_OUTOFMEMORY, or the failure of the value's copy
  // (the member is not stored then).
  virtual HRESULT STDMETHODCALLTYPE AddMember(BSTR name, BSTR namespaceURI, VARIANT value,
                                              VARIANT_BOOL* result) = 0;
  // Hands out the first member: new BSTRs in *name and *namespaceURI and a
  // copy of the value in *value (all the caller's to free; *value must be a
  // valid VARIANT and is cleared first), its 0-based index in *position,
  // and *present = VARIANT_TRUE. With no member *present is VARIANT_FALSE
  // and nothing else is written. E_POINTER when any pointer is null. When a
  // copy fails (E_OUTOFMEMORY or the value copy's result), *present is
  // VARIANT_FALSE and nothing else is written.
  virtual HRESULT STDMETHODCALLTYPE FirstMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                                LONG* position, VARIANT_BOOL* present) = 0;
  // As FirstMember, for the member after the one last handed out (the first
  // one when none was). Past the last member *present is VARIANT_FALSE and
  // nothing else is written; a member added later is handed out next.
  virtual HRESULT STDMETHODCALLTYPE NextMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                               LONG* position, VARIANT_BOOL* present) = 0;
};

#endif  // QXSOAP_STRUCT_OBJECT_H_
