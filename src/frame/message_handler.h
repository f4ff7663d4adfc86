// frame/message_handler.h: the state of one SOAP message exchange and the
// sequencing of its engines. The automation class owns one MessageHandler and
// forwards each interface method to the operation of the same name; the
// engines (engines.h) read and fill the same state through these operations.
//
// Conventions of every operation below:
//   - strings in are views, copied when stored; strings out are references
//     valid until the field changes;
//   - VARIANT arguments in are deep-copied, a VT_BYREF one dereferenced, a
//     null one taken as VT_EMPTY; VARIANT outs must hold a valid VARIANT,
//     which is cleared before the new value is written;
//   - an add with a content returns S_OK when the record was appended,
//     S_FALSE when memory for the record ran out (the automation result is
//     then false), or the failing HRESULT of the content copy; the list is
//     unchanged unless S_OK;
//   - GetFirst/GetNext return the record (owned by the list, valid until the
//     list changes) and move `position`, or null at the end with `position`
//     untouched; the SOAP 1.1 and 1.2 automation forms share one pair;
//   - out-pointers (VARIANT*, std::u16string*, bool*) must be valid;
//   - nothing here throws a QXSOAPFault out: the entry points catch what the
//     engines raise and record it as the message's fault.
//
// Threads: one thread at a time per handler; handlers share nothing.
#ifndef QXSOAP_FRAME_MESSAGE_HANDLER_H_
#define QXSOAP_FRAME_MESSAGE_HANDLER_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame/engines.h"
#include "frame/message_buffer.h"
#include "model/dime_attachment.h"
#include "model/elem_records.h"
#include "model/fault_record.h"
#include "model/fault_state.h"
#include "model/header_lists.h"
#include "model/record_list.h"
#include "model/role_set.h"
#include "model/soap_version.h"
#include "qxcom/owned.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler : public MessageBuffer {
 public:
  // The engines of an exchange; a null member installs nothing.
  struct Engines {
    std::unique_ptr<MessageParserEngine> requestParser;
    std::unique_ptr<MessageParserEngine> responseParser;
    std::unique_ptr<RpcEngine> rpc;
    std::unique_ptr<MessageSerializerEngine> serializer;
  };

  // A handler with no engines: Deserialize, ProcessRPC, ProcessRPCGet,
  // CheckMustUnderstand and Serialize then fail with a recorded fault.
  MessageHandler();
  explicit MessageHandler(Engines engines);
  ~MessageHandler() override;

  // Replaces each engine that `engines` carries; the others stay.
  void InstallEngines(Engines engines);

  // ---- Exchange state ----

  // Takes the host's port object: queries it for PortDescription (one
  // reference kept until destruction), stores the strings, enters the request
  // phase, sets the typing flags and clears noContentResponse. Returns false
  // and changes nothing for a null `port`; returns false with no port
  // description held when the object lacks the interface. Lists, fault,
  // roles and buffer are not touched.
  bool Initialize(std::u16string_view serviceName, std::u16string_view portName,
                  std::u16string_view nodeURI, std::u16string_view soapAction,
                  std::u16string_view nextHopURL, bool explicitTypingEnabled,
                  bool nodeTypeEnabled, IDispatch* port);

  // Parses the current message with the request parser (request phase) or
  // the response parser, then runs the binding check. Sets faultRaisedHere
  // first. Returns false with the fault recorded when anything is raised,
  // also when no port description or no engine is there.
  bool Deserialize();

  // Binds the call (request phase) or the next hop's response. Returns the
  // binding's result; false with the fault recorded when anything is raised.
  bool ProcessRPC();

  // Binds a call made by HTTP GET. A raised fault is recorded in its SOAP
  // 1.2 form whatever the SOAP version; the result is then false.
  bool ProcessRPCGet(std::u16string_view svcURI, std::u16string_view extraPath,
                     std::u16string_view queryString);

  // The mustUnderstand check; it records its own fault. Without an RPC
  // engine it records a Receiver fault and returns false.
  bool CheckMustUnderstand();

  // Empties the buffer, then writes the outgoing message into it (a fault
  // message when a fault raised here is set). Returns false with the buffer
  // empty when there is no message to write. A fault the serializer raises
  // is recorded as at the other entry points and the result is false.
  bool Serialize();

  // Turns a caught fault record into the message's fault: SetFault11 in SOAP
  // 1.1, SetFault12 with the reason "en" otherwise (always for the SOAP 1.2
  // form), and reports the message to the event log. The caller still owns
  // and deletes `fault`.
  enum class FaultForm { kMessageVersion, kSoap12 };
  void RecordCaughtFault(const QXSOAPFault& fault, FaultForm form = FaultForm::kMessageVersion);

  void SetRequestPhase(bool requestPhase) { requestPhase_ = requestPhase; }
  bool IsRequestPhase() const { return requestPhase_; }
  // True when nextHopURL is not empty.
  bool IsIntermediary() const { return !nextHopURL_.empty(); }

  const std::u16string& GetNextHopURL() const { return nextHopURL_; }
  void SetNextHopURL(std::u16string_view url) { nextHopURL_ = url; }
  const std::u16string& GetNodeURI() const { return nodeURI_; }
  void SetNodeURI(std::u16string_view uri) { nodeURI_ = uri; }
  const std::u16string& GetSOAPAction() const { return soapAction_; }
  void SetSOAPAction(std::u16string_view action) { soapAction_ = action; }
  const std::u16string& GetMethodName() const { return methodName_; }
  void SetMethodName(std::u16string_view name) { methodName_ = name; }
  const std::u16string& GetMethodNS() const { return methodNS_; }
  void SetMethodNS(std::u16string_view ns) { methodNS_ = ns; }
  const std::u16string& GetServiceName() const { return serviceName_; }
  const std::u16string& GetPortName() const { return portName_; }
  // Name of the return value part, set by the RPC binding.
  const std::u16string& GetReturnName() const { return returnName_; }
  void SetReturnName(std::u16string_view name) { returnName_ = name; }

  // The return value as stored, for the serializer.
  const VARIANT& ReturnValue() const { return *returnValue_.get(); }
  // Deep copy of the return value into *value; HRESULT of the copy.
  HRESULT GetReturnValue(VARIANT* value) const;
  // Replaces the return value with a deep copy; on a failed copy (its
  // HRESULT is returned) the return value is VT_EMPTY.
  HRESULT SetReturnValue(const VARIANT* value);

  // 11 for SOAP 1.1; any other value is SOAP 1.2. Stored without checking.
  LONG GetSOAPVersion() const { return soapVersion_; }
  void SetSOAPVersion(LONG version) { soapVersion_ = version; }

  bool IsNoContentResponse() const { return noContentResponse_; }
  void SetNoContentResponse(bool value) { noContentResponse_ = value; }
  bool IsExplicitTypingEnabled() const { return explicitTypingEnabled_; }
  bool IsNodeTypeEnabled() const { return nodeTypeEnabled_; }

  // True only when the port description reports the style "rpc" exactly;
  // false without a port description.
  bool IsRPCStyle() const;
  // "http://" host, ":" port unless it is 80, path; empty when the port
  // description reports no address or there is none.
  std::u16string GetPortAddress() const;

  // The parser of the current phase (the request parser in the request
  // phase), which holds the records of the message it read last; null when
  // the handler has none.
  const MessageParserEngine* PhaseParser() const {
    return requestPhase_ ? engines_.requestParser.get() : engines_.responseParser.get();
  }

  // The port description from Initialize, or null; not AddRef'd for the
  // caller.
  PortDescription* GetPortDescription() const { return portDescription_.get(); }

  // ---- Header blocks ----

  LONG GetNumHeaderElems() const { return headers_.typed.Count(); }
  HRESULT AddHeaderElem(std::u16string_view namespaceURI, std::u16string_view name,
                        const VARIANT* content, bool mustUnderstand, std::u16string_view actorURI);
  // `received` is set by the parsers for blocks read from a message.
  HRESULT AddHeaderElem12(std::u16string_view namespaceURI, std::u16string_view name,
                          const VARIANT* content, bool mustUnderstand, std::u16string_view roleURI,
                          bool relay, bool received = false);
  const HeaderElem* GetFirstHeaderElem(LONG& position) const { return headers_.typed.First(position); }
  const HeaderElem* GetNextHeaderElem(LONG& position) const { return headers_.typed.Next(position); }
  // Takes the first block with this name addressed to this node (see
  // HeaderLists::TakeTyped); *found tells whether one matched.
  HRESULT GetHeaderElem(std::u16string_view namespaceURI, std::u16string_view name,
                        VARIANT* content, bool* found);

  LONG GetNumHeaderElemsLiteral() const { return headers_.literal.Count(); }
  bool AddHeaderElemLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                            std::u16string_view literalXML, bool mustUnderstand,
                            std::u16string_view actorURI, std::u16string_view encodingStyle);
  bool AddHeaderElemLiteral12(std::u16string_view namespaceURI, std::u16string_view name,
                              std::u16string_view literalXML, bool mustUnderstand,
                              std::u16string_view roleURI, bool relay,
                              std::u16string_view encodingStyle, bool received = false);
  // A block of a received message, as `element` of its tree.
  bool AddReceivedHeaderElemLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                                    ElementXml element, bool mustUnderstand,
                                    std::u16string_view roleURI, bool relay,
                                    std::u16string_view encodingStyle);
  const HeaderElemLiteral* GetFirstHeaderElemLiteral(LONG& position) const {
    return headers_.literal.First(position);
  }
  const HeaderElemLiteral* GetNextHeaderElemLiteral(LONG& position) const {
    return headers_.literal.Next(position);
  }
  // Takes the first literal block with this name addressed to this node
  // (HeaderLists::TakeLiteral); *literalXML is written only on true.
  bool GetHeaderElemLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                            std::u16string* literalXML);

  // Destroys every block of both header lists.
  void ClearHeaderElems() { headers_.Clear(); }

  // Both header lists, for the serializer and the checks.
  const HeaderLists& HeaderBlocks() const { return headers_; }
  HeaderLists& HeaderBlocks() { return headers_; }

  // What decides whether a block is addressed to this node, now.
  NodeTargeting Targeting() const { return {roles_, IsIntermediary(), soapVersion_}; }

  // ---- Parameters and body ----

  LONG GetNumMethodParams() const { return methodParams_.Count(); }
  HRESULT AddMethodParam(std::u16string_view namespaceURI, std::u16string_view name,
                         const VARIANT* content, bool isInParam, bool isOutParam);
  // The same with a value the binding made: it is moved into the list, not
  // copied. S_OK, or S_FALSE when memory for the record ran out.
  HRESULT AddBoundMethodParam(std::u16string_view name, qxcom::Variant value, bool isInParam,
                              bool isOutParam);
  const MethodParam* GetFirstMethodParam(LONG& position) const { return methodParams_.First(position); }
  const MethodParam* GetNextMethodParam(LONG& position) const { return methodParams_.Next(position); }
  const RecordList<MethodParam>& MethodParams() const { return methodParams_; }
  // Destroys the parameters and the literal body.
  void ClearMethodParams();

  // Replaces the literal body. Returns false, keeping the old one, when
  // memory runs out.
  bool SetBodyElemLiteral(std::u16string_view literalXML, std::u16string_view encodingStyle);
  // Replaces the literal body with the Body element of a message read by a
  // parser (`body`, in the tree `tree` keeps alive), written out when asked
  // for. Returns false, keeping the old one, when memory runs out.
  bool SetReceivedBody(std::shared_ptr<const XmlElement> tree, const XmlElement& body,
                       std::u16string_view encodingStyle);
  // Writes the body's XML into *literalXML and returns true; false and
  // nothing written when there is no literal body. Throws std::bad_alloc.
  bool GetBodyElemLiteral(std::u16string* literalXML) const;
  // The literal body, or null.
  const BodyElemLiteral* BodyLiteral() const { return bodyElemLiteral_.get(); }

  // ---- Fault ----

  bool IsSOAPFault() const { return fault_.isFault; }
  bool IsFaultRaisedHere() const { return fault_.faultRaisedHere; }
  // Cleared by the response parser when it reads a fault from the next hop.
  void SetFaultRaisedHere(bool raisedHere) { fault_.faultRaisedHere = raisedHere; }
  bool NeedsFaultDetail() const { return fault_.needDetail; }
  // See FaultState for what each operation sets and leaves. Both return true.
  bool SetFault11(std::u16string_view code, std::u16string_view codeNS,
                  std::u16string_view faultString, std::u16string_view node, bool needDetail);
  bool SetFault12(std::u16string_view code, std::u16string_view codeNS, std::u16string_view subcode,
                  std::u16string_view subcodeNS, const ReasonTexts& reasons,
                  std::u16string_view node, bool needDetail);
  void ClearSOAPFault() { fault_.Clear(); }
  void AddSOAP12ReasonText(std::u16string_view text, std::u16string_view langId) {
    fault_.AddReasonText(text, langId);
  }
  // The reason text filed under `langId` into *text; false, nothing written,
  // when there is none.
  bool GetSOAP12ReasonText(std::u16string_view langId, std::u16string* text) const;
  // Reason texts in language id order with the list cursor rules.
  std::optional<ReasonText> GetFirstSOAP12ReasonText(LONG& position) const {
    return fault_.FirstReasonText(position);
  }
  std::optional<ReasonText> GetNextSOAP12ReasonText(LONG& position) const {
    return fault_.NextReasonText(position);
  }
  const std::u16string& GetSOAPFaultCode() const { return fault_.faultCode; }
  const std::u16string& GetSOAPFaultCodeNS() const { return fault_.faultCodeNS; }
  const std::u16string& GetSOAPFaultSubcode() const { return fault_.faultSubcode; }
  const std::u16string& GetSOAPFaultSubcodeNS() const { return fault_.faultSubcodeNS; }
  const std::u16string& GetSOAPFaultString() const { return fault_.faultString; }
  const std::u16string& GetSOAPFaultNode() const { return fault_.faultNode; }
  // The whole fault state, for the fault serializer.
  const FaultState& Fault() const { return fault_; }

  LONG GetNumFaultDetailElems() const { return fault_.faultDetailElems.Count(); }
  HRESULT AddFaultDetailElem(std::u16string_view namespaceURI, std::u16string_view name,
                             const VARIANT* content);
  const ElemRecord* GetFirstFaultDetailElem(LONG& position) const {
    return fault_.faultDetailElems.First(position);
  }
  const ElemRecord* GetNextFaultDetailElem(LONG& position) const {
    return fault_.faultDetailElems.Next(position);
  }
  // Content of the first detail entry with this name; the entry stays.
  HRESULT GetFaultDetailElem(std::u16string_view namespaceURI, std::u16string_view name,
                             VARIANT* content, bool* found) const;
  void ClearFaultDetailElems() { fault_.faultDetailElems.Clear(); }

  LONG GetNumFaultHeaderElems() const { return fault_.faultHeaders.typed.Count(); }
  HRESULT AddFaultHeaderElem(std::u16string_view namespaceURI, std::u16string_view name,
                             const VARIANT* content, bool mustUnderstand,
                             std::u16string_view actorURI);
  HRESULT AddFaultHeaderElem12(std::u16string_view namespaceURI, std::u16string_view name,
                               const VARIANT* content, bool mustUnderstand,
                               std::u16string_view roleURI, bool relay);
  const HeaderElem* GetFirstFaultHeaderElem(LONG& position) const {
    return fault_.faultHeaders.typed.First(position);
  }
  const HeaderElem* GetNextFaultHeaderElem(LONG& position) const {
    return fault_.faultHeaders.typed.Next(position);
  }
  LONG GetNumFaultHeaderElemsLiteral() const { return fault_.faultHeaders.literal.Count(); }
  bool AddFaultHeaderElemLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                                 std::u16string_view literalXML, bool mustUnderstand,
                                 std::u16string_view actorURI, std::u16string_view encodingStyle);
  bool AddFaultHeaderElemLiteral12(std::u16string_view namespaceURI, std::u16string_view name,
                                   std::u16string_view literalXML, bool mustUnderstand,
                                   std::u16string_view roleURI, bool relay,
                                   std::u16string_view encodingStyle);
  const HeaderElemLiteral* GetFirstFaultHeaderElemLiteral(LONG& position) const {
    return fault_.faultHeaders.literal.First(position);
  }
  const HeaderElemLiteral* GetNextFaultHeaderElemLiteral(LONG& position) const {
    return fault_.faultHeaders.literal.Next(position);
  }
  // Destroys every block of both fault header lists.
  void ClearFaultHeaderElems() { fault_.faultHeaders.Clear(); }

  // ---- Attachments and roles ----

  // See AttachmentList::Add.
  bool AddDIMEAttachmentReq(std::u16string_view id, std::u16string_view type, LONG tnf,
                            IUnknown* object, const VARIANT* options) {
    return attachmentsReq_.Add(id, type, tnf, object, options);
  }
  bool AddDIMEAttachmentResp(std::u16string_view id, std::u16string_view type, LONG tnf,
                             IUnknown* object, const VARIANT* options) {
    return attachmentsResp_.Add(id, type, tnf, object, options);
  }
  // Hand an attachment out with DimeAttachment::WideId, WideType, tnf,
  // HandOutStorage (a new reference the caller releases) and HandOutOptions.
  const DimeAttachment* GetFirstDIMEAttachmentReq(LONG& position) const {
    return attachmentsReq_.First(position);
  }
  const DimeAttachment* GetNextDIMEAttachmentReq(LONG& position) const {
    return attachmentsReq_.Next(position);
  }
  const DimeAttachment* GetFirstDIMEAttachmentResp(LONG& position) const {
    return attachmentsResp_.First(position);
  }
  const DimeAttachment* GetNextDIMEAttachmentResp(LONG& position) const {
    return attachmentsResp_.Next(position);
  }
  // The first attachment with this id, or null.
  const DimeAttachment* GetDIMEAttachmentReq(std::u16string_view id) const {
    return attachmentsReq_.Find(id);
  }
  const DimeAttachment* GetDIMEAttachmentResp(std::u16string_view id) const {
    return attachmentsResp_.Find(id);
  }
  LONG GetNumReqAttachments() const { return attachmentsReq_.Count(); }
  LONG GetNumRespAttachments() const { return attachmentsResp_.Count(); }
  // The list of the current phase: request list in the request phase.
  AttachmentList& PhaseAttachments() { return requestPhase_ ? attachmentsReq_ : attachmentsResp_; }

  // Adds the strings of a one-dimensional array of VARIANTs (RoleSet::AddFrom).
  bool SetRoles(const VARIANT* roles) { return roles_.AddFrom(roles); }
  // The roles as a VT_ARRAY | VT_VARIANT array (RoleSet::HandOut).
  HRESULT GetRoles(VARIANT* roles) const { return roles_.HandOut(roles); }
  // Adds one role; used by the request parser for the "next" role.
  void AddRole(std::u16string_view role) { roles_.Add(role); }
  const RoleSet& Roles() const { return roles_; }
  // The namespace and name of every mustUnderstand block addressed to this
  // node, typed list first, as a 2 x N VT_ARRAY | VT_VARIANT array of BSTRs
  // in *blocks (cleared first). E_FAIL, nothing written, when the array
  // cannot be made.
  HRESULT GetMUHeaderBlocks(VARIANT* blocks) const;

 private:
  // Runs `work`, an entry point's body; a raised fault is recorded in
  // `form` and deleted, and the result is false.
  template <typename Work>
  bool Guarded(FaultForm form, Work&& work);

  LONG soapVersion_ = kSoap11;
  HeaderLists headers_;
  std::unique_ptr<BodyElemLiteral> bodyElemLiteral_;
  RecordList<MethodParam> methodParams_;
  qxcom::Variant returnValue_;
  std::u16string returnName_;
  std::u16string methodNS_;
  std::u16string methodName_;
  std::u16string soapAction_;
  FaultState fault_;
  Engines engines_;
  AttachmentList attachmentsReq_;
  AttachmentList attachmentsResp_;
  bool noContentResponse_ = false;
  bool explicitTypingEnabled_ = false;
  bool nodeTypeEnabled_ = false;
  qxcom::ComPtr<PortDescription> portDescription_;
  std::u16string serviceName_;
  std::u16string portName_;
  std::u16string nextHopURL_;
  std::u16string nodeURI_;
  bool requestPhase_ = false;
  RoleSet roles_;
};

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_MESSAGE_HANDLER_H_
