// qxsoap/struct_object.h: the interface of the struct component, an outside
// COM object that carries one SOAP struct across the automation boundary as
// an ordered list of named members. The handler creates and fills one for
// each struct it reads and reads the members of those the host hands it.
// A struct component implements this interface and also answers
// QueryInterface for IDispatch; an object is used by one thread at a time.
#ifndef QXSOAP_STRUCT_OBJECT_H_
#define QXSOAP_STRUCT_OBJECT_H_

#include <qxcom.h>

extern "C" {
extern const IID IID_StructObject;
// The class the handler creates (CoCreateInstance) for each struct it reads.
extern const CLSID CLSID_StructObject;
}

struct StructObject : IDispatch {
  // Appends a member after the earlier ones. The object keeps its own copies
  // of `name`, `namespaceURI` (null or empty: an unqualified member) and
  // `value`; the caller still frees its arguments. *result is VARIANT_TRUE
  // when the member was stored.
  virtual HRESULT STDMETHODCALLTYPE AddMember(BSTR name, BSTR namespaceURI, VARIANT value,
                                              VARIANT_BOOL* result) = 0;
  // Hands out the first member: new BSTRs in *name and *namespaceURI and a
  // copy of the value in *value (all the caller's to free), its position in
  // *position, and *present = VARIANT_TRUE. With no member *present is
  // VARIANT_FALSE and nothing else is written.
  virtual HRESULT STDMETHODCALLTYPE FirstMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                                LONG* position, VARIANT_BOOL* present) = 0;
  // As FirstMember, for the member after the one last handed out.
  virtual HRESULT STDMETHODCALLTYPE NextMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                               LONG* position, VARIANT_BOOL* present) = 0;
};

#endif  // QXSOAP_STRUCT_OBJECT_H_
