#include "rpc/operation_parts.h"

#include <cstring>

#include "decode/port_queries.h"
#include "decode/simple_types.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

// The placeholder type of a built-in type name, by the type table.
std::optional<VARTYPE> BuiltInPlaceholder(std::u16string_view typeName) {
  const std::optional<uint16_t> code = LookUpSimpleType(typeName);
  if (!code) return std::nullopt;
  switch (*code) {
    case kAnyType:
      return VT_BSTR;
    case kDate:
    case kTime:
    case kDateTime:
      return VT_DATE;
    case kBase64:
    case kHexBinary:
      return VT_ARRAY | VT_UI1;
    case kBoolean:
      return VT_BOOL;
    default:
      if (*code < 256) return VARTYPE(*code);
      return std::nullopt;  // a special conversion without a placeholder
  }
}

}  // namespace

OperationParts WalkOperationParts(PortDescription& port, BSTR operation, bool outputsOnly) {
  OperationParts parts;
  LONG cursor = 0;
  VARIANT_BOOL found = VARIANT_FALSE;
  BSTR name = nullptr;
  for (HRESULT hr = port.GetFirstPart(operation, &name, &cursor, &found);
       SUCCEEDED(hr) && found == VARIANT_TRUE;
       hr = port.GetNextPart(operation, &name, &cursor, &found)) {
    const qxcom::Bstr part(std::exchange(name, nullptr));
    if (!PortFlag(&PortDescription::IsParameter, port, operation, part.get())) {
      parts.returnName.assign(part.get() ? part.get() : u"", SysStringLen(part.get()));
      continue;
    }
    if (outputsOnly &&
        PortFlag(&PortDescription::IsInParameter, port, operation, part.get())) {
      continue;
    }
    LONG position = 0;
    VARIANT_BOOL positioned = VARIANT_FALSE;
    if (SUCCEEDED(port.GetPartPosition(operation, part.get(), &position, &positioned)) &&
        positioned != VARIANT_FALSE) {
      parts.byPosition.try_emplace(position, part.get() ? part.get() : u"", SysStringLen(part.get()));
    }
  }
  SysFreeString(name);
  return parts;
}

std::optional<qxcom::Variant> Placeholder(PortDescription& port, BSTR operation,
                                          std::u16string_view part, PlaceholderRules rules) {
  const QueryArgument partName(part);
  const std::optional<PortType> type = AskPortType([&](BSTR* name, BSTR* ns, VARIANT_BOOL* found) {
    return port.GetOutputPartType(operation, partName.get(), name, ns, found);
  });
  if (!type) return std::nullopt;
  std::optional<VARTYPE> placeholder;
  if (IsBuiltInTypeNamespace(type->ns)) {
    placeholder = BuiltInPlaceholder(type->name);
  } else if (rules == PlaceholderRules::kLiteral) {
    placeholder = AskLiteralArrayType(port, type->Ref()) ? VARTYPE(VT_ARRAY | VT_VARIANT) : VARTYPE(VT_DISPATCH);
  } else if (const std::optional<PortType> base = AskBaseType(port, type->Ref())) {
    if (!IsSoapEncodingNamespace(base->ns) || base->name == u"Struct") {
      placeholder = VT_DISPATCH;
    } else if (base->name == u"Array") {
      placeholder = VT_ARRAY | VT_VARIANT;
    }
  }
  if (!placeholder) return std::nullopt;
  // All zero: a null string, array or dispatch, 0, false, date 0.
  qxcom::Variant value;
  std::memset(value.get(), 0, sizeof(VARIANT));
  V_VT(value.get()) = *placeholder;
  return value;
}

}  // namespace qxsoap
