// The handler's link to the host's port description: Initialize and the
// answers derived from the description.
#include <string>

#include "frame/message_handler.h"

extern "C" const IID IID_PortDescription = {
    0x4E78D706, 0x2E16, 0x442D, {0x9B, 0x40, 0x86, 0xB0, 0xC7, 0x78, 0xBD, 0xA1}};

namespace qxsoap {
namespace {

constexpr LONG kDefaultHttpPort = 80;

std::u16string_view TextOf(const qxcom::Bstr& text) {
  return {text.get() ? text.get() : u"", SysStringLen(text.get())};
}

std::u16string DecimalText(LONG value) {
  std::u16string text;
  for (char c : std::to_string(value)) text += static_cast<char16_t>(c);
  return text;
}

}  // namespace

bool MessageHandler::Initialize(std::u16string_view serviceName, std::u16string_view portName,
                                std::u16string_view nodeURI, std::u16string_view soapAction,
                                std::u16string_view nextHopURL, bool explicitTypingEnabled,
                                bool nodeTypeEnabled, IDispatch* port) {
  if (!port) return false;
  qxcom::ComPtr<PortDescription> description;
  const HRESULT hr =
      port->QueryInterface(IID_PortDescription, reinterpret_cast<void**>(description.put()));
  portDescription_ = SUCCEEDED(hr) ? description : qxcom::ComPtr<PortDescription>();
  if (!portDescription_) return false;
  nodeURI_ = nodeURI;
  soapAction_ = soapAction;
  nextHopURL_ = nextHopURL;
  serviceName_ = serviceName;
  portName_ = portName;
  requestPhase_ = true;
  explicitTypingEnabled_ = explicitTypingEnabled;
  nodeTypeEnabled_ = nodeTypeEnabled;
  noContentResponse_ = false;
  return true;
}

bool MessageHandler::IsRPCStyle() const {
  if (!portDescription_) return false;
  BSTR styleOut = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = portDescription_->GetStyle(&styleOut, &found);
  const qxcom::Bstr style(styleOut);
  return SUCCEEDED(hr) && found != VARIANT_FALSE && TextOf(style) == u"rpc";
}

std::u16string MessageHandler::GetPortAddress() const {
  if (!portDescription_) return {};
  BSTR hostOut = nullptr;
  BSTR pathOut = nullptr;
  LONG port = 0;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = portDescription_->GetAddress(&hostOut, &pathOut, &port, &found);
  const qxcom::Bstr host(hostOut);
  const qxcom::Bstr path(pathOut);
  if (FAILED(hr) || found == VARIANT_FALSE) return {};
  std::u16string address = u"http://";
  address += TextOf(host);
  if (port != kDefaultHttpPort) address += u":" + DecimalText(port);
  address += TextOf(path);
  return address;
}

}  // namespace qxsoap
