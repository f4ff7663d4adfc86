// Deserialize behind the benchmark's Parser interface.
#include "deserializer.h"

#include <cstdlib>
#include <string>

#include <qxsoapmsg.h>

#include "frame/message_handler.h"
#include "host/memory_port.h"
#include "rpc/production_engines.h"
#include "order_types.h"
#include "struct_component.h"
#include "xml/namespaces.h"

namespace qxsoap::bench {

namespace {

using host::MemoryPort;
using host::Xsd;

constexpr std::u16string_view kOrdersNS = u"urn:example:orders";

// The service the SOAP request documents call (soap_document.h), declared
// so that the binding check passes and the method resolves.
qxcom::ComPtr<MemoryPort> OrdersPort() {
  qxcom::ComPtr<MemoryPort> port = NewOrdersPort();
  port->Operation(u"SubmitOrder").Namespace(kOrdersNS).Action(u"").Use(u"encoded")
      .In(u"lines", kStringsType);
  port->Operation(u"SubmitOrders").Namespace(kOrdersNS).Action(u"").Use(u"encoded")
      .In(u"orders", kOrdersType);
  port->Operation(u"StoreDocument").Namespace(kOrdersNS).Action(u"").Use(u"encoded")
      .In(u"name", Xsd(u"string")).In(u"content", Xsd(u"base64Binary"));
  return port;
}

// ASCII rendering of a fault text for the abort message.
std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) out += unit < 0x80 ? char(unit) : '?';
  return out;
}

class Deserializer : public Parser {
 public:
  // With `bind`, each parse is Deserialize and then ProcessRPC: the whole
  // request side, values decoded into parameters.
  explicit Deserializer(bool bind) : bind_(bind), handler_(ProductionEngines()), port_(OrdersPort()) {
    if (bind_) RegisterStructComponent();
    if (!handler_.Initialize(u"Orders", u"OrdersPort", u"", u"", u"", false, false, port_.get()))
      std::abort();
  }

  void Prepare(std::string_view doc) override {
    if (!handler_.SetBuffer({reinterpret_cast<const BYTE*>(doc.data()), doc.size()})) std::abort();
    prepared_ = doc;
  }

  bool Parse(std::string_view doc) override {
    if (doc.data() != prepared_.data() || doc.size() != prepared_.size()) Prepare(doc);
    if (handler_.Deserialize() && (!bind_ || handler_.ProcessRPC())) return true;
    std::u16string reason = handler_.GetSOAPFaultString();
    if (reason.empty()) handler_.GetSOAP12ReasonText(u"en", &reason);
    error_ = "fault " + Narrow(handler_.GetSOAPFaultCode()) + ": " + Narrow(reason);
    return false;
  }

  size_t Write() override { std::abort(); }

  // Drops the handler's literal Body, so that the next Deserialize frees
  // the previous tree before it reads, as the bare parse's Release does,
  // and the header blocks read, which the next Deserialize would add to.
  void Release() override {
    handler_.ClearMethodParams();
    handler_.ClearHeaderElems();
  }

 private:
  bool bind_;
  MessageHandler handler_;
  qxcom::ComPtr<MemoryPort> port_;
  std::string_view prepared_;
};

}  // namespace

std::unique_ptr<Parser> MakeDeserializer() { return std::make_unique<Deserializer>(false); }

std::unique_ptr<Parser> MakeBinder() { return std::make_unique<Deserializer>(true); }

}  // namespace qxsoap::bench
