// Calls into the host's port description. Its operations take BSTRs and
// hand out BSTRs with a found flag; these helpers make the arguments from
// views and read the answers into owned strings, so no BSTR leaks on any
// path.
#ifndef QXSOAP_DECODE_PORT_QUERIES_H_
#define QXSOAP_DECODE_PORT_QUERIES_H_

#include <optional>
#include <string>
#include <string_view>

#include "qxcom/owned.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

// A BSTR argument holding `text`. Raises the Receiver fault "Internal
// error." when memory runs out.
qxcom::Bstr PortArgument(std::u16string_view text);

// The text a port operation hands out, or nullopt when it reports "not
// found" or fails. `call(BSTR* text, VARIANT_BOOL* found)` makes the call.
template <typename Call>
std::optional<std::u16string> AskPortText(Call call) {
  BSTR out = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = call(&out, &found);
  const qxcom::Bstr owned(out);
  if (FAILED(hr) || found == VARIANT_FALSE) return std::nullopt;
  return std::u16string(out ? out : u"", SysStringLen(out));
}

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_PORT_QUERIES_H_
