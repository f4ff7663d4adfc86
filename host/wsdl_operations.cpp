// The operations of a SOAP binding: actions, uses, the body parts with
// their directions and positions, header blocks and fault details.
#include <algorithm>

#include "host/wsdl_definitions.h"

namespace qxsoap::host {
namespace {

struct MessagePart {
  std::u16string name;
  TypeName type;
  std::optional<TypeName> element;
};

const MessagePart* FindPart(const std::vector<MessagePart>& parts, std::u16string_view name) {
  auto found =
      std::find_if(parts.begin(), parts.end(), [&](const MessagePart& part) { return part.name == name; });
  return found == parts.end() ? nullptr : &*found;
}

std::optional<std::u16string> OptionalAttribute(const XmlElement* element, std::u16string_view local) {
  if (!element) return std::nullopt;
  const auto value = FindAttribute(*element, u"", local);
  return value ? std::optional<std::u16string>(*value) : std::nullopt;
}

class OperationReader {
 public:
  OperationReader(WsdlDefinitions& wsdl, PortModel& port)
      : wsdl_(wsdl), sources_(wsdl.sources), port_(port) {}

  OperationDeclaration Read(const XmlElement& bindingOperation, const XmlElement& portTypeOperation);

 private:
  const XmlElement* SoapChild(const XmlElement* element, std::u16string_view local) const;
  const XmlElement* WsdlChild(const XmlElement& element, std::u16string_view local) const;
  std::vector<MessagePart> Parts(const XmlElement& message);
  std::vector<MessagePart> BodyParts(const XmlElement* portTypeMessage, const XmlElement* bindingMessage);
  void ReadHeaders(const XmlElement* bindingMessage, TypeMap<BlockDeclaration>& headers,
                   OperationDeclaration& operation);
  std::pair<TypeName, BlockDeclaration> ReadBlock(const XmlElement& soapBlock, const XmlElement& message,
                                                  std::u16string_view partName);
  void ReadFaults(const XmlElement& bindingOperation, const XmlElement& portTypeOperation,
                  OperationDeclaration& operation);
  void OrderParts(const XmlElement& portTypeOperation, const std::vector<MessagePart>& inputs,
                  const std::vector<MessagePart>& outputs, OperationDeclaration& operation);

