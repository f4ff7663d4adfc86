// The service page: what the port description says of each operation,
// rendered once as HTML when the server starts.
#include "host/serve/service_page.h"

#include <utility>

#include "host/memory_port.h"
#include "host/serve/exchange_steps.h"
#include "host/serve/service_page_script.h"
#include "platform/string_conversion.h"
#include "xml/namespaces.h"

namespace qxsoap::host {
namespace {

struct PartSummary {
  std::u16string name;
  TypeName type;
};

struct OperationSummary {
  std::u16string name, ns, action, use, encodingStyle;
  std::vector<PartSummary> inputs, outputs;
  bool formable = true;  // every input is of a simple type
};

using OperationTextCall = HRESULT (STDMETHODCALLTYPE PortDescription::*)(BSTR, BSTR*, VARIANT_BOOL*);
using PartTypeCall = HRESULT (STDMETHODCALLTYPE PortDescription::*)(BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);

bool IsTrue(VARIANT_BOOL flag) { return flag == VARIANT_TRUE; }

std::u16string Take(BSTR text) {
  const qxcom::Bstr owned(text);
  return {text ? text : u"", SysStringLen(text)};
}

// One of the operation's texts (namespace, action, use...); empty when the
// port has none.
std::u16string OperationText(PortDescription& port, OperationTextCall call, BSTR op) {
  BSTR text = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = (port.*call)(op, &text, &found);
  std::u16string taken = Take(text);
  return SUCCEEDED(hr) && IsTrue(found) ? taken : std::u16string();
}

TypeName PartType(PortDescription& port, PartTypeCall call, BSTR op, BSTR part) {
  BSTR name = nullptr, ns = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  const HRESULT hr = (port.*call)(op, part, &name, &ns, &found);
  TypeName type{Take(name), Take(ns)};
  return SUCCEEDED(hr) && IsTrue(found) ? type : TypeName{};
}

bool Flag(PortDescription& port, HRESULT (STDMETHODCALLTYPE PortDescription::*call)(BSTR, BSTR, VARIANT_BOOL*),
          BSTR op, BSTR part) {
  VARIANT_BOOL flag = VARIANT_FALSE;
  return SUCCEEDED((port.*call)(op, part, &flag)) && IsTrue(flag);
}

// A simple type is a schema built-in, or derives from one (a restriction in
// the service's own namespace). Structs are their own base; encoded arrays
// derive from the encoding's Array, which derives from nothing declared.
bool IsSimpleType(PortDescription& port, TypeName type) {
  constexpr int kMaxDerivations = 16;
  for (int step = 0; step < kMaxDerivations && !type.name.empty(); ++step) {
    if (IsSchemaNamespace(type.ns)) return true;
    BSTR baseName = nullptr, baseNS = nullptr;
    VARIANT_BOOL found = VARIANT_FALSE;
    port.GetBaseType(MakeBstr(type.name).get(), MakeBstr(type.ns).get(), &baseName, &baseNS, &found);
    TypeName base{Take(baseName), Take(baseNS)};
    if (!IsTrue(found) || base == type) return false;
    type = std::move(base);
  }
  return false;
}

OperationSummary Summarize(PortDescription& port, const std::u16string& name) {
  OperationSummary summary;
  summary.name = name;
  const qxcom::Bstr op = MakeBstr(name);
  summary.ns = OperationText(port, &PortDescription::GetOperationNS, op.get());
  summary.action = OperationText(port, &PortDescription::GetSOAPAction, op.get());
  summary.use = OperationText(port, &PortDescription::GetInputUse, op.get());
  summary.encodingStyle = OperationText(port, &PortDescription::GetInputEncodingStyle, op.get());
  BSTR part = nullptr;
  LONG position = 0;
  VARIANT_BOOL found = VARIANT_FALSE;
  for (port.GetFirstPart(op.get(), &part, &position, &found); IsTrue(found);
       port.GetNextPart(op.get(), &part, &position, &found)) {
    const std::u16string named = Take(std::exchange(part, nullptr));
    const qxcom::Bstr partName = MakeBstr(named);
    if (Flag(port, &PortDescription::IsInParameter, op.get(), partName.get())) {
      TypeName type = PartType(port, &PortDescription::GetInputPartType, op.get(), partName.get());
      summary.formable = summary.formable && IsSimpleType(port, type);
      summary.inputs.push_back({named, std::move(type)});
    }
    const bool isReturn = !Flag(port, &PortDescription::IsParameter, op.get(), partName.get());
    if (isReturn || Flag(port, &PortDescription::IsOutParameter, op.get(), partName.get())) {
      PartTypeCall call = isReturn ? &PortDescription::GetReturnType : &PortDescription::GetOutputPartType;
      summary.outputs.push_back({named, PartType(port, call, op.get(), partName.get())});
    }
  }
  SysFreeString(part);  // a description may fill it in even when reporting the end
  return summary;
}

// UTF-8 text for HTML content and for attribute values in double or single
// quotes.
std::string Escape(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Escape(std::u16string_view text) { return Escape(qxcom::ToUtf8(text)); }

// A type as a reader knows it: "xsd:int" for the schema built-ins, the
// local name otherwise; the namespace in the tooltip.
std::string TypeLabel(const TypeName& type) {
  if (type.name.empty()) return "<span class=\"type\">(unknown)</span>";
  const std::string shown = IsSchemaNamespace(type.ns) ? "xsd:" + Escape(type.name) : Escape(type.name);
  return "<span class=\"type\" title=\"" + Escape(type.ns) + "\">" + shown + "</span>";
}

std::string PartRows(const std::vector<PartSummary>& parts, const char* none) {
  if (parts.empty()) return std::string("<li class=\"none\">") + none + "</li>";
  std::string rows;
  for (const PartSummary& part : parts) {
    rows += "<li><code class=\"name\">" + Escape(part.name) + "</code> " + TypeLabel(part.type) + "</li>";
  }
  return rows;
}

std::string Form(const OperationSummary& operation) {
  if (!operation.formable) {
    return "<p class=\"noform\">No form: a parameter is a struct or an array; call it from a SOAP client.</p>";
  }
  std::string form = "<form data-operation=\"" + Escape(operation.name) + "\" data-namespace=\"" +
                     Escape(operation.ns) + "\" data-action=\"" + Escape(operation.action) + "\" data-use=\"" +
                     Escape(operation.use) + "\" data-encoding-style=\"" + Escape(operation.encodingStyle) + "\">";
  for (const PartSummary& input : operation.inputs) {
    form += "<label>" + Escape(input.name) + " <input name=\"" + Escape(input.name) + "\"></label> ";
  }
  return form + "<button type=\"submit\">Call " + Escape(operation.name) +
         "</button></form><pre class=\"response\" hidden></pre>";
}

std::string Section(const OperationSummary& operation) {
  return "<section class=\"operation\" data-name=\"" + Escape(operation.name) + "\"><h2>" + Escape(operation.name) +
         "</h2><h3>Parameters</h3><ul class=\"inputs\">" + PartRows(operation.inputs, "none") +
         "</ul><h3>Result</h3><ul class=\"outputs\">" + PartRows(operation.outputs, "none (one-way)") + "</ul>" +
         Form(operation) + "</section>\n";
}

constexpr char kStyle[] =
    "body{font-family:sans-serif;max-width:60em;margin:1em auto;padding:0 1em}"
    "section{border-top:1px solid #ccc;padding:.5em 0}h3{font-size:1em;margin:.5em 0 .2em}"
    ".type{color:#056}pre{background:#f4f4f4;padding:.5em;white-space:pre-wrap;word-break:break-all}";

}  // namespace

std::string BuildServicePage(PortDescription& port, const ServicePageSetup& setup) {
  const std::string path = Escape(setup.servicePath);
  const std::string version = setup.soapVersion == 11 ? "1.1" : "1.2";
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + path +
                     " - qxsoap serve</title><style>" + kStyle + "</style></head>\n<body data-endpoint=\"" + path +
                     "\" data-soap-version=\"" + std::to_string(setup.soapVersion) + "\"><h1>SOAP service at " +
                     path + "</h1><p>SOAP " + version + ". Description: <a id=\"wsdl\" href=\"" + path +
                     "?wsdl\">WSDL</a>. The forms POST a SOAP request to " + path +
                     " and show the response.</p>\n";
  for (const std::u16string& name : setup.operations) page += Section(Summarize(port, name));
  return page + "<script>" + kServicePageScript + "</script></body></html>\n";
}

}  // namespace qxsoap::host
