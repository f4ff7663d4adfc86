// One exchange, in the order a server host runs it: a new handler,
// Initialize with the shared port, the request bound (ProcessRPC, or
// ProcessRPCGet for a GET), the mustUnderstand check, the call answered,
// then Serialize and the bytes it wrote with the HTTP status of the outcome.
#include "host/serve/soap_exchange.h"

#include "host/serve/exchange_steps.h"
#include "host/serve/exchange_trace.h"
#include "platform/string_conversion.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

bool IsTrue(VARIANT_BOOL flag) { return flag == VARIANT_TRUE; }

// VT_EMPTY when memory runs out: SetBuffer then refuses it.
qxcom::Variant Bytes(std::string_view bytes) {
  qxcom::Variant value;
  qxcom::SafeArrayPtr array =
      qxcom::CopyToByteVector({reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()});
  if (array.get()) {
    V_VT(value.get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(value.get()) = array.release();
  }
  return value;
}

std::string BufferText(Iqxsoapmsg2& handler) {
  qxcom::Variant buffer;
  VARIANT_BOOL ok = VARIANT_FALSE;
  handler.GetBuffer(buffer.get(), &ok);
  if (!IsTrue(ok) || V_VT(buffer.get()) != (VT_ARRAY | VT_UI1)) return {};
  SAFEARRAY* array = V_ARRAY(buffer.get());
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return {};
  std::string text(static_cast<const char*>(data), array->rgsabound[0].cElements);
  SafeArrayUnaccessData(array);
  return text;
}

ExchangeReply InternalError(const char* what) { return {500, "text/plain", std::string(what) + "\n"}; }

qxcom::ComPtr<Iqxsoapmsg2> NewHandler(const ExchangeSetup& setup, std::string_view action) {
  qxcom::ComPtr<Iqxsoapmsg2> handler;
  if (FAILED(setup.handlers->CreateInstance(nullptr, IID_Iqxsoapmsg2, reinterpret_cast<void**>(handler.put())))) {
    return {};
  }
  VARIANT_BOOL ok = VARIANT_FALSE;
  // Encoded values carry their xsi:type, as SOAP-encoding clients expect;
  // a document's literal values are typed by its schema alone.
  const VARIANT_BOOL explicitTyping = setup.documentView ? VARIANT_FALSE : VARIANT_TRUE;
  handler->Initialize(nullptr, MakeBstr(setup.portName).get(), MakeBstr(setup.nodeURI).get(),
                      MakeBstr(qxcom::ToUtf16(action)).get(), nullptr, explicitTyping, VARIANT_FALSE, setup.port,
                      &ok);
  return IsTrue(ok) ? handler : qxcom::ComPtr<Iqxsoapmsg2>();
}

// The call is bound: check the mustUnderstand blocks, answer the call and
// write the response.
ExchangeReply Finish(const ExchangeSetup& setup, Iqxsoapmsg2& handler, bool bound, const HttpFields* arguments) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  const std::string call = setup.trace ? DescribeCall(handler) : std::string();
  if (bound && IsTrue((handler.CheckMustUnderstand(&ok), ok))) {
    AnswerRpcCall(setup, handler, arguments);
  }
  if (setup.trace) std::fprintf(setup.trace, "exchange: %s %s\n", call.c_str(), DescribeAnswer(handler).c_str());
  VARIANT_BOOL fault = VARIANT_FALSE, noContent = VARIANT_FALSE;
  handler.IsSOAPFault(&fault);
  handler.IsNoContentResponse(&noContent);
  if (IsTrue(noContent) && !IsTrue(fault)) return {202, "", ""};
  handler.Serialize(&ok);
  if (!IsTrue(ok) && !IsTrue(fault)) {
    // A response that cannot be written is answered with a fault: the one
    // the writers recorded, or one that says so when a value simply had no
    // form under its type.
    handler.IsSOAPFault(&fault);
    if (!IsTrue(fault)) {
      SetFault(handler, FaultSide::kReceiver,
               u"The response cannot be written: a value does not fit its type in the port "
               u"description.");
      fault = VARIANT_TRUE;
    }
    handler.Serialize(&ok);
  }
  LONG version = 11;
  handler.GetSOAPVersion(&version);
  ExchangeReply reply;
  reply.status = IsTrue(fault) ? 500 : 200;
  reply.body = BufferText(handler);
  reply.contentType = version == 11 ? "text/xml; charset=utf-8" : "application/soap+xml; charset=utf-8";
  return reply;
}

}  // namespace

qxcom::Bstr MakeBstr(std::u16string_view text) {
  return qxcom::Bstr(SysAllocStringLen(text.data(), UINT(text.size())));
}

void SetFault(Iqxsoapmsg2& handler, FaultSide side, std::u16string_view reason) {
  LONG version = 11;
  handler.GetSOAPVersion(&version);
  VARIANT_BOOL ok = VARIANT_FALSE;
  const bool sender = side == FaultSide::kSender;
  if (version == 11) {
    handler.SetSOAPFault(MakeBstr(sender ? u"Client" : u"Server").get(), MakeBstr(SOAP11_ENV_NS).get(),
                         MakeBstr(reason).get(), sender ? VARIANT_FALSE : VARIANT_TRUE, &ok);
  } else {
    handler.SetSOAP12Fault(MakeBstr(sender ? u"Sender" : u"Receiver").get(), MakeBstr(SOAP12_ENV_NS).get(),
                           nullptr, nullptr, MakeBstr(reason).get(), MakeBstr(u"en").get(), &ok);
  }
}

ExchangeReply ExchangePost(const ExchangeSetup& setup, std::string_view action, std::string_view body) {
  const qxcom::ComPtr<Iqxsoapmsg2> handler = NewHandler(setup, action);
  if (!handler) return InternalError("the message handler cannot be created");
  // The envelope tells the handler its version; a body too malformed to
  // show one leaves it as set here, so the fault is in the port's version.
  handler->SetSOAPVersion(setup.soapVersion);
  VARIANT_BOOL ok = VARIANT_FALSE;
  handler->SetBuffer(*Bytes(body).get(), &ok);
  if (!IsTrue(ok)) return InternalError("out of memory");
  // Every port served is rpc style (a document one through its rpc view),
  // so the handler binds every call.
  VARIANT_BOOL bound = VARIANT_FALSE;
  if (IsTrue((handler->Deserialize(&ok), ok))) handler->ProcessRPC(&bound);
  return Finish(setup, *handler.get(), IsTrue(bound), nullptr);
}

ExchangeReply ExchangeGet(const ExchangeSetup& setup, std::string_view extraPath, std::string_view query,
                          const HttpFields& arguments) {
  const qxcom::ComPtr<Iqxsoapmsg2> handler = NewHandler(setup, "");
  if (!handler) return InternalError("the message handler cannot be created");
  handler->SetSOAPVersion(setup.soapVersion);  // no envelope says which: answer in the port's
  VARIANT_BOOL bound = VARIANT_FALSE, fault = VARIANT_FALSE;
  handler->ProcessRPCGet(MakeBstr(setup.nodeURI).get(), MakeBstr(qxcom::ToUtf16(extraPath)).get(),
                         MakeBstr(qxcom::ToUtf16(query)).get(), &bound);
  handler->IsSOAPFault(&fault);
  if (!IsTrue(bound) && !IsTrue(fault)) return {404, "text/plain", "no such operation\n"};
  return Finish(setup, *handler.get(), IsTrue(bound), &arguments);
}

}  // namespace qxsoap::host
