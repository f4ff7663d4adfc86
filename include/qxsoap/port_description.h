// qxsoap/port_description.h: the interface through which the handler asks
// the host about its WSDL port: binding, operations, parts and schema types.
// The host implements it; the handler never reads WSDL itself.
//
// Conventions for every operation: in-strings are BSTRs the callee only
// reads (a null BSTR is the empty string); out-strings are new BSTRs that the
// caller frees with SysFreeString; `found` is VARIANT_FALSE (0) when the
// description has no such item, and the other outputs are then not read (the
// callee may leave them unwritten). `op` is an operation name; `part` and
// `ns` are the local name and namespace of a part, header block or fault
// detail entry; `typeName` and `typeNS` name a schema type. Every operation
// returns S_OK unless it fails outright; the handler treats a failing
// HRESULT like "not found".
//
// Threads: the handler calls a description from one thread at a time.
#ifndef QXSOAP_PORT_DESCRIPTION_H_
#define QXSOAP_PORT_DESCRIPTION_H_

#include "qxcom/unknwn.h"

extern "C" {
// {4E78D706-2E16-442D-9B40-86B0C778BDA1}
extern const IID IID_PortDescription;
}

// Dual interface: IDispatch's slots, then these operations in this order.
// The handler calls them only through the vtable; IDispatch is there for
// script hosts and may be served as the host likes.
struct PortDescription : IDispatch {
  // The SOAPAction value of operation `op`.
  virtual HRESULT STDMETHODCALLTYPE GetSOAPAction(BSTR op, BSTR* action, VARIANT_BOOL* found) = 0;
  // The namespace of the operation's wrapper element.
  virtual HRESULT STDMETHODCALLTYPE GetOperationNS(BSTR op, BSTR* ns, VARIANT_BOOL* found) = 0;
  // The port's address split into host, path (with its leading "/") and TCP
  // port.
  virtual HRESULT STDMETHODCALLTYPE GetAddress(BSTR* host, BSTR* path, LONG* port,
                                               VARIANT_BOOL* found) = 0;
  // The `use` of the operation's input or output ("encoded" or "literal").
  virtual HRESULT STDMETHODCALLTYPE GetInputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) = 0;
  // The encoding style URI of the operation's input or output.
  virtual HRESULT STDMETHODCALLTYPE GetInputEncodingStyle(BSTR op, BSTR* style,
                                                          VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutputEncodingStyle(BSTR op, BSTR* style,
                                                           VARIANT_BOOL* found) = 0;
  // The binding style ("rpc" or "document").
  virtual HRESULT STDMETHODCALLTYPE GetStyle(BSTR* style, VARIANT_BOOL* found) = 0;
  // VARIANT_TRUE when `part` is a parameter, VARIANT_FALSE when it is the
  // return value of `op`.
  virtual HRESULT STDMETHODCALLTYPE IsParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) = 0;
  // The schema type of a part of the operation's input or output message.
  virtual HRESULT STDMETHODCALLTYPE GetInputPartType(BSTR op, BSTR part, BSTR* typeName,
                                                     BSTR* typeNS, VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutputPartType(BSTR op, BSTR part, BSTR* typeName,
                                                      BSTR* typeNS, VARIANT_BOOL* found) = 0;
  // Whether `part` is an input or an output of `op`.
  virtual HRESULT STDMETHODCALLTYPE IsInParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsOutParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) = 0;
  // The parts of `op` in order: GetFirstPart sets *position, GetNextPart
  // reads and advances it; found is false past the last part.
  virtual HRESULT STDMETHODCALLTYPE GetFirstPart(BSTR op, BSTR* part, LONG* position,
                                                 VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextPart(BSTR op, BSTR* part, LONG* position,
                                                VARIANT_BOOL* found) = 0;
  // The schema type of a header block, whatever the operation.
  virtual HRESULT STDMETHODCALLTYPE GetHeaderType(BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                                  VARIANT_BOOL* found) = 0;
  // The schema type of member `member` (namespace `memberNS`) of a struct
  // type.
  virtual HRESULT STDMETHODCALLTYPE GetMemberType(BSTR typeName, BSTR typeNS, BSTR member,
                                                  BSTR memberNS, BSTR* memberTypeName,
                                                  BSTR* memberTypeNS, VARIANT_BOOL* found) = 0;
  // The type a type derives from.
  virtual HRESULT STDMETHODCALLTYPE GetBaseType(BSTR typeName, BSTR typeNS, BSTR* baseName,
                                                BSTR* baseNS, VARIANT_BOOL* found) = 0;
  // The item type of an encoded array type.
  virtual HRESULT STDMETHODCALLTYPE GetArrayItemType(BSTR typeName, BSTR typeNS, BSTR* itemName,
                                                     BSTR* itemNS, VARIANT_BOOL* found) = 0;
  // The schema type of a header block of the operation's input, output or
  // fault message.
  virtual HRESULT STDMETHODCALLTYPE GetInputHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName,
                                                       BSTR* typeNS, VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutputHeaderType(BSTR op, BSTR part, BSTR ns,
                                                        BSTR* typeName, BSTR* typeNS,
                                                        VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFaultHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName,
                                                       BSTR* typeNS, VARIANT_BOOL* found) = 0;
  // The schema type of a fault detail entry of `op`.
  virtual HRESULT STDMETHODCALLTYPE GetFaultDetailType(BSTR op, BSTR part, BSTR ns, BSTR* typeName,
                                                       BSTR* typeNS, VARIANT_BOOL* found) = 0;
  // The number of dimensions of an array type.
  virtual HRESULT STDMETHODCALLTYPE GetArrayRank(BSTR typeName, BSTR typeNS, LONG* rank,
                                                 VARIANT_BOOL* found) = 0;
  // The schema type of the return value `part` of `op`.
  virtual HRESULT STDMETHODCALLTYPE GetReturnType(BSTR op, BSTR part, BSTR* typeName,
                                                  BSTR* typeNS, VARIANT_BOOL* found) = 0;
  // The position of `part` among the parts of `op`.
  virtual HRESULT STDMETHODCALLTYPE GetPartPosition(BSTR op, BSTR part, LONG* position,
                                                    VARIANT_BOOL* found) = 0;
  // The namespace of the port's SOAP binding (the WSDL SOAP 1.1 or 1.2
  // binding namespace).
  virtual HRESULT STDMETHODCALLTYPE GetBindingNS(BSTR* ns, VARIANT_BOOL* found) = 0;
  // The encoding style of a header block of the input, output or fault
  // message.
  virtual HRESULT STDMETHODCALLTYPE GetInputHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns,
                                                                BSTR* style,
                                                                VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetOutputHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns,
                                                                 BSTR* style,
                                                                 VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFaultHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns,
                                                                BSTR* style,
                                                                VARIANT_BOOL* found) = 0;
  // Whether a SOAP 1.2 request for `op` must carry its SOAPAction: only
  // exactly VARIANT_TRUE in *flag means required.
  virtual HRESULT STDMETHODCALLTYPE IsSOAPActionRequired(BSTR op, VARIANT_BOOL* flag,
                                                         VARIANT_BOOL* found) = 0;
  // The encoding style and the `use` of a fault detail entry of `op`.
  virtual HRESULT STDMETHODCALLTYPE GetFaultDetailEncodingStyle(BSTR op, BSTR part, BSTR ns,
                                                                BSTR* style,
                                                                VARIANT_BOOL* found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFaultDetailUse(BSTR op, BSTR part, BSTR ns, BSTR* use,
                                                      VARIANT_BOOL* found) = 0;
  // For a literal array type: the item type and the item element's name;
  // found is false when the type is not a literal array.
  virtual HRESULT STDMETHODCALLTYPE GetLiteralArrayType(BSTR typeName, BSTR typeNS,
                                                        BSTR* itemTypeName, BSTR* itemTypeNS,
                                                        BSTR* itemElemName, BSTR* itemElemNS,
                                                        VARIANT_BOOL* found) = 0;
};

#endif  // QXSOAP_PORT_DESCRIPTION_H_
