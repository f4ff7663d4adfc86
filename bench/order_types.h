// The types the request and response benchmarks carry, in
// urn:example:orders:types: the struct Order (six members of five built-in
// types) and the encoded arrays ArrayOfOrder and ArrayOfString.
#ifndef QXSOAP_BENCH_ORDER_TYPES_H_
#define QXSOAP_BENCH_ORDER_TYPES_H_

#include "host/memory_port.h"

namespace qxsoap::bench {

inline const host::TypeName kOrderType{u"Order", u"urn:example:orders:types"};
inline const host::TypeName kOrdersType{u"ArrayOfOrder", u"urn:example:orders:types"};
inline const host::TypeName kStringsType{u"ArrayOfString", u"urn:example:orders:types"};

// A port with a SOAP 1.1 rpc binding and the three types declared; the
// caller adds its operations.
qxcom::ComPtr<host::MemoryPort> NewOrdersPort();

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_ORDER_TYPES_H_
