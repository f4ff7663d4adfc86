// The in-memory port description: the declaration builders.
#include "host/memory_port.h"

namespace qxsoap::host {

OperationBuilder& OperationBuilder::Namespace(std::u16string_view ns) {
  operation_.ns = ns;
  return *this;
}

OperationBuilder& OperationBuilder::Action(std::u16string_view action, bool required) {
  operation_.action = std::u16string(action);
  operation_.actionRequired = required ? VARIANT_TRUE : VARIANT_FALSE;
  return *this;
}

OperationBuilder& OperationBuilder::Use(std::u16string_view use) { return InputUse(use).OutputUse(use); }

OperationBuilder& OperationBuilder::InputUse(std::u16string_view use) {
  operation_.inputUse = std::u16string(use);
  return *this;
}

OperationBuilder& OperationBuilder::OutputUse(std::u16string_view use) {
  operation_.outputUse = std::u16string(use);
  return *this;
}

OperationBuilder& OperationBuilder::EncodingStyle(std::u16string_view style) {
  operation_.inputEncodingStyle = std::u16string(style);
  operation_.outputEncodingStyle = std::u16string(style);
  return *this;
}

OperationBuilder& OperationBuilder::AddPart(std::u16string_view part, TypeName type, bool isIn, bool isOut,
                                            bool isReturn) {
  operation_.parts.push_back({std::u16string(part), std::move(type), isIn, isOut, isReturn, {}});
  return *this;
}

OperationBuilder& OperationBuilder::In(std::u16string_view part, TypeName type) {
  return AddPart(part, std::move(type), true, false, false);
}

OperationBuilder& OperationBuilder::Out(std::u16string_view part, TypeName type) {
  return AddPart(part, std::move(type), false, true, false);
}

OperationBuilder& OperationBuilder::InOut(std::u16string_view part, TypeName type) {
  return AddPart(part, std::move(type), true, true, false);
}

OperationBuilder& OperationBuilder::Return(std::u16string_view part, TypeName type) {
  return AddPart(part, std::move(type), false, true, true);
}

OperationBuilder& OperationBuilder::InputHeader(TypeName element, TypeName type,
                                                std::u16string_view encodingStyle) {
  operation_.inputHeaders[std::move(element)] = {std::move(type), std::u16string(encodingStyle), {}};
  return *this;
}

OperationBuilder& OperationBuilder::OutputHeader(TypeName element, TypeName type,
                                                 std::u16string_view encodingStyle) {
  operation_.outputHeaders[std::move(element)] = {std::move(type), std::u16string(encodingStyle), {}};
  return *this;
}

OperationBuilder& OperationBuilder::FaultHeader(TypeName element, TypeName type,
                                                std::u16string_view encodingStyle) {
  operation_.faultHeaders[std::move(element)] = {std::move(type), std::u16string(encodingStyle), {}};
  return *this;
}

OperationBuilder& OperationBuilder::FaultDetail(TypeName element, TypeName type, std::u16string_view use,
                                                std::u16string_view encodingStyle) {
  operation_.faultDetails[std::move(element)] = {std::move(type), std::u16string(encodingStyle),
                                                 std::u16string(use)};
  return *this;
}

StructBuilder& StructBuilder::Member(std::u16string_view member, TypeName type,
                                     std::u16string_view memberNS) {
  port_.members_[MemberKey{type_, std::u16string(member), std::u16string(memberNS)}] = std::move(type);
  return *this;
}

// ---- Declarations ----

qxcom::ComPtr<MemoryPort> MemoryPort::Create() { return qxcom::ComPtr<MemoryPort>::Adopt(new MemoryPort); }

MemoryPort& MemoryPort::Binding(std::u16string_view bindingNS) {
  bindingNS_ = std::u16string(bindingNS);
  return *this;
}

MemoryPort& MemoryPort::Style(std::u16string_view style) {
  style_ = std::u16string(style);
  return *this;
}

MemoryPort& MemoryPort::Address(std::u16string_view host, std::u16string_view path, LONG port) {
  address_.host = host;
  address_.path = path;
  address_.port = port;
  hasAddress_ = true;
  return *this;
}

OperationBuilder MemoryPort::Operation(std::u16string_view name) {
  return OperationBuilder(operations_[std::u16string(name)]);
}

MemoryPort& MemoryPort::Operation(std::u16string_view name, OperationDeclaration operation) {
  operations_[std::u16string(name)] = std::move(operation);
  return *this;
}

StructBuilder MemoryPort::Struct(TypeName type) {
  bases_[type] = type;
  return StructBuilder(*this, std::move(type));
}

MemoryPort& MemoryPort::Array(TypeName type, TypeName item, LONG rank, std::u16string_view encodingNS) {
  bases_[type] = {u"Array", std::u16string(encodingNS)};
  encodedArrays_[std::move(type)] = {std::move(item), rank};
  return *this;
}

MemoryPort& MemoryPort::LiteralArray(TypeName type, TypeName itemType, TypeName itemElement) {
  literalArrays_[std::move(type)] = {std::move(itemType), std::move(itemElement)};
  return *this;
}

MemoryPort& MemoryPort::Derived(TypeName type, TypeName base) {
  bases_[std::move(type)] = std::move(base);
  return *this;
}

MemoryPort& MemoryPort::HeaderType(TypeName element, TypeName type) {
  headerTypes_[std::move(element)] = std::move(type);
  return *this;
}

MemoryPort& MemoryPort::WithoutPortDescriptionInterface() {
  offersInterface_ = false;
  return *this;
}

}  // namespace qxsoap::host
