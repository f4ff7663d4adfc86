// A late-bound call as a scripting client makes it: the arguments go to
// Invoke last one first, out parameters as references to the caller's
// VARIANTs.
#include "host/serve/service_call.h"

#include <cstdio>

namespace qxsoap::host {
namespace {

std::u16string HresultText(const char16_t* what, HRESULT hr) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", unsigned(hr));
  return what + std::u16string(hex, hex + std::char_traits<char>::length(hex));
}

// The words of an EXCEPINFO, which is then emptied.
std::u16string TakeException(EXCEPINFO& exception, HRESULT invokeResult) {
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  const qxcom::Bstr description(exception.bstrDescription), source(exception.bstrSource),
      help(exception.bstrHelpFile);
  if (SysStringLen(description.get())) return {description.get(), SysStringLen(description.get())};
  const HRESULT code = exception.scode ? exception.scode : invokeResult;
  return HresultText(u"the service failed with HRESULT ", code);
}

}  // namespace

ServiceOutcome CallService(IDispatch& service, const std::u16string& method, std::vector<ServiceArgument>& arguments) {
  ServiceOutcome outcome;
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(method.c_str());
  if (FAILED(service.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
    outcome.failure = u"the service has no operation " + method;
    return outcome;
  }
  std::vector<VARIANTARG> passed(arguments.size());
  for (size_t i = 0; i < arguments.size(); ++i) {
    VARIANTARG& slot = passed[arguments.size() - 1 - i];  // Invoke takes them in reverse
    ServiceArgument& argument = arguments[i];
    if (argument.out) {
      VariantInit(&slot);
      V_VT(&slot) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(&slot) = argument.value.get();
    } else {
      slot = *argument.value.get();  // lent, not copied: the callee does not free it
    }
  }
  DISPPARAMS params{passed.data(), nullptr, UINT(passed.size()), 0};
  EXCEPINFO exception{};
  UINT badArgument = 0;
  const HRESULT hr = service.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                    outcome.result.get(), &exception, &badArgument);
  if (hr == DISP_E_EXCEPTION) {
    outcome.failure = TakeException(exception, hr);
  } else if (FAILED(hr)) {
    outcome.failure = HresultText(u"the service failed with HRESULT ", hr);
  }
  outcome.succeeded = SUCCEEDED(hr);
  return outcome;
}

}  // namespace qxsoap::host
