// The struct component: the module's own StructObject class, an ordered
// list of named members that carries one SOAP struct across the automation
// boundary. Hosts create one (CLSID_StructObject) to build the struct values
// of their responses; the handler creates one for each struct it reads.
#ifndef QXSOAP_FRAME_STRUCT_OBJECT_COMPONENT_H_
#define QXSOAP_FRAME_STRUCT_OBJECT_COMPONENT_H_

#include "frame/method_table.h"
#include "model/struct_member_list.h"
#include "qxcom/owned.h"
#include "qxsoap/struct_object.h"

namespace qxsoap {

// The serializer and the deserializer reach the members through the
// StructMemberList base (see StructMemberList::Of).
class StructObjectComponent final : public StructObject, public StructMemberList {
 public:
  // Creates an empty object and stores its interface `iid` in *object (null
  // on failure). E_POINTER for a null `object`, CLASS_E_NOAGGREGATION for
  // any `outer` object (the class cannot be aggregated), E_OUTOFMEMORY when
  // it cannot be allocated, E_NOINTERFACE for an interface it does not
  // have. Each living object holds one module lock.
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

  // Answers IUnknown, IDispatch and IID_StructObject with the one object,
  // kIID_StructMemberList with its member list;
  // E_NOINTERFACE (and a null *object) for anything else, E_POINTER for a
  // null `object`. The count is not atomic (apartment model); the Release
  // that brings it to 0 frees the object, and a Release at 0 does nothing.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch over AddMember, FirstMember and NextMember (DISPIDs 1 to 3,
  // names in any letter case), by the conventions of qxsoapmsg.h. There is
  // no type information: GetTypeInfoCount gives 0.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID reserved, LPOLESTR* names, UINT count,
                                          LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID reserved, LCID locale, WORD flags,
                                   DISPPARAMS* args, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override;

  HRESULT STDMETHODCALLTYPE AddMember(BSTR name, BSTR namespaceURI, VARIANT value,
                                      VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE FirstMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                        LONG* position, VARIANT_BOOL* present) override;
  HRESULT STDMETHODCALLTYPE NextMember(BSTR* name, BSTR* namespaceURI, VARIANT* value,
                                       LONG* position, VARIANT_BOOL* present) override;

 private:

  StructObjectComponent();
  ~StructObjectComponent();

  // Hands out members_[next_] and moves the cursor past it.
  HRESULT HandOutNext(BSTR* name, BSTR* namespaceURI, VARIANT* value, LONG* position,
                      VARIANT_BOOL* present);

  ULONG refCount_ = 0;
  size_t next_ = 0;  // the member NextMember hands out
};

// StructObject as data, for its IDispatch.
const DispatchInterface& StructObjectInterface();

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_STRUCT_OBJECT_COMPONENT_H_
