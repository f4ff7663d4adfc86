// The calculator's port description: binding, operations and parts.
#include "calculator_port.h"

namespace example {
namespace {

constexpr char16_t kServiceNS[] = u"urn:example:calculator";
constexpr char16_t kXsd[] = u"http://www.w3.org/2001/XMLSchema";
constexpr char16_t kWsdlSoap11[] = u"http://schemas.xmlsoap.org/wsdl/soap/";
constexpr char16_t kSoapEncoding[] = u"http://schemas.xmlsoap.org/soap/encoding/";

const std::vector<Operation> kOperations = {
    {u"Add", {{u"a", false}, {u"b", false}, {u"sum", true}}},
    {u"Subtract", {{u"a", false}, {u"b", false}, {u"difference", true}}},
};

std::u16string_view Text(BSTR text) { return {text ? text : u"", SysStringLen(text)}; }

HRESULT Found(VARIANT_BOOL* found, bool isFound) {
  *found = isFound ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

// Stores `text` as a new BSTR in *out and reports it found.
HRESULT Answer(std::u16string_view text, BSTR* out, VARIANT_BOOL* found) {
  *out = SysAllocStringLen(text.data(), UINT(text.size()));
  if (!*out) return E_OUTOFMEMORY;
  return Found(found, true);
}

}  // namespace

const Operation* CalculatorPort::Find(BSTR op) const {
  for (const Operation& operation : kOperations) {
    if (operation.name == Text(op)) return &operation;
  }
  return nullptr;
}

const Part* CalculatorPort::FindPart(BSTR op, BSTR part) const {
  const Operation* operation = Find(op);
  if (!operation) return nullptr;
  for (const Part& candidate : operation->parts) {
    if (candidate.name == Text(part)) return &candidate;
  }
  return nullptr;
}

HRESULT CalculatorPort::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  const bool known = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_PortDescription;
  *object = known ? static_cast<PortDescription*>(this) : nullptr;
  if (!known) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG CalculatorPort::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// The handler calls a port description through its vtable only.
HRESULT CalculatorPort::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT CalculatorPort::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT CalculatorPort::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
HRESULT CalculatorPort::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) {
  return E_NOTIMPL;
}

HRESULT CalculatorPort::GetSOAPAction(BSTR op, BSTR* action, VARIANT_BOOL* found) {
  if (!Find(op)) return Found(found, false);
  return Answer(std::u16string(kServiceNS) + u"#" + std::u16string(Text(op)), action, found);
}
HRESULT CalculatorPort::GetOperationNS(BSTR op, BSTR* ns, VARIANT_BOOL* found) {
  return Find(op) ? Answer(kServiceNS, ns, found) : Found(found, false);
}
HRESULT CalculatorPort::GetAddress(BSTR* host, BSTR* path, LONG* port, VARIANT_BOOL* found) {
  *port = 8080;
  if (HRESULT hr = Answer(u"localhost", host, found); FAILED(hr)) return hr;
  return Answer(u"/calculator", path, found);
}
HRESULT CalculatorPort::GetInputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) {
  return Find(op) ? Answer(u"encoded", use, found) : Found(found, false);
}
HRESULT CalculatorPort::GetOutputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) {
  return GetInputUse(op, use, found);
}
HRESULT CalculatorPort::GetInputEncodingStyle(BSTR op, BSTR* style, VARIANT_BOOL* found) {
  return Find(op) ? Answer(kSoapEncoding, style, found) : Found(found, false);
}
HRESULT CalculatorPort::GetOutputEncodingStyle(BSTR op, BSTR* style, VARIANT_BOOL* found) {
  return GetInputEncodingStyle(op, style, found);
}
HRESULT CalculatorPort::GetStyle(BSTR* style, VARIANT_BOOL* found) {
  return Answer(u"rpc", style, found);
}
HRESULT CalculatorPort::IsParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) {
  const Part* found = FindPart(op, part);
  return Found(flag, found && !found->isReturn);
}
HRESULT CalculatorPort::GetInputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                         VARIANT_BOOL* found) {
  if (!FindPart(op, part)) return Found(found, false);
  if (HRESULT hr = Answer(u"int", typeName, found); FAILED(hr)) return hr;
  return Answer(kXsd, typeNS, found);
}
HRESULT CalculatorPort::GetOutputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                          VARIANT_BOOL* found) {
  return GetInputPartType(op, part, typeName, typeNS, found);
}
HRESULT CalculatorPort::IsInParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) {
  return IsParameter(op, part, flag);
}
HRESULT CalculatorPort::IsOutParameter(BSTR, BSTR, VARIANT_BOOL* flag) { return Found(flag, false); }
HRESULT CalculatorPort::GetFirstPart(BSTR op, BSTR* part, LONG* position, VARIANT_BOOL* found) {
  LONG before = -1;
  HRESULT hr = GetNextPart(op, part, &before, found);
  if (*found) *position = before;
  return hr;
}
HRESULT CalculatorPort::GetNextPart(BSTR op, BSTR* part, LONG* position, VARIANT_BOOL* found) {
  const Operation* operation = Find(op);
  const size_t next = size_t(*position + 1);
  if (!operation || *position < -1 || next >= operation->parts.size()) return Found(found, false);
  *position = LONG(next);
  return Answer(operation->parts[next].name, part, found);
}
HRESULT CalculatorPort::GetReturnType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                      VARIANT_BOOL* found) {
  const Part* returned = FindPart(op, part);
  if (!returned || !returned->isReturn) return Found(found, false);
  return GetInputPartType(op, part, typeName, typeNS, found);
}
HRESULT CalculatorPort::GetPartPosition(BSTR op, BSTR part, LONG* position, VARIANT_BOOL* found) {
  const Operation* operation = Find(op);
  const Part* wanted = FindPart(op, part);
  if (!wanted) return Found(found, false);
  *position = LONG(wanted - operation->parts.data());
  return Found(found, true);
}
HRESULT CalculatorPort::GetBindingNS(BSTR* ns, VARIANT_BOOL* found) {
  return Answer(kWsdlSoap11, ns, found);
}
HRESULT CalculatorPort::IsSOAPActionRequired(BSTR op, VARIANT_BOOL* flag, VARIANT_BOOL* found) {
  *flag = VARIANT_FALSE;
  return Found(found, Find(op) != nullptr);
}

// The service has no header blocks, faults with details, structs or arrays.
HRESULT CalculatorPort::GetHeaderType(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetMemberType(BSTR, BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetBaseType(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetArrayItemType(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetInputHeaderType(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetOutputHeaderType(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetFaultHeaderType(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetFaultDetailType(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetArrayRank(BSTR, BSTR, LONG*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetInputHeaderEncodingStyle(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetOutputHeaderEncodingStyle(BSTR, BSTR, BSTR, BSTR*,
                                                     VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetFaultHeaderEncodingStyle(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetFaultDetailEncodingStyle(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetFaultDetailUse(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL* found) {
  return Found(found, false);
}
HRESULT CalculatorPort::GetLiteralArrayType(BSTR, BSTR, BSTR*, BSTR*, BSTR*, BSTR*,
                                            VARIANT_BOOL* found) {
  return Found(found, false);
}

}  // namespace example
