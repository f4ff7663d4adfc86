// Raising fault records and naming their codes.
#include "model/fault_record.h"

#include <array>

#include "model/soap_version.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

struct CodeNames {
  std::u16string_view soap11;
  std::u16string_view soap12;
};

// Indexed by FaultKind.
constexpr std::array<CodeNames, 5> kCodeNames = {{
    {u"VersionMismatch", u"VersionMismatch"},
    {u"MustUnderstand", u"MustUnderstand"},
    {u"DataEncodingUnknown", u"DataEncodingUnknown"},
    {u"Client", u"Sender"},
    {u"Server", u"Receiver"},
}};

}  // namespace

void RaiseFault(FaultKind kind, std::u16string message, bool needDetail) {
  throw new QXSOAPFault(kind, std::move(message), needDetail);
}

void RaiseInternalError(bool needDetail) {
  RaiseFault(FaultKind::kReceiver, u"Internal error.", needDetail);
}

void RaiseFaultWithSubcode(LONG soapVersion, FaultKind kind, std::u16string_view subcode,
                           std::u16string_view subcodeNS, std::u16string message,
                           bool needDetail) {
  if (soapVersion == 11) RaiseFault(kind, std::move(message), needDetail);
  throw new QXSOAPFault(kind, std::u16string(subcode), std::u16string(subcodeNS),
                        std::move(message), needDetail);
}

FaultCode LookUpFaultCode(FaultKind kind, LONG soapVersion) {
  size_t index = static_cast<size_t>(kind);
  if (index >= kCodeNames.size()) index = static_cast<size_t>(FaultKind::kReceiver);
  if (soapVersion == kSoap11) return {kCodeNames[index].soap11, SOAP11_ENV_NS};
  return {kCodeNames[index].soap12, SOAP12_ENV_NS};
}

}  // namespace qxsoap