  WsdlDefinitions& wsdl_;
  const WsdlSources& sources_;
  PortModel& port_;
};

const XmlElement* OperationReader::SoapChild(const XmlElement* element, std::u16string_view local) const {
  if (!element) return nullptr;
  for (const XmlElement& child : element->Children()) {
    if (Is(child, port_.bindingNS, local)) return &child;
  }
  return nullptr;
}

const XmlElement* OperationReader::WsdlChild(const XmlElement& element, std::u16string_view local) const {
  for (const XmlElement& child : element.Children()) {
    if (Is(child, WSDL_NS, local)) return &child;
  }
  return nullptr;
}

std::vector<MessagePart> OperationReader::Parts(const XmlElement& message) {
  std::vector<MessagePart> parts;
  for (const XmlElement& part : message.Children()) {
    if (!Is(part, WSDL_NS, u"part")) continue;
    MessagePart read{std::u16string(sources_.Required(part, u"name")), {}, {}};
    if (const auto element = FindAttribute(part, u"", u"element")) {
      read.element = sources_.Resolve(part, *element);
      read.type = wsdl_.schemas.ElementType(*read.element, part);
    } else if (const auto type = FindAttribute(part, u"", u"type")) {
      read.type = sources_.Resolve(part, *type);
      wsdl_.schemas.CheckType(read.type, part);
    } else {
      sources_.Fail(part, "the part " + Narrow(read.name) + " has neither element nor type");
    }
    parts.push_back(std::move(read));
  }
  return parts;
}

// The parts of a message bound to the body: those soap:body lists, or all
// but the ones bound to a header of the same message.
std::vector<MessagePart> OperationReader::BodyParts(const XmlElement* portTypeMessage,
                                                    const XmlElement* bindingMessage) {
  if (!portTypeMessage) return {};
  const XmlElement& message = wsdl_.Find(wsdl_.messages, *portTypeMessage, u"message");
  std::vector<MessagePart> parts = Parts(message);
  const XmlElement* body = SoapChild(bindingMessage, u"body");
  if (!body)
    sources_.Fail(bindingMessage ? *bindingMessage : *portTypeMessage,
                  "the binding gives this message no soap:body");
  if (const auto listed = FindAttribute(*body, u"", u"parts")) {
    std::vector<MessagePart> chosen;
    for (std::u16string_view name : Tokens(*listed)) {
      const MessagePart* part = FindPart(parts, name);
      if (!part) sources_.Fail(*body, "soap:body names the part " + Narrow(name) + " that its message lacks");
      chosen.push_back(*part);
    }
    return chosen;
  }
  for (const XmlElement& header : bindingMessage->Children()) {
    if (!Is(header, port_.bindingNS, u"header")) continue;
    if (&wsdl_.Find(wsdl_.messages, header, u"message") != &message) continue;
    const std::u16string_view name = sources_.Required(header, u"part");
    std::erase_if(parts, [&](const MessagePart& part) { return part.name == name; });
  }
  return parts;
}

std::pair<TypeName, BlockDeclaration> OperationReader::ReadBlock(const XmlElement& soapBlock,
                                                                 const XmlElement& message,
                                                                 std::u16string_view partName) {
  const std::vector<MessagePart> parts = Parts(message);
  const MessagePart* part = FindPart(parts, partName);
  if (!part) sources_.Fail(soapBlock, "the message has no part " + Narrow(partName));
  TypeName key =
      part->element
          ? *part->element
          : TypeName{part->name, std::u16string(FindAttribute(soapBlock, u"", u"namespace").value_or(u""))};
  BlockDeclaration block{part->type, OptionalAttribute(&soapBlock, u"encodingStyle").value_or(u""),
                         OptionalAttribute(&soapBlock, u"use").value_or(u"")};
  return {std::move(key), std::move(block)};
}

void OperationReader::ReadHeaders(const XmlElement* bindingMessage,
                                  TypeMap<BlockDeclaration>& headers,
                                  OperationDeclaration& operation) {
  if (!bindingMessage) return;
  for (const XmlElement& child : bindingMessage->Children()) {
    if (child.NamespaceUri() != port_.bindingNS) {
      if (child.NamespaceUri() != WSDL_NS)
        sources_.Fail(child, "the binding extension " + Narrow(child.QualifiedName()) + " is not supported",
                      bindingMessage);
      continue;
    }
    if (child.LocalName() == u"body") continue;
    if (child.LocalName() != u"header")
      sources_.Fail(child, "soap:" + Narrow(child.LocalName()) + " is not supported here", bindingMessage);
    auto [key, block] =
        ReadBlock(child, wsdl_.Find(wsdl_.messages, child, u"message"), sources_.Required(child, u"part"));
    port_.headerTypes[key] = block.type;
    headers[std::move(key)] = std::move(block);
    for (const XmlElement& fault : child.Children()) {
      if (!Is(fault, port_.bindingNS, u"headerfault")) continue;
      auto [faultKey, faultBlock] =
          ReadBlock(fault, wsdl_.Find(wsdl_.messages, fault, u"message"), sources_.Required(fault, u"part"));
      port_.headerTypes[faultKey] = faultBlock.type;
      operation.faultHeaders[std::move(faultKey)] = std::move(faultBlock);
    }
  }
}

void OperationReader::ReadFaults(const XmlElement& bindingOperation, const XmlElement& portTypeOperation,
                                 OperationDeclaration& operation) {
  for (const XmlElement& fault : bindingOperation.Children()) {
    if (!Is(fault, WSDL_NS, u"fault")) continue;
    const std::u16string_view name = sources_.Required(fault, u"name");
    const XmlElement* soapFault = SoapChild(&fault, u"fault");
    if (!soapFault) sources_.Fail(fault, "the fault " + Narrow(name) + " has no soap:fault");
    const XmlElement* abstract = nullptr;
    for (const XmlElement& candidate : portTypeOperation.Children()) {
      if (Is(candidate, WSDL_NS, u"fault") && FindAttribute(candidate, u"", u"name") == name)
        abstract = &candidate;
    }
    if (!abstract) sources_.Fail(fault, "the port type operation has no fault " + Narrow(name));
    const XmlElement& message = wsdl_.Find(wsdl_.messages, *abstract, u"message");
    const std::vector<MessagePart> parts = Parts(message);
    if (parts.size() != 1) sources_.Fail(message, "a fault message must have exactly one part");
    auto [key, block] = ReadBlock(*soapFault, message, parts.front().name);
    operation.faultDetails[std::move(key)] = std::move(block);
  }
}

void OperationReader::OrderParts(const XmlElement& portTypeOperation, const std::vector<MessagePart>& inputs,
                                 const std::vector<MessagePart>& outputs, OperationDeclaration& operation) {
  std::vector<std::u16string_view> order;
  const MessagePart* returned = nullptr;
  if (const auto parameterOrder = FindAttribute(portTypeOperation, u"", u"parameterOrder")) {
    order = Tokens(*parameterOrder);
    const auto listed = [&](const MessagePart& part) {
      return std::find(order.begin(), order.end(), part.name) != order.end();
    };
    for (std::u16string_view name : order) {
      if (!FindPart(inputs, name) && !FindPart(outputs, name)) {
        sources_.Fail(portTypeOperation, "parameterOrder names " + Narrow(name) + ", which no body part is");
      }
    }
    for (const MessagePart& part : inputs) {
      if (!listed(part))
        sources_.Fail(portTypeOperation, "parameterOrder leaves out the input part " + Narrow(part.name));
    }
    for (const MessagePart& part : outputs) {
      if (listed(part)) continue;
      if (returned) sources_.Fail(portTypeOperation, "parameterOrder leaves out more than one output part");
      returned = &part;
    }
  } else {
    std::vector<const MessagePart*> outputOnly;
    for (const MessagePart& part : outputs) {
      if (!FindPart(inputs, part.name)) outputOnly.push_back(&part);
    }
    if (outputOnly.size() == 1) returned = outputOnly.front();
    for (const MessagePart& part : inputs) order.push_back(part.name);
    for (const MessagePart* part : outputOnly) {
      if (part != returned) order.push_back(part->name);
    }
  }
  for (std::u16string_view name : order) {
    const MessagePart* in = FindPart(inputs, name);
    const MessagePart* out = FindPart(outputs, name);
    PartDeclaration& declared = operation.parts.emplace_back(PartDeclaration{
        std::u16string(name), (in ? in : out)->type, in != nullptr, out != nullptr, false, {}});
    if (in && out && in->type != out->type) declared.outputType = out->type;
  }
  if (returned) operation.parts.push_back({returned->name, returned->type, false, true, true, {}});
}

OperationDeclaration OperationReader::Read(const XmlElement& bindingOperation,
                                           const XmlElement& portTypeOperation) {
  OperationDeclaration operation;
  const XmlElement* soapOperation = SoapChild(&bindingOperation, u"operation");
  if (const auto style = soapOperation ? FindAttribute(*soapOperation, u"", u"style") : std::nullopt;
      style && *style != port_.style) {
    sources_.Fail(*soapOperation, "the operation style " + Narrow(*style) +
                                      " differs from the binding style " + Narrow(port_.style) +
                                      "; a port has one style");
  }
  operation.action = OptionalAttribute(soapOperation, u"soapAction");
  // SOAP 1.1 over HTTP always carries a SOAPAction; the SOAP 1.2 binding
  // requires one unless it says otherwise.
  operation.actionRequired = VARIANT_TRUE;
  if (const auto required = OptionalAttribute(soapOperation, u"soapActionRequired");
      required && port_.bindingNS == WSDL_SOAP12_NS) {
    if (*required == u"false" || *required == u"0") {
      operation.actionRequired = VARIANT_FALSE;
    } else if (*required != u"true" && *required != u"1") {
      sources_.Fail(*soapOperation, "soapActionRequired " + Narrow(*required) + " is not a boolean");
    }
  }
  const XmlElement* bindingInput = WsdlChild(bindingOperation, u"input");
  const XmlElement* bindingOutput = WsdlChild(bindingOperation, u"output");
  const XmlElement* inputBody = SoapChild(bindingInput, u"body");
  const XmlElement* outputBody = SoapChild(bindingOutput, u"body");
  operation.inputUse = OptionalAttribute(inputBody, u"use");
  operation.outputUse = OptionalAttribute(outputBody, u"use");
  operation.inputEncodingStyle = OptionalAttribute(inputBody, u"encodingStyle");
  operation.outputEncodingStyle = OptionalAttribute(outputBody, u"encodingStyle");

  const std::vector<MessagePart> inputs = BodyParts(WsdlChild(portTypeOperation, u"input"), bindingInput);
  const std::vector<MessagePart> outputs = BodyParts(WsdlChild(portTypeOperation, u"output"), bindingOutput);
  OrderParts(portTypeOperation, inputs, outputs, operation);
  if (port_.style == u"rpc") {
    operation.ns = OptionalAttribute(inputBody, u"namespace").value_or(u"");
  } else if (!inputs.empty() && inputs.front().element) {
    operation.ns = inputs.front().element->ns;
  }
  ReadHeaders(bindingInput, operation.inputHeaders, operation);
  ReadHeaders(bindingOutput, operation.outputHeaders, operation);
  ReadFaults(bindingOperation, portTypeOperation, operation);
  return operation;
}

}  // namespace

void ReadOperations(WsdlDefinitions& wsdl, const XmlElement& binding, PortModel& port) {
  const XmlElement& portType = wsdl.Find(wsdl.portTypes, binding, u"type");
  OperationReader reader(wsdl, port);
  for (const XmlElement& bindingOperation : binding.Children()) {
    if (!Is(bindingOperation, WSDL_NS, u"operation")) continue;
    const std::u16string_view name = wsdl.sources.Required(bindingOperation, u"name");
    const XmlElement* abstract = nullptr;
    for (const XmlElement& candidate : portType.Children()) {
      if (Is(candidate, WSDL_NS, u"operation") && FindAttribute(candidate, u"", u"name") == name)
        abstract = &candidate;
    }
    if (!abstract) wsdl.sources.Fail(bindingOperation, "the port type has no operation " + Narrow(name));
    if (port.operations.contains(std::u16string(name))) {
      wsdl.sources.Fail(bindingOperation,
                        "the operation " + Narrow(name) + " is overloaded; operations need distinct names");
    }
    port.operations.emplace(std::u16string(name), reader.Read(bindingOperation, *abstract));
  }
}

}  // namespace qxsoap::host
