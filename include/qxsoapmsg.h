// qxsoapmsg.h: everything a host needs to drive the SOAP message handler,
// in one include. The handler is the class qxsoapmsg2 in the in-process
// module libqxsoapmsg.so; the same module serves the struct component
// (CLSID_StructObject, qxsoap/struct_object.h) that carries SOAP structs as
// automation values, which a host creates to build the structs of its
// responses. A host creates one handler per message exchange, usually as a
// COM client would:
//
//   DllRegisterServer (or `qxsoap register`) once, then
//   CLSID clsid;  CLSIDFromProgID(kQxsoapmsg2ProgId, &clsid);
//   Iqxsoapmsg2* handler;
//   CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_Iqxsoapmsg2, (void**)&handler);
//   ... calls through the interface, or IDispatch::Invoke by DISPID ...
//   handler->Release();
//
// Threads: apartment model. An object is called by one thread at a time (the
// one that created it); different objects may live on different threads.
//
// Conventions of every method of Iqxsoapmsg2:
//   - The HRESULT is S_OK unless a VARIANT copy fails (the methods that hand
//     out or take a content say so), in which case it is that copy's result.
//     Success of the operation itself is *pResult: VARIANT_TRUE or
//     VARIANT_FALSE. Faults met while processing a message become the
//     message's fault (IsSOAPFault), never an error HRESULT.
//   - A null BSTR argument is the empty string. A VARIANT_BOOL argument is
//     true only when it is VARIANT_TRUE (-1); 1 is false.
//   - BSTR out-parameters receive new strings the caller frees (an empty
//     string is an allocated empty BSTR). VARIANT arguments are deep-copied
//     into the handler; VARIANT out-parameters are cleared, then receive a
//     deep copy the caller clears.
//   - Byte arrays are VT_ARRAY | VT_UI1 VARIANTs holding a one-dimensional
//     SAFEARRAY; handed out with lower bound 0.
//   - Positions are the caller's cursors: GetFirst writes one, GetNext reads
//     and advances it; a GetNext past the end returns false and leaves it.
//   - Out-pointers must be valid. An out-parameter is written only when the
//     method has something to hand out (a list's content VARIANT: on every
//     call); otherwise the caller's variable keeps its value. The old
//     content of an [out] BSTR or interface pointer is never read or freed
//     (it may be uninitialised); an [out] VARIANT is a valid VARIANT,
//     cleared before it is written.
//   - Through IDispatch::Invoke, an out-parameter is a VT_BYREF argument.
//     One of the parameter's own type (VT_BYREF | VT_BSTR for a BSTR*) is
//     the caller's variable and is handled by the method as above; an
//     [in, out] position is read and written in place. A VT_BYREF |
//     VT_VARIANT argument receives a value (the referenced VARIANT cleared
//     first) only when the method wrote one. The [out, retval] is the
//     result. A method that fails gives DISP_E_EXCEPTION with its HRESULT
//     in EXCEPINFO::scode, or the HRESULT itself when no EXCEPINFO is
//     passed.
#ifndef QXSOAPMSG_H_
#define QXSOAPMSG_H_

#include <qxcom.h>

#include "qxsoap/port_description.h"
#include "qxsoap/struct_object.h"

extern "C" {
extern const CLSID CLSID_qxsoapmsg2;
extern const IID IID_Iqxsoapmsg2;
extern const GUID LIBID_qxsoapmsgLib;  // the interface description, version 1.0
extern const GUID APPID_qxsoapmsg;
}

// The class's ProgIDs: versioned, and version-independent (which resolves to
// the versioned one through its CurVer key).
inline constexpr OLECHAR kQxsoapmsg2ProgId[] = u"qxsoapsvc.qxsoapmsg2";
inline constexpr OLECHAR kQxsoapmsg2VersionedProgId[] = u"qxsoapsvc.qxsoapmsg2.1";

// The module's version record. Every field is a static string.
struct QxsoapVersionInfo {
  const char* fileVersion;       // "2.2.0.1"
  const char* productVersion;    // "2.2.0.1"
  const char* productName;       // "qxsoapmsg Module"
  const char* internalName;      // "qxsoapmsg.dll", the module's historical name
  const char* originalFilename;  // "qxsoapmsg.dll"
  const char* comments;          // "Supports SOAP 1.1 and 1.2"
};

