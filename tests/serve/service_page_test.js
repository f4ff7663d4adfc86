#!/usr/bin/env node
// The service page of `qxsoap serve` in a real headless browser (Debian's
// chromium driven by playwright-core), on both bindings of the built-in
// interop service: the listing shows the operations with their parameters,
// results and types, the WSDL link answers the WSDL, and the forms call the
// service with the values typed in and show the response envelope.
//   node service_page_test.js QXSOAP INTEROP_MODULE EXAMPLES_DIR
// Exits 77 (skipped) when /usr/bin/chromium is missing.
"use strict";
const {spawn, execFileSync} = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const CHROMIUM = "/usr/bin/chromium";
const [tool, interopModule, examples] = process.argv.slice(2);
const OPERATIONS = ["echoBase64", "echoBoolean", "echoDate", "echoDecimal", "echoFloat", "echoFloatArray",
                    "echoHexBinary", "echoInteger", "echoIntegerArray", "echoString", "echoStringArray",
                    "echoStruct", "echoStructArray", "echoVoid"];
const NON_ASCII = "h\u00e9llo \u20ac \u{1F600} <&> \"'";

let failures = 0;
function check(why, ok, detail = "") {
  console.log(`${ok ? "ok  " : "FAIL"} ${why}${ok ? "" : `: ${String(detail).slice(0, 300)}`}`);
  if (!ok) failures++;
}

// `qxsoap serve WSDL` on a free loopback port; resolves to the process and
// the URL it prints once it listens.
function startServer(wsdl, env) {
  const server = spawn(tool, ["serve", path.join(examples, wsdl), "--listen", "127.0.0.1:0",
                              "--service", "qxsoap.InteropBase"], {env, stdio: ["ignore", "ignore", "pipe"]});
  let log = "";
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`serve did not start: ${log}`)), 20000);
    server.stderr.on("data", (chunk) => {
      log += chunk;
      const match = /serving (http:\/\/127\.0\.0\.1:\d+)(\/\S*)/.exec(log);
      if (match) {
        clearTimeout(timer);
        resolve({server, origin: match[1], servicePath: match[2]});
      }
    });
    server.on("exit", (status) => reject(new Error(`serve exited ${status}: ${log}`)));
  });
}

// What the page shows of one operation: its parameter and result rows and
// whether it has a form.
function listing(page, operation) {
  return page.evaluate((name) => {
    const section = [...document.querySelectorAll("section.operation")].find((s) => s.dataset.name === name);
    if (!section) return null;
    const rows = (list) => [...section.querySelectorAll(`ul.${list} li`)].map((li) => li.textContent);
    return {inputs: rows("inputs"), outputs: rows("outputs"), form: !!section.querySelector("form")};
  }, operation);
}

// Fills the operation's form, submits it and answers the shown response:
// its HTTP status line and the text of the response's `return` element.
async function callFromForm(page, operation, values) {
  const form = page.locator(`form[data-operation="${operation}"]`);
  for (const [name, value] of Object.entries(values)) await form.locator(`input[name="${name}"]`).fill(value);
  await form.locator("button[type=submit]").click();
  const shown = page.locator(`section[data-name="${operation}"] pre.response[data-done]`);
  await shown.waitFor({timeout: 15000});
  return page.evaluate((name) => {
    const text = document.querySelector(`section[data-name="${name}"] pre.response`).textContent;
    const [status, ...rest] = text.split("\n");
    const xml = new DOMParser().parseFromString(rest.join("\n"), "application/xml");
    const result = [...xml.getElementsByTagName("*")].find((e) => e.localName === "return");
    return {status, result: result ? result.textContent : null, text};
  }, operation);
}

