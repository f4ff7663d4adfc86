// Document-style calls: the handler binds no parameters for them, so the
// host maps the Body's wrapper element to the operation itself. Not served
// yet; the client gets a fault that says so.
#include "host/serve/exchange_steps.h"

namespace qxsoap::host {

void AnswerDocumentCall(const ExchangeSetup&, Iqxsoapmsg2& handler) {
  SetFault(handler, FaultSide::kReceiver, u"document style is not served yet");
}

}  // namespace qxsoap::host
