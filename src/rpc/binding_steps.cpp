#include "rpc/binding_steps.h"

#include "frame/message_handler.h"
#include "model/fault_message.h"
#include "model/soap_version.h"
#include "xml/namespaces.h"

namespace qxsoap {

void RaiseBadParameter(std::u16string_view name) {
  RaiseFault(FaultKind::kSender, FormatFaultMessage(u"Bad parameter: '%s'.", {name}), true);
}

const AccessorHandler& RequireWrapper(const MessageParserEngine& parser, bool encoded) {
  const AccessorHandler* wrapper = parser.RpcWrapper();
  if (!wrapper) {
    RaiseFault(FaultKind::kSender, u"Unable to process RPC representation in SOAP message.",
               encoded);
  }
  return *wrapper;
}

std::u16string ExpectedStyle(const MessageHandler& handler, PortDescription& port, BSTR operation,
                             BoundMessage message) {
  std::optional<std::u16string> declared = AskPortText([&](BSTR* style, VARIANT_BOOL* found) {
    return message == BoundMessage::kInput ? port.GetInputEncodingStyle(operation, style, found)
                                           : port.GetOutputEncodingStyle(operation, style, found);
  });
  if (declared) return std::move(*declared);
  return std::u16string(EncodingNamespace(handler.GetSOAPVersion()));
}

void CheckWrapperStyle(const MessageHandler& handler, const AccessorHandler& wrapper,
                       std::u16string_view expected, const ValueDecoder& decoder,
                       std::u16string message) {
  if (wrapper.encodingStyle.empty() || wrapper.encodingStyle == expected) return;
  if (handler.GetSOAPVersion() != 11 && wrapper.encodingStyle == SOAP12_ENC_NONE) return;
  decoder.RaiseUnsupportedStyle(std::move(message), true);
}

qxcom::Variant DecodePart(ValueDecoder& decoder, const AccessorHandler& accessor, const PortType& type,
                          bool encoded, std::u16string_view expectedStyle, std::u16string_view name) {
  const bool builtIn = IsBuiltInTypeNamespace(type.ns);
  qxcom::Variant value;
  if (encoded) {
    const ValueDecoder::SiteMessage site{u"Parameter: '%s' has invalid reference.", name};
    if (const AccessorHandler* source = decoder.Follow(accessor, site, value.get()).source) {
      if (builtIn) {
        decoder.SimpleEncoded(expectedStyle, *source, type.name, value.get());
      } else {
        decoder.ComplexEncoded(expectedStyle, *source, accessor, source != &accessor, type.Ref(),
                               value.get());
      }
    }
  } else if (builtIn) {
    decoder.SimpleLiteral(accessor, type.name, value.get());
  } else {
    decoder.ComplexLiteral(accessor, type.Ref(), value.get());
  }
  return value;
}

void AppendParameter(MessageHandler& handler, std::u16string_view name, qxcom::Variant value,
                     bool isIn, bool isOut) {
  if (handler.AddBoundMethodParam(name, std::move(value), isIn, isOut) != S_OK) {
    RaiseInternalError(true);
  }
}

void AddBindingSubcode(const MessageHandler& handler, QXSOAPFault& fault) {
  if (handler.GetSOAPVersion() != 11 && fault.kind == FaultKind::kSender && fault.subcode.empty()) {
    fault.subcode = u"BadArguments";
    fault.subcodeNS = SOAP12_RPC_NS;
  }
}

}  // namespace qxsoap
