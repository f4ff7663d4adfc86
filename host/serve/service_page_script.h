// host/serve/service_page_script.h: the script of the service page. Each
// form carries its operation's name, namespace, SOAPAction, use and encoding
// style in data attributes, and its inputs are named after the parameters;
// on submit the script writes the request envelope in the binding's SOAP
// version (the page's body says which), POSTs it to the endpoint with the
// headers that version wants, and shows the status and the response text.
// The parameters are written unqualified and untyped, as rpc/literal and
// wrapped document calls have them and as an encoded call may: the server
// binds them by the port's types.
#ifndef QXSOAP_HOST_SERVE_SERVICE_PAGE_SCRIPT_H_
#define QXSOAP_HOST_SERVE_SERVICE_PAGE_SCRIPT_H_

namespace qxsoap::host {

inline constexpr char kServicePageScript[] = R"js(
"use strict";
const page = document.body.dataset;
const soap12 = page.soapVersion === "12";
const envelopeNS = soap12 ? "http://www.w3.org/2003/05/soap-envelope"
                          : "http://schemas.xmlsoap.org/soap/envelope/";
const escapes = {"&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "\r": "&#13;"};
const xml = (text) => text.replace(/[&<>"\r]/g, (c) => escapes[c]);

function requestEnvelope(form) {
  const op = form.dataset;
  const tag = op.namespace ? "m:" + op.operation : op.operation;
  const scope = op.namespace ? ` xmlns:m="${xml(op.namespace)}"` : "";
  const style = op.use === "encoded" ? ` SOAP-ENV:encodingStyle="${xml(op.encodingStyle)}"` : "";
  let parameters = "";
  for (const input of form.querySelectorAll("input[name]")) {
    parameters += `<${input.name}>${xml(input.value)}</${input.name}>`;
  }
  return `<?xml version="1.0" encoding="UTF-8"?>\n<SOAP-ENV:Envelope xmlns:SOAP-ENV="${envelopeNS}">` +
         `<SOAP-ENV:Body><${tag}${scope}${style}>${parameters}</${tag}></SOAP-ENV:Body></SOAP-ENV:Envelope>`;
}

function requestHeaders(form) {
  const action = form.dataset.action;
  if (!soap12) return {"Content-Type": "text/xml; charset=utf-8", "SOAPAction": `"${action}"`};
  const quoted = action.replace(/[\\"]/g, (c) => "\\" + c);
  return {"Content-Type": `application/soap+xml; charset=utf-8; action="${quoted}"`};
}

async function call(form) {
  const shown = form.nextElementSibling;
  shown.hidden = false;
  shown.textContent = "calling...";
  delete shown.dataset.done;
  try {
    const response = await fetch(page.endpoint, {method: "POST", headers: requestHeaders(form),
                                                 body: requestEnvelope(form)});
    shown.textContent = `HTTP ${response.status}\n${await response.text()}`;
  } catch (error) {
    shown.textContent = `request failed: ${error}`;
  }
  shown.dataset.done = "yes";
}

for (const form of document.querySelectorAll("form[data-operation]")) {
  form.addEventListener("submit", (event) => {
    event.preventDefault();
    call(form);
  });
}
)js";

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_SERVICE_PAGE_SCRIPT_H_
