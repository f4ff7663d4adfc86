// model/fault_record.h: the fault record that every part of the handler
// raises for an error in a message, a value or a binding, and the SOAP code
// names of the fault kinds.
//
// A record is always thrown as a pointer to a heap object; whoever catches it
// owns it and deletes it (a part may catch, amend and rethrow it).
#ifndef QXSOAP_MODEL_FAULT_RECORD_H_
#define QXSOAP_MODEL_FAULT_RECORD_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxsoap {

// The fault code kinds, numbered as the record stores them.
enum class FaultKind : uint32_t {
  kVersionMismatch = 0,
  kMustUnderstand = 1,
  kDataEncodingUnknown = 2,
  kSender = 3,    // "Client" in SOAP 1.1
  kReceiver = 4,  // "Server" in SOAP 1.1
};

struct QXSOAPFault {
  QXSOAPFault(FaultKind kind, std::u16string message, bool needDetail)
      : kind(kind), message(std::move(message)), needDetail(needDetail) {}
  QXSOAPFault(FaultKind kind, std::u16string subcode, std::u16string subcodeNS,
              std::u16string message, bool needDetail)
      : kind(kind),
        subcode(std::move(subcode)),
        subcodeNS(std::move(subcodeNS)),
        message(std::move(message)),
        needDetail(needDetail) {}

  FaultKind kind;
  std::u16string subcode;    // SOAP 1.2 subcode local name; empty for none
  std::u16string subcodeNS;  // namespace URI of the subcode
  std::u16string message;    // SOAP 1.1 fault string, SOAP 1.2 reason text
  bool needDetail;           // the fault message carries a detail element
};

// Throws a new heap record (kind, message, needDetail) without a subcode.
[[noreturn]] void RaiseFault(FaultKind kind, std::u16string message, bool needDetail);

// Throws the Receiver fault "Internal error." that a resource failure
// (memory, an object that cannot be made) inside the handler gives.
[[noreturn]] void RaiseInternalError(bool needDetail);

// Throws a new heap record that carries `subcode` in `subcodeNS` when the
// message is SOAP 1.2 (`soapVersion` other than 11) and no subcode under
// SOAP 1.1, which has none.
[[noreturn]] void RaiseFaultWithSubcode(LONG soapVersion, FaultKind kind,
                                        std::u16string_view subcode,
                                        std::u16string_view subcodeNS, std::u16string message,
                                        bool needDetail);

// The code a fault kind is written with in one SOAP version.
struct FaultCode {
  std::u16string_view name;
  std::u16string_view ns;
};

// Code name and namespace of `kind` for `soapVersion`: the SOAP 1.1 names in
// SOAP11_ENV_NS when the version is 11, the SOAP 1.2 names in SOAP12_ENV_NS
// for any other value. A kind outside the table is written as Receiver,
// since only a defect inside the handler can produce one.
FaultCode LookUpFaultCode(FaultKind kind, LONG soapVersion);

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_FAULT_RECORD_H_
