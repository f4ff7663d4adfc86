// The engines a handler made by the class works with: the request parser,
// the RPC dispatcher and the serializer of this build.
#ifndef QXSOAP_RPC_PRODUCTION_ENGINES_H_
#define QXSOAP_RPC_PRODUCTION_ENGINES_H_

#include "frame/message_handler.h"

namespace qxsoap {

// A new set of the engines. Throws std::bad_alloc.
MessageHandler::Engines ProductionEngines();

}  // namespace qxsoap

#endif  // QXSOAP_RPC_PRODUCTION_ENGINES_H_
