#include "order_types.h"

#include "xml/namespaces.h"

namespace qxsoap::bench {

qxcom::ComPtr<host::MemoryPort> NewOrdersPort() {
  using host::Xsd;
  qxcom::ComPtr<host::MemoryPort> port = host::MemoryPort::Create();
  port->Binding(WSDL_SOAP11_NS).Style(u"rpc");
  port->Struct(kOrderType)
      .Member(u"number", Xsd(u"int"))
      .Member(u"customer", Xsd(u"string"))
      .Member(u"total", Xsd(u"double"))
      .Member(u"placed", Xsd(u"date"))
      .Member(u"quantity", Xsd(u"int"))
      .Member(u"note", Xsd(u"string"));
  port->Array(kOrdersType, kOrderType);
  port->Array(kStringsType, Xsd(u"string"));
  return port;
}

}  // namespace qxsoap::bench
