// SOAP-shaped benchmark input: an RPC request carrying an array.
#ifndef QXSOAP_BENCH_SOAP_DOCUMENT_H_
#define QXSOAP_BENCH_SOAP_DOCUMENT_H_

#include <string>

namespace qxsoap::bench {

// A SOAP 1.1 RPC request, UTF-8, whose method carries one encoded array of
// `items` strings. Several namespace prefixes are in play (envelope,
// encoding, schema, schema instance, method, a header block), item elements
// carry xsi:type, and about a fifth of the text characters are non-ASCII.
// Indented like a typical toolkit's output.
std::string MakeRpcRequest(int items);

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_SOAP_DOCUMENT_H_
