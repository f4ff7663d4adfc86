// Dispatch of parse events to the handler stack.
#include "xml/parse_dispatcher.h"

namespace qxsoap {

void ParseDispatcher::StartDocument() {
  stack_.clear();
  stack_.push_back(rootHandler_ ? rootHandler_ : &skip_);
}

}  // namespace qxsoap
