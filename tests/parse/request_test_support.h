// What the parse suites share: a handler with the production engines
// initialised against a port in memory, envelopes of both SOAP versions, and
// the fault and parameters a host reads back.
#ifndef QXSOAP_TESTS_PARSE_REQUEST_TEST_SUPPORT_H_
#define QXSOAP_TESTS_PARSE_REQUEST_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame/message_handler.h"
#include "host/memory_port.h"
#include "parse/request_parser.h"
#include "rpc/production_engines.h"
#include "support/struct_object_reader.h"
#include "xml/namespaces.h"

namespace qxsoap::testing {

inline constexpr std::string_view kEnv11 = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::string_view kEnv12 = "http://www.w3.org/2003/05/soap-envelope";
inline constexpr std::string_view kEnc11 = "http://schemas.xmlsoap.org/soap/encoding/";
inline constexpr std::string_view kEnc12 = "http://www.w3.org/2003/05/soap-encoding";

inline std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// An envelope of `version` (11 or 12) with prefix `e`, the prefixes `enc`
// (encoding of the version), `xsd`, `xsi` and `m` (urn:m) declared.
inline std::string Envelope(int version, std::string_view content, std::string_view attributes = "") {
  return "<e:Envelope xmlns:e=\"" + std::string(version == 11 ? kEnv11 : kEnv12) + "\" xmlns:enc=\"" +
         std::string(version == 11 ? kEnc11 : kEnc12) +
         "\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
         " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:m=\"urn:m\"" +
         std::string(attributes) + ">" + std::string(content) + "</e:Envelope>";
}

inline std::string Body(std::string_view content) { return "<e:Body>" + std::string(content) + "</e:Body>"; }

// A port with the SOAP binding of `version`, rpc style, and the operation
// echo in urn:m with the action "urn:m#echo".
inline qxcom::ComPtr<host::MemoryPort> EchoPort(int version) {
  auto port = host::MemoryPort::Create();
  port->Binding(version == 11 ? WSDL_SOAP11_NS : WSDL_SOAP12_NS).Style(u"rpc");
  port->Operation(u"echo").Namespace(u"urn:m").Action(u"urn:m#echo").Use(u"encoded");
  return port;
}

// A handler with the production engines, initialised against `port` with
// the SOAPAction `action`; an intermediary when `nextHop` is given.
struct Exchange {
  explicit Exchange(qxcom::ComPtr<host::MemoryPort> port, std::u16string_view action = u"urn:m#echo",
                    std::u16string_view nextHop = u"")
      : port(std::move(port)) {
    EXPECT_TRUE(handler.Initialize(u"svc", u"port", u"urn:node", action, nextHop, false, false,
                                   this->port.get()));
  }
  bool Deserialize(std::string_view message) {
    EXPECT_TRUE(handler.SetBuffer({reinterpret_cast<const BYTE*>(message.data()), message.size()}));
    return handler.Deserialize();
  }
  std::string Written() {
    EXPECT_TRUE(handler.Serialize());
    const std::span<const BYTE> bytes = handler.GetBuffer();
    return std::string(bytes.begin(), bytes.end());
  }

  qxcom::ComPtr<host::MemoryPort> port;
  MessageHandler handler{ProductionEngines()};
};

// A fault as a host reads it back: code, subcode, the message (fault string
// under SOAP 1.1, the "en" reason under SOAP 1.2) and the detail flag.
struct SeenFault {
  std::u16string code;
  std::u16string subcode;
  std::u16string message;
  bool needDetail = false;
  bool operator==(const SeenFault&) const = default;
};

inline SeenFault FaultOf(const MessageHandler& handler) {
  SeenFault seen{handler.GetSOAPFaultCode(), handler.GetSOAPFaultSubcode(), {},
                 handler.NeedsFaultDetail()};
  if (handler.GetSOAPVersion() == 11) {
    seen.message = handler.GetSOAPFaultString();
  } else {
    handler.GetSOAP12ReasonText(u"en", &seen.message);
  }
  return seen;
}

inline std::string FaultText(const MessageHandler& handler) { return Narrow(FaultOf(handler).message); }

inline void PrintTo(const SeenFault& fault, std::ostream* out) {
  *out << "{" << Narrow(fault.code) << ", " << Narrow(fault.subcode) << ", \"" << Narrow(fault.message)
       << "\", " << (fault.needDetail ? "detail" : "no detail") << "}";
}

// The parameters a host reads, one per line: "name in/out = value".
inline std::u16string Parameters(const MessageHandler& handler) {
  std::u16string text;
  LONG position = 0;
  for (const MethodParam* param = handler.GetFirstMethodParam(position); param;
       param = handler.GetNextMethodParam(position)) {
    text += param->name + (param->isInParam ? u" in" : u"") + (param->isOutParam ? u" out" : u"") +
            u" = " + test::Describe(*param->content.get()) + u"\n";
  }
  return text;
}

// A request parser run over one message on its own, for the records it
// keeps. `fault` holds the fault the parse raised, if any.
struct ParsedRequest {
  explicit ParsedRequest(std::string_view message) {
    auto port = EchoPort(11);
    handler.SetBuffer({reinterpret_cast<const BYTE*>(message.data()), message.size()});
    try {
      parser.Parse(handler, *port.get());
    } catch (QXSOAPFault* raised) {
      const std::unique_ptr<QXSOAPFault> owned(raised);
      fault = *raised;
    }
  }

  MessageHandler handler;
  RequestParser parser;
  std::optional<QXSOAPFault> fault;
};

}  // namespace qxsoap::testing

#endif  // QXSOAP_TESTS_PARSE_REQUEST_TEST_SUPPORT_H_
