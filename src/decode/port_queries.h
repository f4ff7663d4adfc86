// Calls into the host's port description. Its operations take BSTRs and
// hand out BSTRs with a found flag; these helpers make the arguments from
// views and read the answers into owned strings, so no BSTR leaks on any
// path.
#ifndef QXSOAP_DECODE_PORT_QUERIES_H_
#define QXSOAP_DECODE_PORT_QUERIES_H_

#include <optional>
#include <string>
#include <string_view>

#include "model/fault_record.h"
#include "qxcom/owned.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

// A BSTR argument holding `text` for one call into the port, made without
// an allocation when short (see qxcom::ArgumentBstr): the port is asked for
// every struct member type and array item type a message meets. Raises the
// Receiver fault "Internal error." when memory runs out.
class QueryArgument : public qxcom::ArgumentBstr {
 public:
  explicit QueryArgument(std::u16string_view text) : ArgumentBstr(text) {
    if (!get()) RaiseInternalError(false);
  }
};

// The text a port operation hands out, or nullopt when it reports "not
// found" or fails. `call(BSTR* text, VARIANT_BOOL* found)` makes the call.
template <typename Call>
std::optional<std::u16string> AskPortText(Call call) {
  BSTR out = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = call(&out, &found);
  const qxcom::Bstr owned(out);
  if (FAILED(hr) || found == VARIANT_FALSE) return std::nullopt;
  return std::u16string(out ? out : u"", SysStringLen(out));
}

// A type as the port description names it, by views (arguments) or owned
// (answers).
struct TypeRef {
  std::u16string_view name;
  std::u16string_view ns;
};
struct PortType {
  std::u16string name;
  std::u16string ns;
  TypeRef Ref() const { return {name, ns}; }
};

// The type a port operation hands out as a name and a namespace, or nullopt
// when it reports "not found" or fails. `call(BSTR* name, BSTR* ns,
// VARIANT_BOOL* found)` makes the call.
template <typename Call>
std::optional<PortType> AskPortType(Call call) {
  BSTR name = nullptr;
  BSTR ns = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = call(&name, &ns, &found);
  const qxcom::Bstr ownedName(name);
  const qxcom::Bstr ownedNs(ns);
  if (FAILED(hr) || found == VARIANT_FALSE) return std::nullopt;
  return PortType{{name ? name : u"", SysStringLen(name)}, {ns ? ns : u"", SysStringLen(ns)}};
}

// A flag the port answers for a part of `operation` (IsParameter,
// IsInParameter, IsOutParameter): true only when it says exactly
// VARIANT_TRUE.
bool PortFlag(HRESULT (STDMETHODCALLTYPE PortDescription::*query)(BSTR, BSTR, VARIANT_BOOL*),
              PortDescription& port, BSTR operation, BSTR part);

std::optional<PortType> AskBaseType(PortDescription& port, TypeRef type);
std::optional<PortType> AskMemberType(PortDescription& port, TypeRef type, TypeRef member);
std::optional<PortType> AskArrayItemType(PortDescription& port, TypeRef type);
std::optional<LONG> AskArrayRank(PortDescription& port, TypeRef type);

// The message of an operation a header block belongs to.
enum class HeaderMessage { kInput, kOutput, kFault };

// The type of the header block `block` (local name and namespace) of
// `operation`'s `message`, else the type any header of the port with that
// name has; nullopt when neither is known.
std::optional<PortType> AskHeaderType(PortDescription& port, HeaderMessage message, BSTR operation,
                                      TypeRef block);
// The encodingStyle the port declares for that header block, or nullopt.
std::optional<std::u16string> AskHeaderEncodingStyle(PortDescription& port, HeaderMessage message,
                                                     BSTR operation, TypeRef block);

// What the port says of a literal array type: its items' type and element.
struct LiteralArrayType {
  PortType itemType;
  PortType itemElement;
};
// Nullopt unless the port answers that `type` is a literal array (a flag
// of exactly VARIANT_TRUE).
std::optional<LiteralArrayType> AskLiteralArrayType(PortDescription& port, TypeRef type);

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_PORT_QUERIES_H_
