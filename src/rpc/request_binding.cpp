#include "rpc/request_binding.h"

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "rpc/binding_steps.h"
#include "rpc/operation_parts.h"

namespace qxsoap {
namespace {

void BindParameters(MessageHandler& handler, PortDescription& port,
                    const MessageParserEngine& parser, const AccessorHandler& wrapper,
                    BSTR operation, bool encoded) {
  ValueDecoder decoder(handler, port, parser);
  const std::u16string expected =
      encoded ? ExpectedStyle(handler, port, operation, BoundMessage::kInput) : u"";
  if (encoded) {
    CheckWrapperStyle(handler, wrapper, expected, decoder, u"Unsupported encodingStyle on method wrapper.");
  }
  for (const AccessorHandler& child : wrapper.ChildRecords()) {
    const std::u16string_view name = child.LocalName();
    const QueryArgument part(name);
    const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
      return port.GetInputPartType(operation, part.get(), typeName, typeNs, found);
    });
    if (!type) RaiseBadParameter(name);
    qxcom::Variant value = DecodePart(decoder, child, *type, encoded, expected, name);
    AppendParameter(handler, name, std::move(value), true, PortFlag(&PortDescription::IsOutParameter, port, operation, part.get()));
  }

  const OperationParts parts = WalkOperationParts(port, operation, true);
  if (!parts.returnName.empty()) handler.SetReturnName(parts.returnName);
  const PlaceholderRules rules = encoded ? PlaceholderRules::kEncoded : PlaceholderRules::kLiteral;
  for (const auto& [position, part] : parts.byPosition) {
    std::optional<qxcom::Variant> placeholder = Placeholder(port, operation, part, rules);
    if (!placeholder) RaiseBadParameter(part);
    AppendParameter(handler, part, std::move(*placeholder), false, true);
  }
}

}  // namespace

void BindRequest(MessageHandler& handler, PortDescription& port, const MessageParserEngine& parser,
                 BSTR operation, bool encoded) {
  // A message without a wrapper is not a call: no BadArguments subcode.
  const AccessorHandler& wrapper = RequireWrapper(parser, encoded);
  try {
    BindParameters(handler, port, parser, wrapper, operation, encoded);
  } catch (QXSOAPFault* fault) {
    AddBindingSubcode(handler, *fault);
    throw;
  }
}

}  // namespace qxsoap
