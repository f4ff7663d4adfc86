// The parts of an operation as the binding needs them: the return value's
// name, the parameters by WSDL position, and the empty typed value that
// stands for a part the host is to fill in.
#ifndef QXSOAP_RPC_OPERATION_PARTS_H_
#define QXSOAP_RPC_OPERATION_PARTS_H_

#include <map>
#include <optional>
#include <string>

#include "qxcom/owned.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

struct OperationParts {
  std::u16string returnName;  // empty when the operation has no return value
  // Parameter parts by ascending position; a position reported twice keeps
  // the first part that reported it.
  std::map<LONG, std::u16string> byPosition;
};

// Walks the parts of `operation`. With `outputsOnly`, parts that are inputs
// (IsInParameter exactly VARIANT_TRUE) are left out of byPosition.
OperationParts WalkOperationParts(PortDescription& port, BSTR operation, bool outputsOnly);

// How a part's type that is no built-in type maps to a placeholder.
enum class PlaceholderRules {
  kEncoded,  // by the base type: "Array" or "Struct" in an encoding namespace, or a struct
  kLiteral,  // a literal array type, else a struct
};

// The empty value of `part`'s output type: a null string, zero, false,
// date 0, a null array of VARIANT or a null dispatch. Nullopt when the port
// does not type the part or the type has no placeholder.
std::optional<qxcom::Variant> Placeholder(PortDescription& port, BSTR operation,
                                          std::u16string_view part, PlaceholderRules rules);

}  // namespace qxsoap

#endif  // QXSOAP_RPC_OPERATION_PARTS_H_
