// host/wrapped_document.h: serving a document/literal *wrapped* port through
// the handler's rpc/literal binding.
//
// On the wire a wrapped call is an rpc/literal call: the Body's one child is
// named after the operation, in the operation namespace, and its unqualified
// children are the parameters; the response element is the operation name
// followed by "Response", holding the results. So the port is described to
// the handler as rpc style, each operation's parts being the members of its
// wrapper elements, and the handler binds and writes the parameters itself.
#ifndef QXSOAP_HOST_WRAPPED_DOCUMENT_H_
#define QXSOAP_HOST_WRAPPED_DOCUMENT_H_

#include <string>
#include <vector>

#include "host/wsdl_model.h"
#include "qxsoap/wsdl_port.h"

namespace qxsoap::host {

// The rpc view of `document`, a document-style port whose operations are all
// wrapped: every input a single part whose element is named like the
// operation, every output (when there is one) a single part whose element is
// named like the operation followed by "Response", both in one namespace,
// both of a complex type whose members are unqualified elements with
// distinct names, and both "literal".
//
// The view keeps the binding, address, actions, header blocks, faults and
// types, and declares per operation: the wrapper's namespace; use "literal";
// the request wrapper's members as in parameters, in order; the response
// wrapper's members as out parameters after them (a member of both is
// in/out). No part is a return value, so the handler writes no SOAP 1.2
// result element that the schema does not have: a host hands its results
// back as the out parameters' values.
//
// Throws WsdlError (no file, line 0) naming the first operation that is not
// wrapped and why; a port is never served half right.
PortModel RpcViewOfWrappedPort(const PortModel& document);

// What `qxsoap serve` hands the handler for the port `portName` (null or
// empty: the first SOAP port) of the WSDL file at `path`: an rpc port as the
// WSDL describes it, a document port through its rpc view. Returns the
// description with one reference, or null with *error filled in (a port
// that is neither rpc nor wrapped included). *documentView, when given, is
// set to whether the description is a view: its operations then have no
// return part, and a service's return value belongs in the out parameter of
// the response wrapper's one member. *operations, when given, receives the
// port's operation names in name order (a description cannot list them).
// Never throws.
PortDescription* LoadServedPort(const char* path, const char* portName, WsdlError* error,
                                bool* documentView = nullptr, std::vector<std::u16string>* operations = nullptr);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_WRAPPED_DOCUMENT_H_
