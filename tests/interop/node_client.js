#!/usr/bin/env node
// The interop base service called by Node's `soap` package: every echo
// operation with values that stress the wire. One line per operation:
// "OPERATION ok", "OPERATION FAIL: why", "OPERATION refused: why" for the
// handler's documented refusal of what the client sends, or "OPERATION
// unsupported: why" for a call the library cannot make; exit status 1 when
// any failed.
//   node node_client.js [--literal] URL
// Without it, the rpc/encoded SOAP 1.1 binding: the package writes no
// SOAP-ENC:arrayType from the WSDL, so the client gives each array argument
// that attribute (and the namespaces it names) through the package's
// `attributes` key, with items named "item".
// --literal: the document/literal SOAP 1.2 binding. The package does not
// take the SOAP version from the WSDL's binding, so the client asks for
// SOAP 1.2 envelopes and headers itself; arguments are the wrapper's
// members ({inputX: value}), arrays a sequence of items named after their
// type ({string: [...]}).
"use strict";
const path = require("path");
const soap = require(path.join(__dirname, "..", "node", "node_modules", "soap"));

const url = process.argv[process.argv.length - 1];
const literal = process.argv.slice(2, -1).includes("--literal");

// The item element of each literal array parameter, and the item type of
// each encoded one (the prefix s is the WSDL's, which the package declares
// on the envelope).
const ITEMS = {echoStringArray: "string", echoIntegerArray: "int", echoFloatArray: "float",
               echoStructArray: "SOAPStruct"};
const ENCODED_ITEMS = {echoStringArray: "xsd:string", echoIntegerArray: "xsd:int", echoFloatArray: "xsd:float",
                       echoStructArray: "s:SOAPStruct"};

let failed = 0;
function report(operation, why, outcome = "FAIL") {
  console.log(why === null ? `${operation} ok` : `${operation} ${outcome}: ${why}`);
  if (why !== null && outcome === "FAIL") failed++;
}

const float32 = (x) => Math.fround(Number(x));
// The package reads a list of one item as the item itself, and an empty
// element as undefined or an empty object; both are put back into the
// shape that was sent before comparing. An element with attributes (an
// xsi:type) it reads as {attributes, $value}, or as its members next to
// `attributes`: unwrap takes the value out.
const asList = (x) => (x === undefined || x === null ? [] : Array.isArray(x) ? x : [x]);
const asText = (x) => (x === undefined || x === null || (typeof x === "object" && !Object.keys(x).length) ? "" : x);

function unwrap(x) {
  if (Array.isArray(x)) return x.map(unwrap);
  if (x === null || typeof x !== "object" || x instanceof Date) return x;
  if ("$value" in x) return x.$value;
  const members = {};
  for (const [key, value] of Object.entries(x)) if (key !== "attributes") members[key] = unwrap(value);
  return members;
}

const same = {
  text: (a, b) => a === asText(b),
  number: (a, b) => a === Number(b),
  float: (a, b) => float32(a) === float32(b),
  boolean: (a, b) => a === (b === true || b === "true"),
  list: (item) => (a, b) => a.length === asList(b).length && a.every((x, i) => item(x, asList(b)[i])),
  struct: (a, b) => b !== undefined && b !== null && same.text(a.varString, b.varString) &&
                    same.number(a.varInt, b.varInt) && same.float(a.varFloat, b.varFloat),
  hex: (a, b) => typeof b === "string" && a === b.toUpperCase(),
  date: (expected) => (a, b) => b !== undefined && new Date(b).getTime() === new Date(expected).getTime(),
};

const short = (x) => {
  const text = JSON.stringify(x);
  return text === undefined ? String(x) : text.slice(0, 60);
};

// The argument object of `operation` for `value`, in the binding's shape.
function argumentOf(operation, value) {
  const name = "input" + operation.slice(4);
  if (!ITEMS[operation]) return {[name]: value};
  if (literal) return {[name]: {[ITEMS[operation]]: value}};
  const attributes = {"xmlns:SOAP-ENC": "http://schemas.xmlsoap.org/soap/encoding/",
                      "xmlns:xsd": "http://www.w3.org/2001/XMLSchema",
                      "SOAP-ENC:arrayType": `${ENCODED_ITEMS[operation]}[${value.length}]`};
  return {[name]: {attributes, item: value}};
}

