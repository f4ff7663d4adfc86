#include "encode/message_serializer.h"

#include "encode/envelopes.h"
#include "frame/message_handler.h"
#include "xml/xml_element.h"

namespace qxsoap {

std::unique_ptr<XmlElement> MessageSerializer::BuildMessage(MessageHandler& handler,
                                                            PortDescription& port) {
  if (handler.IsSOAPFault() && handler.IsFaultRaisedHere()) return BuildFaultEnvelope(handler, port);
  return BuildMessageEnvelope(handler, port);
}

}  // namespace qxsoap
