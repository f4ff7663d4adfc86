// host/wsdl_definitions.h: the WSDL definitions of a file and of the files
// it imports, filed by QName, with the schemas they carry.
#ifndef QXSOAP_HOST_WSDL_DEFINITIONS_H_
#define QXSOAP_HOST_WSDL_DEFINITIONS_H_

#include <map>
#include <string>
#include <vector>

#include "host/schema_set.h"
#include "host/wsdl_model.h"
#include "host/wsdl_source.h"

namespace qxsoap::host {

struct WsdlDefinitions {
  explicit WsdlDefinitions(WsdlSources& wsdlSources) : sources(wsdlSources), schemas(wsdlSources) {}

  // Reads the WSDL (or schema) file at `path`, beside the file of `from`
  // when given, and the files it imports.
  void Load(const std::string& path, const XmlElement* from);

  // The definition that the QName attribute `attribute` of `at` names in
  // `definitions`; fails at `at` when there is none.
  const XmlElement& Find(const std::map<TypeName, const XmlElement*>& definitions, const XmlElement& at,
                         std::u16string_view attribute) const;

  struct Port {
    std::u16string service;
    const XmlElement* port;
  };

  WsdlSources& sources;
  SchemaSet schemas;
  std::map<TypeName, const XmlElement*> messages, portTypes, bindings;
  std::vector<Port> ports;
};

// Reads the operations of `binding`, a SOAP binding in `port.bindingNS`
// with style `port.style`, into `port`: their actions, uses, parts, header
// blocks and fault details.
void ReadOperations(WsdlDefinitions& wsdl, const XmlElement& binding, PortModel& port);

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_WSDL_DEFINITIONS_H_
