// qxsoap/wsdl_port.h: builds the port description a host hands to the
// handler's Initialize from the service's WSDL 1.1 file, in one call:
//
//   qxsoap::host::WsdlError error;
//   PortDescription* port = qxsoap::host::LoadWsdlPort("calc.wsdl", "", &error);
//   if (!port) fprintf(stderr, "%s:%d: %s\n", error.file.c_str(), error.line,
//                      error.message.c_str());
//
// The reader takes the SOAP 1.1 or SOAP 1.2 binding of one port, its
// operations, messages and the XML Schema types of the inline schemas and of
// the WSDL and schema files they import (resolved beside the importing
// file). A construct it does not support refuses the whole WSDL with the
// file and line where it stands, so a port is never described half right.
//
// Ownership: the description counts its references like a COM object; the
// caller owns the one reference returned and calls Release when done.
//
// Threads: LoadWsdlPort may run on several threads at once. A description
// only reads after it is built and counts its references atomically, so one
// description may serve the handlers of many threads at once.
//
// Link: libqxsoaphost (CMake target qxsoap::qxsoaphost; pkg-config qxsoap
// lists it); IID_PortDescription comes from the handler it links,
// libqxsoapmsg.
#ifndef QXSOAP_WSDL_PORT_H_
#define QXSOAP_WSDL_PORT_H_

#include <string>

#include "qxsoap/port_description.h"

namespace qxsoap::host {

// Why a WSDL was refused: the file, the line in it (0 when the problem has
// no place, e.g. a file that cannot be read) and what is wrong.
struct WsdlError {
  std::string file;
  int line = 0;
  std::string message;
};

// Reads the WSDL file at `path` and describes its port `portName` (null or
// empty: the first port with a SOAP address). Returns the description with
// one reference, or null with *error filled in (running out of memory
// included). Never throws.
PortDescription* LoadWsdlPort(const char* path, const char* portName, WsdlError* error);

}  // namespace qxsoap::host

#endif  // QXSOAP_WSDL_PORT_H_
