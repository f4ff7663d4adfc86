// encode/message_serializer.h: the serializer engine. It builds the fault
// envelope when the handler holds a fault raised at this node, the message
// envelope otherwise (a fault read from the next hop travels on inside a
// message envelope).
#ifndef QXSOAP_ENCODE_MESSAGE_SERIALIZER_H_
#define QXSOAP_ENCODE_MESSAGE_SERIALIZER_H_

#include "frame/engines.h"

namespace qxsoap {

class MessageSerializer : public MessageSerializerEngine {
 public:
  std::unique_ptr<XmlElement> BuildMessage(MessageHandler& handler, PortDescription& port) override;
};

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_MESSAGE_SERIALIZER_H_
