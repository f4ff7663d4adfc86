// Reading a WSDL file: its definitions and imports, the port asked for, its
// SOAP binding and address.
#include <charconv>

#include "host/wsdl_definitions.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

bool IsSoapBindingNamespace(std::u16string_view ns) { return ns == WSDL_SOAP11_NS || ns == WSDL_SOAP12_NS; }

const XmlElement* SoapChild(const XmlElement& element, std::u16string_view local) {
  for (const XmlElement& child : element.Children()) {
    if (IsSoapBindingNamespace(child.NamespaceUri()) && child.LocalName() == local) return &child;
  }
  return nullptr;
}

// Splits an http or https URL into host, path and TCP port.
void ReadAddress(const WsdlSources& sources, const XmlElement& address, PortModel& model) {
  const std::u16string_view location = sources.Required(address, u"location");
  std::u16string_view rest = location;
  if (rest.starts_with(u"http://")) {
    rest.remove_prefix(7);
    model.tcpPort = 80;
  } else if (rest.starts_with(u"https://")) {
    rest.remove_prefix(8);
    model.tcpPort = 443;
  } else {
    sources.Fail(address, "the address " + Narrow(location) + " is not an http or https URL");
  }
  const size_t slash = rest.find(u'/');
  std::u16string_view authority = rest.substr(0, slash);
  model.path = slash == std::u16string_view::npos ? u"/" : rest.substr(slash);
  const size_t bracket = authority.rfind(u']');
  const size_t colon = authority.rfind(u':');
  if (colon != std::u16string_view::npos && (bracket == std::u16string_view::npos || colon > bracket)) {
    const std::string digits = Narrow(authority.substr(colon + 1));
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), model.tcpPort);
    if (error != std::errc() || end != digits.data() + digits.size() || model.tcpPort <= 0 ||
        model.tcpPort > 65535) {
      sources.Fail(address, "the address " + Narrow(location) + " has no valid port number");
    }
    authority = authority.substr(0, colon);
  }
  if (authority.empty()) sources.Fail(address, "the address " + Narrow(location) + " names no host");
  model.host = authority;
  model.address = std::u16string(location);
}

const WsdlDefinitions::Port& ChoosePort(const WsdlDefinitions& wsdl, const std::string& portName,
                                        const XmlElement& root) {
  for (const WsdlDefinitions::Port& port : wsdl.ports) {
    const std::u16string_view name = wsdl.sources.Required(*port.port, u"name");
    if (portName.empty() ? SoapChild(*port.port, u"address") != nullptr : Narrow(name) == portName)
      return port;
  }
  wsdl.sources.Fail(
      root, portName.empty() ? "no service port has a SOAP address" : "no service port is named " + portName);
}

}  // namespace

void WsdlDefinitions::Load(const std::string& path, const XmlElement* from) {
  const XmlElement* root = sources.Load(path, from);
  if (!root) return;
  if (IsSchemaNamespace(root->NamespaceUri()) && root->LocalName() == u"schema") return schemas.Add(*root);
  if (!Is(*root, WSDL_NS, u"definitions")) sources.Fail(*root, "the root element is not wsdl:definitions");
  const std::u16string targetNamespace(FindAttribute(*root, u"", u"targetNamespace").value_or(u""));
  for (const XmlElement& child : root->Children()) {
    if (child.NamespaceUri() != WSDL_NS) continue;
    const std::u16string_view kind = child.LocalName();
    if (kind == u"import") {
      Load(Narrow(sources.Required(child, u"location")), &child);
    } else if (kind == u"types") {
      for (const XmlElement& schema : child.Children()) {
        if (IsSchemaNamespace(schema.NamespaceUri()) && schema.LocalName() == u"schema") schemas.Add(schema);
      }
    } else if (kind == u"message" || kind == u"portType" || kind == u"binding") {
      auto& definitions = kind == u"message" ? messages : kind == u"portType" ? portTypes : bindings;
      const TypeName name{std::u16string(sources.Required(child, u"name")), targetNamespace};
      if (!definitions.emplace(name, &child).second) {
        sources.Fail(child, "the " + Narrow(kind) + " " + Narrow(name.name) + " is defined twice");
      }
    } else if (kind == u"service") {
      const std::u16string_view service = sources.Required(child, u"name");
      for (const XmlElement& port : child.Children()) {
        if (Is(port, WSDL_NS, u"port")) ports.push_back({std::u16string(service), &port});
      }
    }
  }
}

const XmlElement& WsdlDefinitions::Find(const std::map<TypeName, const XmlElement*>& definitions,
                                        const XmlElement& at, std::u16string_view attribute) const {
  const TypeName name = sources.Resolve(at, sources.Required(at, attribute));
  auto found = definitions.find(name);
  if (found == definitions.end()) {
    sources.Fail(at,
                 Narrow(attribute) + " " + Narrow(name.name) + " of " + Narrow(name.ns) + " is not defined");
  }
  return *found->second;
}

PortModel ReadWsdlPort(const std::string& path, const std::string& portName) {
  WsdlSources sources;
  WsdlDefinitions wsdl(sources);
  wsdl.Load(path, nullptr);
  // Every type is checked, the ones no operation of this port uses too.
  std::vector<TypeModel> types = wsdl.schemas.Build();
  const WsdlDefinitions::Port& chosen = ChoosePort(wsdl, portName, sources.FirstRoot());
  const XmlElement& port = *chosen.port;
  const XmlElement& binding = wsdl.Find(wsdl.bindings, port, u"binding");
  const XmlElement* soapBinding = SoapChild(binding, u"binding");
  if (!soapBinding)
    sources.Fail(binding,
                 "the binding of port " + Narrow(sources.Required(port, u"name")) + " is not a SOAP binding");

  PortModel model;
  model.service = chosen.service;
  model.port = sources.Required(port, u"name");
  model.binding = sources.Required(binding, u"name");
  model.bindingNS = soapBinding->NamespaceUri();
  model.style = FindAttribute(*soapBinding, u"", u"style").value_or(u"document");
  if (model.style != u"rpc" && model.style != u"document") {
    sources.Fail(*soapBinding, "the binding style " + Narrow(model.style) + " is neither rpc nor document");
  }
  if (const XmlElement* address = SoapChild(port, u"address")) ReadAddress(sources, *address, model);
  ReadOperations(wsdl, binding, model);
  model.types = std::move(types);
  return model;
}

}  // namespace qxsoap::host
