// SOAP-shaped benchmark inputs: RPC/encoded requests as a typical toolkit
// writes them, all UTF-8 and indented.
#ifndef QXSOAP_BENCH_SOAP_DOCUMENT_H_
#define QXSOAP_BENCH_SOAP_DOCUMENT_H_

#include <string>

namespace qxsoap::bench {

// A SOAP 1.1 RPC request whose method carries one encoded array of `items`
// strings. Several namespace prefixes are in play (envelope, encoding,
// schema, schema instance, method, a header block), item elements carry
// xsi:type, and about a fifth of the text characters are non-ASCII.
std::string MakeRpcRequest(int items);

// A SOAP 1.1 RPC request whose method carries an array of `structs`
// references (`<item href="#idN"/>`); each struct follows the method
// element as a `multiRef` with 4 to 6 typed members (strings with the same
// non-ASCII mix, ints, a double, a date).
std::string MakeStructsRequest(int structs);

// A SOAP 1.1 RPC request with a short string parameter and one
// xsd:base64Binary parameter of `base64Chars` characters (rounded down to
// a multiple of 4), on a single line.
std::string MakeBase64Request(size_t base64Chars);

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_SOAP_DOCUMENT_H_
