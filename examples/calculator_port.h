// An in-memory port description of a small calculator service, the kind of
// object a host builds from its WSDL: one SOAP 1.1 RPC/encoded binding with
// operations of two int inputs and an int result. What the service does
// not have (header blocks, structs, arrays, faults) is reported as not
// found.
#ifndef QXSOAP_EXAMPLES_CALCULATOR_PORT_H_
#define QXSOAP_EXAMPLES_CALCULATOR_PORT_H_

#include <qxsoapmsg.h>

#include <string>
#include <vector>

namespace example {

struct Part {
  std::u16string name;
  bool isReturn;
};

struct Operation {
  std::u16string name;
  std::vector<Part> parts;  // inputs in order, then the return value
};

// A COM object with one reference at creation; it deletes itself at the
// last Release.
class CalculatorPort final : public PortDescription {
 public:
  static CalculatorPort* Create() { return new CalculatorPort(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

  HRESULT STDMETHODCALLTYPE GetSOAPAction(BSTR op, BSTR* action, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOperationNS(BSTR op, BSTR* ns, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetAddress(BSTR* host, BSTR* path, LONG* port,
                                       VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputEncodingStyle(BSTR op, BSTR* style,
                                                  VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputEncodingStyle(BSTR op, BSTR* style,
                                                   VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetStyle(BSTR* style, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE IsParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) override;
  HRESULT STDMETHODCALLTYPE GetInputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                             VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                              VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE IsInParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) override;
  HRESULT STDMETHODCALLTYPE IsOutParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) override;
  HRESULT STDMETHODCALLTYPE GetFirstPart(BSTR op, BSTR* part, LONG* position,
                                         VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetNextPart(BSTR op, BSTR* part, LONG* position,
                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetHeaderType(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetMemberType(BSTR, BSTR, BSTR, BSTR, BSTR*, BSTR*,
                                          VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetBaseType(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetArrayItemType(BSTR, BSTR, BSTR*, BSTR*,
                                             VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputHeaderType(BSTR, BSTR, BSTR, BSTR*, BSTR*,
                                               VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputHeaderType(BSTR, BSTR, BSTR, BSTR*, BSTR*,
                                                VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultHeaderType(BSTR, BSTR, BSTR, BSTR*, BSTR*,
                                               VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultDetailType(BSTR, BSTR, BSTR, BSTR*, BSTR*,
                                               VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetArrayRank(BSTR, BSTR, LONG*, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetReturnType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                          VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetPartPosition(BSTR op, BSTR part, LONG* position,
                                            VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetBindingNS(BSTR* ns, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputHeaderEncodingStyle(BSTR, BSTR, BSTR, BSTR*,
                                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputHeaderEncodingStyle(BSTR, BSTR, BSTR, BSTR*,
                                                         VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultHeaderEncodingStyle(BSTR, BSTR, BSTR, BSTR*,
                                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE IsSOAPActionRequired(BSTR op, VARIANT_BOOL* flag,
                                                 VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultDetailEncodingStyle(BSTR, BSTR, BSTR, BSTR*,
                                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultDetailUse(BSTR, BSTR, BSTR, BSTR*,
                                              VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetLiteralArrayType(BSTR, BSTR, BSTR*, BSTR*, BSTR*, BSTR*,
                                                VARIANT_BOOL* found) override;

 private:
  CalculatorPort() = default;
  ~CalculatorPort() = default;
  const Operation* Find(BSTR op) const;
  const Part* FindPart(BSTR op, BSTR part) const;

  ULONG references_ = 1;
};

}  // namespace example

#endif  // QXSOAP_EXAMPLES_CALCULATOR_PORT_H_
