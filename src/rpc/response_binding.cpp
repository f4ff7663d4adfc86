#include "rpc/response_binding.h"

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "rpc/binding_steps.h"

namespace qxsoap {
namespace {

void BindResult(MessageHandler& handler, PortDescription& port, const MessageParserEngine& parser,
                const AccessorHandler& wrapper, BSTR operation, bool encoded) {
  ValueDecoder decoder(handler, port, parser);
  const std::u16string expected =
      encoded ? ExpectedStyle(handler, port, operation, BoundMessage::kOutput) : u"";
  if (encoded) {
    CheckWrapperStyle(handler, wrapper, expected, decoder,
                      u"encodingStyle on method wrapper conflicts with WSDL definition.");
  }
  const bool soap11 = handler.GetSOAPVersion() == 11;
  const std::optional<MessageParserEngine::AccessorName> resultName = parser.ResultName();
  bool returnTaken = false;
  bool first = true;
  for (const AccessorHandler& child : wrapper.ChildRecords()) {
    const std::u16string_view name = child.LocalName();
    const QueryArgument part(name);
    const bool isReturn =
        soap11 ? first && !PortFlag(&PortDescription::IsParameter, port, operation, part.get())
               : resultName && !returnTaken && resultName->localName == name &&
                     resultName->namespaceUri == child.NamespaceUri();
    first = false;
    const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
      return isReturn ? port.GetReturnType(operation, part.get(), typeName, typeNs, found)
                      : port.GetOutputPartType(operation, part.get(), typeName, typeNs, found);
    });
    if (!type) RaiseBadParameter(name);
    qxcom::Variant value = DecodePart(decoder, child, *type, encoded, expected, name);
    if (isReturn) {
      returnTaken = true;
      if (FAILED(handler.SetReturnValue(value.get()))) RaiseInternalError(true);
    } else {
      AppendParameter(handler, name, std::move(value),
                      PortFlag(&PortDescription::IsInParameter, port, operation, part.get()), true);
    }
  }
  if (resultName && !returnTaken) {
    VARIANT null;
    V_VT(&null) = VT_NULL;
    handler.SetReturnValue(&null);
  }
}

}  // namespace

void BindResponse(MessageHandler& handler, PortDescription& port, const MessageParserEngine& parser,
                  BSTR operation, bool encoded) {
  // A message without a wrapper is not a call: no BadArguments subcode.
  const AccessorHandler& wrapper = RequireWrapper(parser, encoded);
  try {
    BindResult(handler, port, parser, wrapper, operation, encoded);
  } catch (QXSOAPFault* fault) {
    AddBindingSubcode(handler, *fault);
    throw;
  }
}

}  // namespace qxsoap
