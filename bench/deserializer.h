// The message handler's request side as a benchmark parser: SetBuffer once,
// then Deserialize (the reader, the envelope and accessor handlers, the Body
// kept as literal XML and the binding check) against a port that declares
// the operations of the SOAP request documents.
#ifndef QXSOAP_BENCH_DESERIALIZER_H_
#define QXSOAP_BENCH_DESERIALIZER_H_

#include <memory>

#include "parsers.h"

namespace qxsoap::bench {

// A new handler with the production engines, initialized against a SOAP 1.1
// rpc-style port. Its Prepare copies the document into the handler (the
// handler owns its message bytes); Parse runs Deserialize over that copy.
std::unique_ptr<Parser> MakeDeserializer();

// The same, with ProcessRPC after Deserialize: the parameters bound and
// their values decoded (structs into the module's struct component).
std::unique_ptr<Parser> MakeBinder();

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_DESERIALIZER_H_
