#include "decode/port_queries.h"

#include "model/fault_record.h"

namespace qxsoap {

bool PortFlag(HRESULT (STDMETHODCALLTYPE PortDescription::*query)(BSTR, BSTR, VARIANT_BOOL*),
              PortDescription& port, BSTR operation, BSTR part) {
  VARIANT_BOOL flag = VARIANT_FALSE;
  return SUCCEEDED((port.*query)(operation, part, &flag)) && flag == VARIANT_TRUE;
}

std::optional<PortType> AskBaseType(PortDescription& port, TypeRef type) {
  const QueryArgument name(type.name);
  const QueryArgument ns(type.ns);
  return AskPortType([&](BSTR* baseName, BSTR* baseNs, VARIANT_BOOL* found) {
    return port.GetBaseType(name.get(), ns.get(), baseName, baseNs, found);
  });
}

std::optional<PortType> AskMemberType(PortDescription& port, TypeRef type, TypeRef member) {
  const QueryArgument name(type.name);
  const QueryArgument ns(type.ns);
  const QueryArgument memberName(member.name);
  const QueryArgument memberNs(member.ns);
  return AskPortType([&](BSTR* memberTypeName, BSTR* memberTypeNs, VARIANT_BOOL* found) {
    return port.GetMemberType(name.get(), ns.get(), memberName.get(), memberNs.get(), memberTypeName,
                              memberTypeNs, found);
  });
}

std::optional<PortType> AskArrayItemType(PortDescription& port, TypeRef type) {
  const QueryArgument name(type.name);
  const QueryArgument ns(type.ns);
  return AskPortType([&](BSTR* itemName, BSTR* itemNs, VARIANT_BOOL* found) {
    return port.GetArrayItemType(name.get(), ns.get(), itemName, itemNs, found);
  });
}

std::optional<LONG> AskArrayRank(PortDescription& port, TypeRef type) {
  const QueryArgument name(type.name);
  const QueryArgument ns(type.ns);
  LONG rank = 0;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = port.GetArrayRank(name.get(), ns.get(), &rank, &found);
  if (FAILED(hr) || found == VARIANT_FALSE) return std::nullopt;
  return rank;
}

std::optional<LiteralArrayType> AskLiteralArrayType(PortDescription& port, TypeRef type) {
  const QueryArgument name(type.name);
  const QueryArgument ns(type.ns);
  BSTR out[4] = {};
  VARIANT_BOOL isArray = VARIANT_FALSE;
  const HRESULT hr =
      port.GetLiteralArrayType(name.get(), ns.get(), &out[0], &out[1], &out[2], &out[3], &isArray);
  const qxcom::Bstr owned[4] = {qxcom::Bstr(out[0]), qxcom::Bstr(out[1]), qxcom::Bstr(out[2]),
                                qxcom::Bstr(out[3])};
  if (FAILED(hr) || isArray != VARIANT_TRUE) return std::nullopt;
  const auto text = [](BSTR value) { return std::u16string(value ? value : u"", SysStringLen(value)); };
  return LiteralArrayType{{text(out[0]), text(out[1])}, {text(out[2]), text(out[3])}};
}

std::optional<PortType> AskHeaderType(PortDescription& port, HeaderMessage message, BSTR operation,
                                      TypeRef block) {
  const QueryArgument name(block.name);
  const QueryArgument ns(block.ns);
  std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
    switch (message) {
      case HeaderMessage::kInput:
        return port.GetInputHeaderType(operation, name.get(), ns.get(), typeName, typeNs, found);
      case HeaderMessage::kOutput:
        return port.GetOutputHeaderType(operation, name.get(), ns.get(), typeName, typeNs, found);
      case HeaderMessage::kFault:
        break;
    }
    return port.GetFaultHeaderType(operation, name.get(), ns.get(), typeName, typeNs, found);
  });
  if (type) return type;
  return AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
    return port.GetHeaderType(name.get(), ns.get(), typeName, typeNs, found);
  });
}

std::optional<std::u16string> AskHeaderEncodingStyle(PortDescription& port, HeaderMessage message,
                                                     BSTR operation, TypeRef block) {
  const QueryArgument name(block.name);
  const QueryArgument ns(block.ns);
  return AskPortText([&](BSTR* style, VARIANT_BOOL* found) {
    switch (message) {
      case HeaderMessage::kInput:
        return port.GetInputHeaderEncodingStyle(operation, name.get(), ns.get(), style, found);
      case HeaderMessage::kOutput:
        return port.GetOutputHeaderEncodingStyle(operation, name.get(), ns.get(), style, found);
      case HeaderMessage::kFault:
        break;
    }
    return port.GetFaultHeaderEncodingStyle(operation, name.get(), ns.get(), style, found);
  });
}

}  // namespace qxsoap
