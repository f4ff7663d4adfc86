// The message envelope. A node that is not an intermediary writes a fresh
// envelope; an intermediary writes its message on in a shell of the
// envelope and Header it received (their names, declarations and
// attributes), so what the sender declared travels on.
#include <optional>
#include <string>

#include "decode/port_queries.h"
#include "encode/envelopes.h"
#include "encode/header_blocks.h"
#include "encode/value_writer.h"
#include "frame/message_handler.h"
#include "model/soap_version.h"
#include "xml/xml_document.h"
#include "xml/xml_element.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

// Copies what `element` itself carries into `copy`: every binding in scope
// (except xml, which is never declared) and every attribute.
void CopyShell(const XmlElement& element, XmlElement& copy) {
  for (const auto& [prefix, uri] : element.Scope().ToMap()) {
    if (prefix != u"xml"sv) copy.DeclareNamespace(prefix, uri);
  }
  for (const XmlAttribute& attribute : element.Attributes()) {
    copy.SetQualifiedAttribute(attribute.QualifiedName(), attribute.NamespaceUri(), attribute.Value());
  }
}

std::unique_ptr<XmlElement> NewEnvelope(const MessageHandler& handler) {
  if (handler.IsIntermediary() && handler.PhaseParser()) {
    if (const XmlElement* received = handler.PhaseParser()->ParsedEnvelope()) {
      auto envelope = XmlElement::NewTree(received->QualifiedName(), received->NamespaceUri(),
                                          received->LocalName(), kEnvelopeTreeBytes);
      CopyShell(*received, *envelope);
      return envelope;
    }
  }
  auto envelope = XmlElement::NewTree(u"SOAP-ENV:Envelope"sv, {}, {}, kEnvelopeTreeBytes);
  envelope->DeclareNamespace(u"SOAP-ENV"sv, EnvelopeNamespace(handler.GetSOAPVersion()));
  return envelope;
}

// The Header element of a received envelope, or null.
const XmlElement* ReceivedHeader(const XmlElement& envelope) {
  for (const XmlElement& child : envelope.Children()) {
    if (child.LocalName() == u"Header"sv && child.NamespaceUri() == envelope.NamespaceUri()) {
      return &child;
    }
  }
  return nullptr;
}

bool AppendHeader(XmlElement& envelope, MessageHandler& handler, PortDescription& port,
                  ValueWriter& writer) {
  const MessageParserEngine* parser = handler.PhaseParser();
  const XmlElement* received = handler.IsIntermediary() && parser && parser->ParsedEnvelope()
                                   ? ReceivedHeader(*parser->ParsedEnvelope())
                                   : nullptr;
  const HeaderLists& blocks = handler.HeaderBlocks();
  if (!received && blocks.typed.Count() == 0 && blocks.literal.Count() == 0) return true;
  XmlElement* header;
  if (received) {
    header = &envelope.AddChild(received->QualifiedName(), received->NamespaceUri(),
                                received->LocalName());
    CopyShell(*received, *header);
  } else {
    header = &envelope.AddChild(u"SOAP-ENV:Header"sv);
  }
  return AppendHeaderBlocks(*header, blocks, handler, port, writer);
}

bool AppendLiteralBody(XmlElement& envelope, const MessageHandler& handler) {
  if (const BodyElemLiteral* literal = handler.BodyLiteral()) {
    std::unique_ptr<XmlElement> body = ParseFragment(literal->LiteralXML());
    if (!body) return false;
    envelope.AppendChild(std::move(body));
    return true;
  }
  XmlElement& body = envelope.AddChild(u"SOAP-ENV:Body"sv);
  body.DeclareNamespace(u"SOAP-ENV"sv, EnvelopeNamespace(handler.GetSOAPVersion()));
  return true;
}

bool AppendRpcBody(XmlElement& envelope, MessageHandler& handler, PortDescription& port,
                   ValueWriter& writer) {
  const bool request = handler.IsRequestPhase();
  const LONG version = handler.GetSOAPVersion();
  XmlElement& body = envelope.AddChild(u"SOAP-ENV:Body"sv);
  std::u16string wrapperName = u"m:" + handler.GetMethodName();
  if (!request) wrapperName += u"Response"sv;
  XmlElement& wrapper = body.AddChild(wrapperName);
  wrapper.DeclareNamespace(u"m"sv, handler.GetMethodNS());

  const QueryArgument operation(handler.GetMethodName());
  BSTR op = operation.get();
  const std::optional<std::u16string> use = AskPortText([&](BSTR* text, VARIANT_BOOL* found) {
    return request ? port.GetInputUse(op, text, found) : port.GetOutputUse(op, text, found);
  });
  std::optional<std::u16string> style;
  if (use == u"encoded"sv) {
    style = AskPortText([&](BSTR* text, VARIANT_BOOL* found) {
      return request ? port.GetInputEncodingStyle(op, text, found)
                     : port.GetOutputEncodingStyle(op, text, found);
    });
    if (!style || style->empty()) style = std::u16string(EncodingNamespace(version));
    wrapper.SetQualifiedAttribute(u"SOAP-ENV:encodingStyle"sv, EnvelopeNamespace(version), *style);
  }
  const std::optional<std::u16string_view> encoding =
      style ? std::optional<std::u16string_view>(*style) : std::nullopt;

  const std::u16string& returnName = handler.GetReturnName();
  if (!request && !returnName.empty()) {
    if (version != kSoap11) {
      XmlElement& result = wrapper.AddChild(u"SOAP-RPC:result"sv);
      result.DeclareNamespace(u"SOAP-RPC"sv, SOAP12_RPC_NS);
      result.SetText(returnName);
    }
    if (!writer.WritePart(wrapper, op, returnName, handler.ReturnValue(), encoding)) return false;
  }
  for (const auto& param : handler.MethodParams()) {
    if (!writer.WritePart(wrapper, op, param->name, *param->content.get(), encoding)) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<XmlElement> BuildMessageEnvelope(MessageHandler& handler, PortDescription& port) {
  ValueWriter writer(handler, port);
  std::unique_ptr<XmlElement> envelope = NewEnvelope(handler);
  if (!AppendHeader(*envelope, handler, port, writer)) return nullptr;
  const bool written = handler.IsIntermediary() || !handler.IsRPCStyle()
                           ? AppendLiteralBody(*envelope, handler)
                           : AppendRpcBody(*envelope, handler, port, writer);
  if (!written) return nullptr;
  return envelope;
}

}  // namespace qxsoap
