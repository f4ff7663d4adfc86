// Construction of the handler, its engines and the return value.
#include "frame/message_handler.h"

namespace qxsoap {

MessageHandler::MessageHandler() = default;

MessageHandler::MessageHandler(Engines engines) { InstallEngines(std::move(engines)); }

MessageHandler::~MessageHandler() = default;

void MessageHandler::InstallEngines(Engines engines) {
  if (engines.requestParser) engines_.requestParser = std::move(engines.requestParser);
  if (engines.responseParser) engines_.responseParser = std::move(engines.responseParser);
  if (engines.rpc) engines_.rpc = std::move(engines.rpc);
  if (engines.serializer) engines_.serializer = std::move(engines.serializer);
}

HRESULT MessageHandler::GetReturnValue(VARIANT* value) const {
  if (!value) return E_POINTER;
  return VariantCopy(value, returnValue_.get());
}

HRESULT MessageHandler::SetReturnValue(const VARIANT* value) {
  if (!value) return VariantClear(returnValue_.get());
  const HRESULT hr = VariantCopyInd(returnValue_.get(), value);
  if (FAILED(hr)) VariantClear(returnValue_.get());
  return hr;
}

}  // namespace qxsoap
