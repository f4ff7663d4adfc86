// Values are shown as their text (VariantChangeType to VT_BSTR); a value
// with no text, such as an array or a struct, as its type code. Strings are
// built by appending: a literal added to a temporary trips g++ 12's
// -Wrestrict in optimised builds.
#include "host/serve/exchange_trace.h"

#include "platform/string_conversion.h"
#include "qxcom/owned.h"

namespace qxsoap::host {
namespace {

std::string Take(BSTR text) {
  const qxcom::Bstr owned(text);
  return qxcom::ToUtf8({text ? text : u"", SysStringLen(text)});
}

std::string ValueText(const VARIANT& value) {
  qxcom::Variant text;
  if (V_VT(&value) == VT_EMPTY) return "(empty)";
  std::string out;
  if (FAILED(VariantChangeType(text.get(), &value, 0, VT_BSTR))) {
    return out.append("(type ").append(std::to_string(V_VT(&value))).append(")");
  }
  return out.append("\"").append(qxcom::ToUtf8({V_BSTR(text.get()), SysStringLen(V_BSTR(text.get()))})).append("\"");
}

// "name=value" for each parameter, `in` or out ones, joined by ", ".
std::string Parameters(Iqxsoapmsg2& handler, bool wantIn) {
  std::string out;
  BSTR ns = nullptr, name = nullptr;
  qxcom::Variant content;
  VARIANT_BOOL in = VARIANT_FALSE, isOut = VARIANT_FALSE, more = VARIANT_FALSE;
  LONG position = 0;
  for (handler.GetFirstMethodParam(&ns, &name, content.get(), &in, &isOut, &position, &more); more == VARIANT_TRUE;
       handler.GetNextMethodParam(&ns, &name, content.get(), &in, &isOut, &position, &more)) {
    SysFreeString(ns);
    const std::string text = Take(name);
    if ((wantIn ? in : isOut) != VARIANT_TRUE) continue;
    if (!out.empty()) out += ", ";
    out += text + "=" + ValueText(*content.get());
  }
  return out;
}

}  // namespace

std::string DescribeCall(Iqxsoapmsg2& handler) {
  BSTR method = nullptr;
  handler.GetMethodName(&method);
  return Take(method) + "(" + Parameters(handler, true) + ")";
}

std::string DescribeAnswer(Iqxsoapmsg2& handler) {
  VARIANT_BOOL fault = VARIANT_FALSE;
  handler.IsSOAPFault(&fault);
  if (fault == VARIANT_TRUE) {
    BSTR code = nullptr, text = nullptr;
    handler.GetSOAPFaultCode(&code);
    handler.GetSOAPFaultString(&text);
    std::string out = "-> fault ";
    return out.append(Take(code)).append(": ").append(Take(text));
  }
  qxcom::Variant result;
  handler.GetReturnValue(result.get());
  std::string out = "-> ";
  out.append(Parameters(handler, false));
  return out.append(out.size() > 3 ? " " : "").append("return=").append(ValueText(*result.get()));
}

}  // namespace qxsoap::host
