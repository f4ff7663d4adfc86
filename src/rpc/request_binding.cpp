#include "rpc/request_binding.h"

#include <memory>

#include "decode/port_queries.h"
#include "decode/value_decoder.h"
#include "frame/message_handler.h"
#include "model/fault_message.h"
#include "model/fault_record.h"
#include "model/soap_version.h"
#include "rpc/operation_parts.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

[[noreturn]] void RaiseBadParameter(std::u16string_view name) {
  RaiseFault(FaultKind::kSender, FormatFaultMessage(u"Bad parameter: '%s'.", {name}), true);
}

void Append(MessageHandler& handler, std::u16string_view name, qxcom::Variant value, bool isIn,
            bool isOut) {
  if (handler.AddBoundMethodParam(name, std::move(value), isIn, isOut) != S_OK) {
    RaiseInternalError(true);
  }
}

// The style every encoded value must be in: the operation's input
// encodingStyle. A port that declares none leaves the SOAP encoding of the
// message's version, which is what an encoded request is written in.
std::u16string ExpectedStyle(const MessageHandler& handler, PortDescription& port, BSTR operation) {
  std::optional<std::u16string> declared = AskPortText([&](BSTR* style, VARIANT_BOOL* found) {
    return port.GetInputEncodingStyle(operation, style, found);
  });
  if (declared) return std::move(*declared);
  return std::u16string(EncodingNamespace(handler.GetSOAPVersion()));
}

void CheckWrapperStyle(const MessageHandler& handler, const AccessorHandler& wrapper,
                       std::u16string_view expected, const ValueDecoder& decoder) {
  if (wrapper.encodingStyle.empty() || wrapper.encodingStyle == expected) return;
  if (handler.GetSOAPVersion() != 11 && wrapper.encodingStyle == SOAP12_ENC_NONE) return;
  decoder.RaiseUnsupportedStyle(u"Unsupported encodingStyle on method wrapper.", true);
}

void BindParameters(MessageHandler& handler, PortDescription& port,
                    const MessageParserEngine& parser, BSTR operation, bool encoded) {
  const AccessorHandler* wrapper = parser.RpcWrapper();
  if (!wrapper) {
    RaiseFault(FaultKind::kSender, u"Unable to process RPC representation in SOAP message.",
               encoded);
  }
  ValueDecoder decoder(handler, port, parser);
  const std::u16string expected = encoded ? ExpectedStyle(handler, port, operation) : u"";
  if (encoded) CheckWrapperStyle(handler, *wrapper, expected, decoder);
  for (const AccessorHandler& child : wrapper->ChildRecords()) {
    const std::u16string_view name = child.LocalName();
    const qxcom::Bstr part = PortArgument(name);
    const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
      return port.GetInputPartType(operation, part.get(), typeName, typeNs, found);
    });
    if (!type) RaiseBadParameter(name);
    const bool builtIn = IsBuiltInTypeNamespace(type->ns);
    qxcom::Variant value;
    if (encoded) {
      const std::u16string siteMessage =
          FormatFaultMessage(u"Parameter: '%s' has invalid reference.", {name});
      if (const AccessorHandler* source = decoder.Follow(child, siteMessage, value.get())) {
        if (builtIn) {
          decoder.SimpleEncoded(expected, *source, type->name, value.get());
        } else {
          decoder.ComplexEncoded(expected, *source, child, source != &child, type->Ref(),
                                 value.get());
        }
      }
    } else if (builtIn) {
      decoder.SimpleLiteral(child, type->name, value.get());
    } else {
      decoder.ComplexLiteral(child, type->Ref(), value.get());
    }
    VARIANT_BOOL out = VARIANT_FALSE;
    const bool isOut = SUCCEEDED(port.IsOutParameter(operation, part.get(), &out)) && out == VARIANT_TRUE;
    Append(handler, name, std::move(value), true, isOut);
  }

  const OperationParts parts = WalkOperationParts(port, operation, true);
  if (!parts.returnName.empty()) handler.SetReturnName(parts.returnName);
  const PlaceholderRules rules = encoded ? PlaceholderRules::kEncoded : PlaceholderRules::kLiteral;
  for (const auto& [position, part] : parts.byPosition) {
    std::optional<qxcom::Variant> placeholder = Placeholder(port, operation, part, rules);
    if (!placeholder) RaiseBadParameter(part);
    Append(handler, part, std::move(*placeholder), false, true);
  }
}

}  // namespace

void BindRequest(MessageHandler& handler, PortDescription& port, const MessageParserEngine& parser,
                 BSTR operation, bool encoded) {
  try {
    BindParameters(handler, port, parser, operation, encoded);
  } catch (QXSOAPFault* fault) {
    if (handler.GetSOAPVersion() != 11 && fault->kind == FaultKind::kSender &&
        fault->subcode.empty()) {
      fault->subcode = u"BadArguments";
      fault->subcodeNS = SOAP12_RPC_NS;
    }
    throw;
  }
}

}  // namespace qxsoap