extern "C" {
// The version record of the loaded module; never null.
const QxsoapVersionInfo* QxsoapGetVersionInfo();

// The module's exports, as an in-process server has them. DllGetClassObject
// stores the class factory of CLSID_qxsoapmsg2 or of CLSID_StructObject
// (the struct component, qxsoap/struct_object.h), asked for as IUnknown or
// IClassFactory, in *object; CLASS_E_CLASSNOTAVAILABLE for another class,
// E_POINTER for a null `object`. DllCanUnloadNow is S_OK when no object of
// either class and no LockServer(TRUE) is outstanding, else S_FALSE.
// DllRegisterServer writes both classes, their ProgIDs, the application
// entry and the interface description into the registry (the file QXCOM_REGISTRY names), with this
// library's absolute path as the server; DllUnregisterServer removes them
// again, keeping the shared parent keys. Both return the first failing
// registry result, else S_OK.
HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
HRESULT DllCanUnloadNow();
HRESULT DllRegisterServer();
HRESULT DllUnregisterServer();
}

// The dual automation interface: IDispatch's slots, then these 101 methods
// in this order, with DISPIDs 1 to 101 in the same order (the number before
// each declaration). "as X" means the same parameters and behaviour as X on
// another list.
struct Iqxsoapmsg2 : IDispatch {
  // ---- The exchange (the host's usual order, top to bottom) ----
  // 1: stores the configuration, takes the PortDescription of `pIDispatch`
  // and enters the request phase; false for a null object or one without
  // PortDescription.
  virtual HRESULT STDMETHODCALLTYPE Initialize(BSTR bstrSvcName, BSTR bstrPortName,
      BSTR bstrNodeURI, BSTR bstrSOAPAction, BSTR bstrNextHopURL,
      VARIANT_BOOL bExplicitTypingEnabled, VARIANT_BOOL bNodeTypeEnabled, IDispatch* pIDispatch,
      VARIANT_BOOL* pResult) = 0;
  // 2: parses the current message; false when it raised a fault.
  virtual HRESULT STDMETHODCALLTYPE Deserialize(VARIANT_BOOL* pResult) = 0;
  // 3: writes the outgoing message (or fault) into the buffer.
  virtual HRESULT STDMETHODCALLTYPE Serialize(VARIANT_BOOL* pResult) = 0;
  // 4: whether a fault is set.
  virtual HRESULT STDMETHODCALLTYPE IsSOAPFault(VARIANT_BOOL* pResult) = 0;

