// qxsoap call URL OPERATION [NAME=VALUE]...: calls one operation of the
// service at URL, its port read from URL?wsdl, and prints what came back.
// The handler plays the client: in its request phase it writes the call as
// the service's port describes it, in its response phase it reads and binds
// the reply. Exit status 0 with the results, 1 with a SOAP fault, 2 when no
// answer of either kind came (a line on standard error says why).
#include <algorithm>
#include <cstdio>
#include <string>

#include "call_steps.h"
#include "commands.h"
#include "decode/port_queries.h"
#include "http_client.h"
#include "platform/string_conversion.h"
#include "rpc/production_engines.h"
#include "value_printer.h"
#include "xml/namespaces.h"

namespace qxsoap::cli {
namespace {

constexpr char kUsage[] = "usage: qxsoap call URL OPERATION [NAME=VALUE]...\n";
constexpr size_t kQuotedReplyUnits = 200;

void PrintLine(std::u16string_view name, const VARIANT& value, uint16_t typeCode = kAnyType) {
  std::u16string line(name);
  line += u" = ";
  AppendValueForPrinting(value, line, typeCode);
  std::puts(qxcom::ToUtf8(line).c_str());
}

void PrintText(std::u16string_view name, std::u16string_view text) {
  std::printf("%s = %s\n", qxcom::ToUtf8(name).c_str(), qxcom::ToUtf8(text).c_str());
}

std::u16string QualifiedName(std::u16string_view ns, std::u16string_view local) {
  if (ns.empty()) return std::u16string(local);
  std::u16string name(u"{");  // appended: g++ 12 -Wrestrict misreads "text" + std::u16string&&
  return name.append(ns).append(u"}").append(local);
}

// The fault's message: the fault string, or the first reason text.
std::string FaultMessage(const MessageHandler& handler) {
  if (!handler.GetSOAPFaultString().empty()) return qxcom::ToUtf8(handler.GetSOAPFaultString());
  LONG position = 0;
  const std::optional<ReasonText> reason = handler.GetFirstSOAP12ReasonText(position);
  return reason ? qxcom::ToUtf8(reason->text) : std::string("no reason given");
}

void PrintFault(const MessageHandler& handler) {
  PrintText(u"code", QualifiedName(handler.GetSOAPFaultCodeNS(), handler.GetSOAPFaultCode()));
  if (!handler.GetSOAPFaultSubcode().empty()) {
    PrintText(u"subcode", QualifiedName(handler.GetSOAPFaultSubcodeNS(), handler.GetSOAPFaultSubcode()));
  }
  LONG position = 0;
  if (handler.GetSOAPVersion() == 11) {
    PrintText(u"string", handler.GetSOAPFaultString());
  } else {
    for (auto reason = handler.GetFirstSOAP12ReasonText(position); reason;
         reason = handler.GetNextSOAP12ReasonText(position)) {
      std::u16string name = u"reason (";
      name.append(reason->langId).append(u")");
      PrintText(name, reason->text);
    }
  }
  if (!handler.GetSOAPFaultNode().empty()) PrintText(u"node", handler.GetSOAPFaultNode());
  for (const ElemRecord* entry = handler.GetFirstFaultDetailElem(position); entry;
       entry = handler.GetNextFaultDetailElem(position)) {
    PrintLine(u"detail " + entry->name, *entry->content.get());
  }
}

// The code of the built-in type of the output part `part`, or kAnyType.
uint16_t OutputTypeCode(PortDescription& port, BSTR op, std::u16string_view part) {
  const QueryArgument name(part);
  const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
    return port.GetOutputPartType(op, name.get(), typeName, typeNS, found);
  });
  if (!type || !IsBuiltInTypeNamespace(type->ns)) return kAnyType;
  return LookUpSimpleType(type->name).value_or(kAnyType);
}

