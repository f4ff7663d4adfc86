// host/wsdl_model.h: what the WSDL reader understood of one port, before it
// becomes a MemoryPort: the port, its operations and the schema types, in
// the order a person reading them expects.
#ifndef QXSOAP_HOST_WSDL_MODEL_H_
#define QXSOAP_HOST_WSDL_MODEL_H_

#include <optional>
#include <string>
#include <vector>

#include "host/memory_port.h"

namespace qxsoap::host {

// A struct member: the element's name and namespace, and its schema type.
struct MemberModel {
  TypeName element;
  TypeName type;
};

// A named schema type (or the anonymous type of a global element, named
// after the element).
struct TypeModel {
  TypeName name;
  // What it derives from; a complexType derived from nothing is its own base.
  TypeName base;
  bool isComplex = false;
  // Element members in order, the base's first.
  std::vector<MemberModel> members;
  // A SOAP-encoded array: its item type and dimension count.
  std::optional<TypeName> arrayItem;
  long arrayRank = 0;
  // A literal array: the repeated element's type and name.
  std::optional<MemberModel> literalItem;
};

struct PortModel {
  std::u16string service, port, binding;
  std::u16string bindingNS;
  std::u16string style;
  std::optional<std::u16string> address;
  std::u16string host, path;
  long tcpPort = 0;
  // Operations by name; their parts are in walk order: parameters by
  // position, then the return value.
  std::map<std::u16string, OperationDeclaration> operations;
  std::map<TypeName, TypeName> headerTypes;
  std::vector<TypeModel> types;
};

// Reads the port `portName` (empty: the first SOAP port) of the WSDL file
// at `path`. Throws WsdlError.
PortModel ReadWsdlPort(const std::string& path, const std::string& portName);

// The port description that answers from `model`.
qxcom::ComPtr<MemoryPort> DescribePort(const PortModel& model);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_WSDL_MODEL_H_