  // ---- Header blocks with automation values ----
  // 5: number of header blocks.
  virtual HRESULT STDMETHODCALLTYPE GetNumHeaderElems(LONG* plNumber) = 0;
  // 6: appends a header block (SOAP 1.1 form, relay false).
  virtual HRESULT STDMETHODCALLTYPE AddHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT varContent, VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
      VARIANT_BOOL* pResult) = 0;
  // 7, 8: iterate the header blocks; the content is written on every call
  // (VT_EMPTY at the end).
  virtual HRESULT STDMETHODCALLTYPE GetFirstHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
      VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrActorURI,
      LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextHeaderElem(BSTR* pbstrNamespaceURI, BSTR* pbstrName,
      VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand, BSTR* pbstrActorURI,
      LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  // 9: takes the first block of that name addressed to this node.
  virtual HRESULT STDMETHODCALLTYPE GetHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT* pvarContent, VARIANT_BOOL* pResult) = 0;

  // ---- Method and parameters ----
  // 10: number of parameters.
  virtual HRESULT STDMETHODCALLTYPE GetNumMethodParams(LONG* plNumber) = 0;
  // 11: appends a parameter.
  virtual HRESULT STDMETHODCALLTYPE AddMethodParam(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT varContent, VARIANT_BOOL bIsInParam, VARIANT_BOOL bIsOutParam,
      VARIANT_BOOL* pResult) = 0;
  // 12, 13: iterate the parameters.
  virtual HRESULT STDMETHODCALLTYPE GetFirstMethodParam(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbIsInParam,
      VARIANT_BOOL* pbIsOutParam, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextMethodParam(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbIsInParam,
      VARIANT_BOOL* pbIsOutParam, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  // 14: removes the parameters and the literal body.
  virtual HRESULT STDMETHODCALLTYPE ClearMethodParams() = 0;
  // 15: removes every header block, both lists.
  virtual HRESULT STDMETHODCALLTYPE ClearHeaderElems() = 0;
  // 16 to 25: read and replace the method namespace and name, the return
  // value (a deep copy both ways), the SOAPAction and this node's URI.
  virtual HRESULT STDMETHODCALLTYPE GetMethodNS(BSTR* pbstrNS) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMethodNS(BSTR bstrNS) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMethodName(BSTR* pbstrName) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMethodName(BSTR bstrName) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReturnValue(VARIANT* pvarValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReturnValue(VARIANT varValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSOAPAction(BSTR* pbstrSOAPAction) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSOAPAction(BSTR bstrSOAPAction) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNodeURI(BSTR* pbstrNodeURI) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetNodeURI(BSTR bstrNodeURI) = 0;

  // ---- Faults ----
  // 26: sets a SOAP 1.1 fault.
  virtual HRESULT STDMETHODCALLTYPE SetSOAPFault(BSTR bstrFaultCode, BSTR bstrFaultCodeNS,
      BSTR bstrFaultString, VARIANT_BOOL bNeedDetail, VARIANT_BOOL* pResult) = 0;
  // 27: sets a SOAP 1.2 fault with one reason text.
  virtual HRESULT STDMETHODCALLTYPE SetSOAP12Fault(BSTR bstrCode, BSTR bstrCodeNS,
      BSTR bstrSubcode, BSTR bstrSubcodeNS, BSTR bstrReason, BSTR bstrReasonLangId,
      VARIANT_BOOL* pResult) = 0;
  // 28: adds or replaces the reason text of a language.
  virtual HRESULT STDMETHODCALLTYPE AddSOAP12ReasonText(BSTR bstrText, BSTR bstrLangId) = 0;
  // 29 to 31: reading reason texts back; these hand out nothing.
  virtual HRESULT STDMETHODCALLTYPE GetSOAP12ReasonText(BSTR bstrLangId, BSTR* pbstrText,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstSOAP12ReasonText(BSTR* pbstrText,
      BSTR* pbstrLangId, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextSOAP12ReasonText(BSTR* pbstrText, BSTR* pbstrLangId,
      LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  // 32 to 36: header blocks of the fault message, as 5 to 8 and 15.
  virtual HRESULT STDMETHODCALLTYPE GetNumFaultHeaderElems(LONG* plNumber) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddFaultHeaderElem(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT varContent, VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstFaultHeaderElem(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrActorURI, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextFaultHeaderElem(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrActorURI, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearFaultHeaderElems() = 0;
  // 37 to 41: fault detail entries: count, append, iterate, clear.
  virtual HRESULT STDMETHODCALLTYPE GetNumFaultDetailElems(LONG* plNumber) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddFaultDetailElem(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT varContent, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstFaultDetailElem(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextFaultDetailElem(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearFaultDetailElems() = 0;

  // ---- Processing state and the buffer ----
  // 42: checks that every mustUnderstand block for this node is understood;
  // false sets the MustUnderstand fault.
  virtual HRESULT STDMETHODCALLTYPE CheckMustUnderstand(VARIANT_BOOL* pResult) = 0;
  // 43, 44: the phase: true while working on the request.
  virtual HRESULT STDMETHODCALLTYPE SetRequestPhase(VARIANT_BOOL bFlag) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsRequestPhase(VARIANT_BOOL* pResult) = 0;
  // 45: a copy of the current message bytes as a new byte array.
  virtual HRESULT STDMETHODCALLTYPE GetBuffer(VARIANT* pvarBuffer, VARIANT_BOOL* pResult) = 0;
  // 46: copies a byte array in as the current message; anything else
  // returns false and leaves the message as it was.
  virtual HRESULT STDMETHODCALLTYPE SetBuffer(VARIANT varBuffer, VARIANT_BOOL* pResult) = 0;
  // 47: clears the fault, its header blocks and its details.
  virtual HRESULT STDMETHODCALLTYPE ClearSOAPFault() = 0;
  // 48 to 50: the next hop; a non-empty URL makes this node an intermediary.
  virtual HRESULT STDMETHODCALLTYPE GetNextHopURL(BSTR* bstrNextHopURL) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetNextHopURL(BSTR bstrNextHopURL) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsIntermediary(VARIANT_BOOL* pResult) = 0;
  // 51: the content of the first detail entry of that name (kept).
  virtual HRESULT STDMETHODCALLTYPE GetFaultDetailElem(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT* pvarContent, VARIANT_BOOL* pResult) = 0;
  // 52 to 55: the fault's code, code namespace, string and node.
  virtual HRESULT STDMETHODCALLTYPE GetSOAPFaultCode(BSTR* bstrFaultCode) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSOAPFaultCodeNS(BSTR* bstrFaultCodeNS) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSOAPFaultString(BSTR* bstrFaultString) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSOAPFaultNode(BSTR* bstrFaultNode) = 0;
  // 56, 57: the names given to Initialize.
  virtual HRESULT STDMETHODCALLTYPE GetServiceName(BSTR* pbstrServiceName) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPortName(BSTR* pbstrPortName) = 0;
  // 58: binds the RPC call (request phase) or its response; false on a fault.
  virtual HRESULT STDMETHODCALLTYPE ProcessRPC(VARIANT_BOOL* pResult) = 0;
  // 59: whether the port's binding style is "rpc".
  virtual HRESULT STDMETHODCALLTYPE IsRPCStyle(VARIANT_BOOL* pResult) = 0;

  // ---- Header blocks as literal XML ----
  // 60 to 64: count, append, take by name, iterate.
  virtual HRESULT STDMETHODCALLTYPE GetNumHeaderElemsLiteral(LONG* plNumber) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName,
      BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
      BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHeaderElemLiteral(BSTR bstrNamespaceURI, BSTR bstrName,
      BSTR* pbstrLiteralXML, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstHeaderElemLiteral(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextHeaderElemLiteral(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  // 65 to 68: the fault message's literal header blocks, as 60, 61, 63, 64.
  virtual HRESULT STDMETHODCALLTYPE GetNumFaultHeaderElemsLiteral(LONG* plNumber) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddFaultHeaderElemLiteral(BSTR bstrNamespaceURI,
      BSTR bstrName, BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand, BSTR bstrActorURI,
      BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstFaultHeaderElemLiteral(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextFaultHeaderElemLiteral(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrActorURI, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  // 69, 70: the body as literal XML; Get is false when there is none.
  virtual HRESULT STDMETHODCALLTYPE SetBodyElemLiteral(BSTR bstrLiteralXML,
      BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBodyElemLiteral(BSTR* pbstrLiteralXML,
      VARIANT_BOOL* pResult) = 0;
  // 71, 72: a flag the host keeps on the object; the handler ignores it.
  virtual HRESULT STDMETHODCALLTYPE IsNoContentResponse(VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetNoContentResponse(VARIANT_BOOL bValue) = 0;
  // 73: "http://host[:port]/path" from the port description; empty without.
  virtual HRESULT STDMETHODCALLTYPE GetPortAddress(BSTR* pbstrAddress) = 0;

  // ---- DIME attachments (pIUnknown offers IStorage) and roles ----
  // 74, 75: append to the request / response attachments.
  virtual HRESULT STDMETHODCALLTYPE AddDIMEAttachmentReq(BSTR bstrId, BSTR bstrType, LONG TNF,
      IUnknown* pIUnknown, VARIANT Options, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddDIMEAttachmentResp(BSTR bstrId, BSTR bstrType, LONG TNF,
      IUnknown* pIUnknown, VARIANT Options, VARIANT_BOOL* pResult) = 0;
  // 76 to 79: iterate them; *ppIUnknown is an AddRef'd reference.
  virtual HRESULT STDMETHODCALLTYPE GetFirstDIMEAttachmentReq(BSTR* pbstrId, BSTR* pbstrType,
      LONG* pTNF, IUnknown** ppIUnknown, VARIANT* Options, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextDIMEAttachmentReq(BSTR* pbstrId, BSTR* pbstrType,
      LONG* pTNF, IUnknown** ppIUnknown, VARIANT* Options, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstDIMEAttachmentResp(BSTR* pbstrId, BSTR* pbstrType,
      LONG* pTNF, IUnknown** ppIUnknown, VARIANT* Options, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextDIMEAttachmentResp(BSTR* pbstrId, BSTR* pbstrType,
      LONG* pTNF, IUnknown** ppIUnknown, VARIANT* Options, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  // 80, 81: find one by id.
  virtual HRESULT STDMETHODCALLTYPE GetDIMEAttachmentReq(BSTR bstrId, BSTR* pbstrType,
      LONG* pTNF, IUnknown** ppIUnknown, VARIANT* Options, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDIMEAttachmentResp(BSTR bstrId, BSTR* pbstrType,
      LONG* pTNF, IUnknown** ppIUnknown, VARIANT* Options, VARIANT_BOOL* pResult) = 0;
  // 82, 83: how many there are.
  virtual HRESULT STDMETHODCALLTYPE GetNumReqAttachments(LONG* pNbr) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNumRespAttachments(LONG* pNbr) = 0;
  // 84, 85: the SOAP version, 11 or 12 (stored unchecked).
  virtual HRESULT STDMETHODCALLTYPE GetSOAPVersion(LONG* pVersion) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSOAPVersion(LONG lVersion) = 0;
  // 86, 87: add role URIs (a string or an array of strings); read them back
  // as an array.
  virtual HRESULT STDMETHODCALLTYPE SetRoles(VARIANT varRoles, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRoles(VARIANT* pvarRoles) = 0;
  // 88: names of the mustUnderstand blocks aimed at this node; E_FAIL when
  // the array cannot be made.
  virtual HRESULT STDMETHODCALLTYPE GetMUHeaderBlocks(VARIANT* pvarBlocks) = 0;

  // ---- SOAP 1.2 forms, with the relay flag ----
  // 89 to 91: as 6 to 8, with a role URI and relay.
  virtual HRESULT STDMETHODCALLTYPE AddHeaderElem12(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT varContent, VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI, VARIANT_BOOL bRelay,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstHeaderElem12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextHeaderElem12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  // 92 to 94: as 61, 63, 64, with a role URI and relay.
  virtual HRESULT STDMETHODCALLTYPE AddHeaderElemLiteral12(BSTR bstrNamespaceURI,
      BSTR bstrName, BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI,
      VARIANT_BOOL bRelay, BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstHeaderElemLiteral12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextHeaderElemLiteral12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  // 95 to 100: the fault message's header blocks, as 89 to 94.
  virtual HRESULT STDMETHODCALLTYPE AddFaultHeaderElem12(BSTR bstrNamespaceURI, BSTR bstrName,
      VARIANT varContent, VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI, VARIANT_BOOL bRelay,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstFaultHeaderElem12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextFaultHeaderElem12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, VARIANT* pvarContent, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, LONG* plPosition, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddFaultHeaderElemLiteral12(BSTR bstrNamespaceURI,
      BSTR bstrName, BSTR bstrLiteralXML, VARIANT_BOOL bMustUnderstand, BSTR bstrRoleURI,
      VARIANT_BOOL bRelay, BSTR bstrEncodingStyle, VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFirstFaultHeaderElemLiteral12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextFaultHeaderElemLiteral12(BSTR* pbstrNamespaceURI,
      BSTR* pbstrName, BSTR* pbstrLiteralXML, VARIANT_BOOL* pbMustUnderstand,
      BSTR* pbstrRoleURI, VARIANT_BOOL* pbRelay, BSTR* pbstrEncodingStyle, LONG* plPosition,
      VARIANT_BOOL* pResult) = 0;

  // ---- HTTP GET ----
  // 101: binds an RPC call made by HTTP GET from its URI parts.
  virtual HRESULT STDMETHODCALLTYPE ProcessRPCGet(BSTR bstrSvcURI, BSTR bstrExtraPath,
      BSTR bstrQueryString, VARIANT_BOOL* pResult) = 0;
};

#endif  // QXSOAPMSG_H_