void PrintResults(const MessageHandler& handler, PortDescription& port) {
  const QueryArgument op(handler.GetMethodName());
  const std::u16string returnName = handler.GetReturnName().empty() ? u"return" : handler.GetReturnName();
  if (handler.ReturnValue().vt != VT_EMPTY) {
    PrintLine(returnName, handler.ReturnValue(), OutputTypeCode(port, op.get(), returnName));
  }
  LONG position = 0;
  for (const MethodParam* param = handler.GetFirstMethodParam(position); param;
       param = handler.GetNextMethodParam(position)) {
    PrintLine(param->name, *param->content.get(), OutputTypeCode(port, op.get(), param->name));
  }
}

std::u16string SoapActionOf(PortDescription& port, const std::u16string& operation) {
  const QueryArgument op(operation);
  return AskPortText([&](BSTR* action, VARIANT_BOOL* found) { return port.GetSOAPAction(op.get(), action, found); })
      .value_or(u"");
}

std::vector<std::string> RequestHeaders(int soapVersion, const std::string& action) {
  if (soapVersion == 11) return {"Content-Type: text/xml; charset=utf-8", "SOAPAction: \"" + action + "\""};
  std::string type = "Content-Type: application/soap+xml; charset=utf-8";
  if (!action.empty()) type += "; action=\"" + action + "\"";
  return {type};
}

// The start of a reply that is not a SOAP message, for the error line.
std::string Quoted(const std::string& body) {
  std::string text = body.substr(0, std::min(body.find('\n'), kQuotedReplyUnits));
  return text.empty() ? "no body" : "'" + text + "'";
}

// Reads the reply into the handler in its response phase and prints it;
// returns the exit status.
int ReadReply(MessageHandler& handler, const std::string& url, const HttpResponse& reply) {
  const bool success = reply.status >= 200 && reply.status < 300;
  if (success && reply.body.empty()) return 0;  // a one-way operation: nothing comes back
  handler.ClearMethodParams();
  handler.ClearHeaderElems();
  handler.SetRequestPhase(false);
  if (!handler.SetBuffer({reinterpret_cast<const BYTE*>(reply.body.data()), reply.body.size()})) {
    throw CallError{"out of memory"};
  }
  if (!handler.Deserialize()) {
    if (!success && reply.status != 500) {
      throw CallError{url + ": HTTP status " + std::to_string(reply.status) + ", " + Quoted(reply.body)};
    }
    throw CallError{url + ": the reply (HTTP status " + std::to_string(reply.status) +
                    ") does not read: " + FaultMessage(handler)};
  }
  if (handler.IsSOAPFault()) {
    PrintFault(handler);
    return 1;
  }
  if (!handler.ProcessRPC()) throw CallError{url + ": the reply does not fit the operation: " + FaultMessage(handler)};
  PrintResults(handler, *handler.GetPortDescription());
  return 0;
}

int Call(const std::string& url, const std::u16string& operation, const std::vector<CallArgument>& arguments) {
  const CallPort port = FetchPort(url);
  MessageHandler handler(ProductionEngines());
  const std::u16string action = SoapActionOf(*port.port.get(), operation);
  // Encoded values carry their xsi:type, as SOAP-encoding services expect;
  // a document's literal values are typed by its schema alone.
  handler.Initialize(u"", u"", u"", action, u"", !port.documentView, false, port.port.get());
  handler.SetSOAPVersion(port.soapVersion);
  AddCallParameters(handler, *port.port.get(), operation, arguments);
  if (!handler.Serialize()) throw CallError{"the request cannot be written: " + FaultMessage(handler)};
  const std::span<const BYTE> request = handler.GetBuffer();
  HttpResponse reply;
  std::string error;
  if (!HttpPost(url, std::string(request.begin(), request.end()),
                RequestHeaders(port.soapVersion, qxcom::ToUtf8(action)), &reply, &error)) {
    throw CallError{error};
  }
  return ReadReply(handler, url, reply);
}

}  // namespace

int RunCallCommand(std::span<char* const> args) {
  if (args.size() < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    return Call(args[0], qxcom::ToUtf16(args[1]), ParseCallArguments(args.subspan(2)));
  } catch (const CallError& failure) {
    std::fprintf(stderr, "qxsoap call: %s\n", failure.message.c_str());
    return 2;
  }
}

}  // namespace qxsoap::cli