async function checkBinding(browser, wsdl, env) {
  const {server, origin, servicePath} = await startServer(wsdl, env);
  const page = await browser.newPage();
  const scriptErrors = [];
  page.on("pageerror", (error) => scriptErrors.push(error.message));
  try {
    const response = await page.goto(origin + "/");
    check(`${wsdl}: GET / answers an HTML page`,
          response.status() === 200 && response.headers()["content-type"] === "text/html; charset=utf-8",
          `${response.status()} ${response.headers()["content-type"]}`);
    const names = await page.$$eval("section.operation h2", (headings) => headings.map((h) => h.textContent));
    check(`${wsdl}: every operation is listed`, JSON.stringify(names) === JSON.stringify(OPERATIONS), names);

    const echoString = await listing(page, "echoString");
    check(`${wsdl}: echoString's parameter and its type`,
          echoString && JSON.stringify(echoString.inputs) === JSON.stringify(["inputString xsd:string"]),
          JSON.stringify(echoString));
    const echoInteger = await listing(page, "echoInteger");
    check(`${wsdl}: echoInteger's result type`,
          echoInteger && JSON.stringify(echoInteger.outputs) === JSON.stringify(["return xsd:int"]),
          JSON.stringify(echoInteger));
    const echoStruct = await listing(page, "echoStruct");
    check(`${wsdl}: a struct parameter is listed with its type and gets no form`,
          echoStruct && echoStruct.inputs[0] === "inputStruct SOAPStruct" && !echoStruct.form,
          JSON.stringify(echoStruct));

    const wsdlHref = await page.getAttribute("a#wsdl", "href");
    const wsdlPage = await browser.newPage();
    const wsdlResponse = await wsdlPage.goto(new URL(wsdlHref, origin).href);
    const wsdlText = await wsdlResponse.text();
    check(`${wsdl}: the WSDL link answers the WSDL with the served address`,
          wsdlResponse.status() === 200 && wsdlText.includes("<definitions") &&
              wsdlText.includes(`location="${origin}${servicePath}"`),
          `${wsdlResponse.status()} ${wsdlText.slice(0, 200)}`);
    await wsdlPage.close();

    const echoed = await callFromForm(page, "echoString", {inputString: NON_ASCII});
    check(`${wsdl}: the echoString form echoes a non-ASCII string`,
          echoed.status === "HTTP 200" && echoed.result === NON_ASCII, echoed.text);
    const integer = await callFromForm(page, "echoInteger", {inputInteger: "-2147483648"});
    check(`${wsdl}: the echoInteger form echoes the smallest int`,
          integer.status === "HTTP 200" && integer.result === "-2147483648", integer.text);
    const refused = await callFromForm(page, "echoInteger", {inputInteger: "twelve"});
    check(`${wsdl}: a value the type refuses shows the fault`,
          refused.status === "HTTP 500" && /Fault/.test(refused.text), refused.text);
    check(`${wsdl}: the page's script raised no error`, scriptErrors.length === 0, scriptErrors.join("; "));
  } finally {
    await page.close();
    server.kill("SIGTERM");
  }
}

async function main() {
  if (!fs.existsSync(CHROMIUM)) {
    console.log(`skipped: ${CHROMIUM} is missing (scripts/setup installs Debian's chromium)`);
    return 77;
  }
  let chromium;
  try {
    ({chromium} = require(path.join(__dirname, "..", "node", "node_modules", "playwright-core")));
  } catch (error) {
    console.log(`FAIL playwright-core is not installed in tests/node (run scripts/setup): ${error.message}`);
    return 1;
  }
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "service-page-"));
  const env = {...process.env, QXCOM_REGISTRY: path.join(work, "registry")};
  execFileSync(tool, ["register"], {env, stdio: "ignore"});
  execFileSync(tool, ["register", interopModule], {env, stdio: "ignore"});
  const browser = await chromium.launch({executablePath: CHROMIUM, headless: true});
  try {
    await checkBinding(browser, "interop_rpc.wsdl", env);
    await checkBinding(browser, "interop_doclit.wsdl", env);
  } finally {
    await browser.close();
    fs.rmSync(work, {recursive: true, force: true});
  }
  console.log(`${failures} failed`);
  return failures ? 1 : 0;
}

main().then((status) => process.exit(status), (error) => {
  console.log(`FAIL ${error.stack || error}`);
  process.exit(1);
});
