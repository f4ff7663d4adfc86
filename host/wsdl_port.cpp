// A port description from a WSDL file: the model the reader understood,
// declared on an in-memory port.
#include "qxsoap/wsdl_port.h"

#include <exception>

#include "host/wsdl_model.h"

namespace qxsoap::host {

qxcom::ComPtr<MemoryPort> DescribePort(const PortModel& model) {
  auto port = MemoryPort::Create();
  port->Binding(model.bindingNS).Style(model.style);
  if (model.address) port->Address(model.host, model.path, model.tcpPort);
  for (const auto& [name, operation] : model.operations) port->Operation(name, operation);
  for (const auto& [element, type] : model.headerTypes) port->HeaderType(element, type);
  for (const TypeModel& type : model.types) {
    if (type.arrayItem) {
      port->Array(type.name, *type.arrayItem, type.arrayRank, type.base.ns);
      continue;
    }
    if (type.isComplex) {
      StructBuilder members = port->Struct(type.name);
      for (const MemberModel& member : type.members)
        members.Member(member.element.name, member.type, member.element.ns);
    }
    if (type.literalItem) port->LiteralArray(type.name, type.literalItem->type, type.literalItem->element);
    port->Derived(type.name, type.base);
  }
  return port;
}

PortDescription* LoadWsdlPort(const char* path, const char* portName, WsdlError* error) {
  try {
    return DescribePort(ReadWsdlPort(path ? path : "", portName ? portName : "")).release();
  } catch (const WsdlError& refused) {
    *error = refused;
  } catch (const std::exception& failure) {
    *error = {path ? path : "", 0, failure.what()};
  }
  return nullptr;
}

}  // namespace qxsoap::host