// What the package read as the echoed value.
function resultOf(operation, result) {
  const value = unwrap(result ? result.return : undefined);
  if (!ITEMS[operation] || value === undefined || value === null) return value;
  return value[literal ? ITEMS[operation] : "item"];
}

// Calls `operation` with each value in turn and reports under `label`.
// `compare(sent, got, responseText)` answers true, false, or why the
// package cannot read what the response carried.
async function echo(client, operation, values, compare, label = operation) {
  for (const value of values) {
    let result, raw;
    try {
      [result, raw] = await client[operation + "Async"](argumentOf(operation, value));
    } catch (error) {
      const fault = error.root && error.root.Envelope && error.root.Envelope.Body && error.root.Envelope.Body.Fault;
      if (!fault) return report(label, `${error.name}: ${String(error.message).slice(0, 200)}`);
      return report(label, `fault ${JSON.stringify(fault).slice(0, 200)}`);
    }
    const got = resultOf(operation, result);
    const verdict = compare(value, got, raw);
    if (typeof verdict === "string") return report(label, verdict, "unsupported");
    if (!verdict) return report(label, `sent ${short(value)}, got ${short(got)}`);
  }
  report(label, null);
}

function structOf(varString, varInt, varFloat) {
  return {varString, varInt, varFloat};
}

async function main() {
  // The package trims text by default: a whitespace-only string would come
  // back empty.
  const options = {preserveWhitespace: true, forceSoap12Headers: literal};
  const client = await soap.createClientAsync(url + "?wsdl", options);
  client.setEndpoint(url);
  const allBytes = Buffer.from(Array.from({length: 256}, (_, i) => i));
  const many = Array.from({length: 10000}, (_, i) => `item ${i + 1}`);

  // The package keeps whitespace-only text only in an element without
  // attributes; the encoded response's <return> has an xsi:type. So that
  // string goes last, and what the response carried is checked.
  await echo(client, "echoString", ["h\u00e9llo \u20ac", "\u{1F600} astral \u{10348}", "", "<&>\"'", "   "],
             (a, b, raw) => same.text(a, b) || (!literal && a.trim() === "" && raw.includes(`>${a}</return>`) &&
                                               "the package drops the whitespace-only text of an element with " +
                                                   "attributes (xsi:type); the response carried it"));
  await echo(client, "echoStringArray", [["a", "", "\u00e9"], [], many], same.list(same.text));
  await echo(client, "echoInteger", [0, -2147483648, 2147483647], same.number);
  await echo(client, "echoIntegerArray", [[1, -2, 3], []], same.list(same.number));
  await echo(client, "echoFloat", [1.5, -3.4028234663852886e38, 1.1754943508222875e-38], same.float);
  await echo(client, "echoFloatArray", [[0.5, -0.25], []], same.list(same.float));
  await echo(client, "echoStruct", [structOf("s \u00e9", -7, 2.5)], same.struct);
  await echo(client, "echoStructArray", [[structOf("a", 1, 0.5), structOf("", 0, -1.5)], []],
             same.list(same.struct));
  await echo(client, "echoBase64", [allBytes.toString("base64"), ""], same.text);
  await echo(client, "echoHexBinary", [allBytes.toString("hex").toUpperCase()], same.hex);
  await echo(client, "echoBoolean", [true, false], same.boolean);
  // The package reads xsd:decimal into a JavaScript number, a double: the
  // digits are checked in the response text, the number against the double.
  await echo(client, "echoDecimal", ["-123456789.0123456789"],
             (a, b, raw) => Number(a) === Number(b) && raw.includes(`>${a}<`));
  // A zone offset is applied by the handler's dateTime rule: the time comes
  // back in UTC.
  for (const [sent, expected] of [["2026-12-06T10:30:00Z", "2026-12-06T10:30:00Z"],
                                  ["2026-12-06T10:30:00+05:30", "2026-12-06T16:00:00Z"],
                                  ["1999-12-31T23:59:59-01:00", "1999-12-31T22:59:59Z"]]) {
    await echo(client, "echoDate", [sent], same.date(expected), `echoDate ${sent}`);
  }
  try {
    await client.echoVoidAsync(literal ? {} : null);
    report("echoVoid", null);
  } catch (error) {
    report("echoVoid", `${error.name}: ${String(error.message).slice(0, 200)}`);
  }
  return failed ? 1 : 0;
}

main().then((status) => process.exit(status), (error) => {
  console.log(`(client) FAIL: ${error.stack || error}`);
  process.exit(1);
});
