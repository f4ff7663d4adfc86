#!/usr/bin/env node
// The service page of `qxsoap serve` in headless chromium (driven by
// playwright-core), on both bindings of the built-in interop service: the
// listing, and the forms calling the service.
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
      const match = /serving (http:\/\/127\.0\.0\.1:\d+)\//.exec(log);
      if (match) {
        clearTimeout(timer);
        resolve({server, origin: match[1]});
      }
    });
    server.on("exit", (status) => reject(new Error(`serve exited ${status}: ${log}`)));
  });
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
  const {server, origin} = await startServer(wsdl, env);
  const page = await browser.newPage();
  const scriptErrors = [];
  page.on("pageerror", (error) => scriptErrors.push(error.message));
  try {
    await page.goto(origin + "/");  // its status and type are serve_test.py's
    // Each operation in order: its parameter and result rows (name and type) and whether it has a form.
    const listed = Object.fromEntries(await page.$$eval("section.operation", (sections) => sections.map((section) => {
      const rows = (list) => [...section.querySelectorAll(`ul.${list} li`)].map((li) => li.textContent);
      const form = !!section.querySelector("form");
      return [section.querySelector("h2").textContent, {inputs: rows("inputs"), outputs: rows("outputs"), form}];
    })));
    check(`${wsdl}: every operation is listed`, JSON.stringify(Object.keys(listed)) === JSON.stringify(OPERATIONS),
          Object.keys(listed));
    const some = JSON.stringify([listed.echoString.inputs, listed.echoInteger.outputs, listed.echoStruct]);
    check(`${wsdl}: parameters and results with their types, no form for a struct parameter`, some === JSON.stringify(
      [["inputString xsd:string"], ["return xsd:int"],
       {inputs: ["inputStruct SOAPStruct"], outputs: ["return SOAPStruct"], form: false}]), some);

    const shown = await callFromForm(page, "echoString", {inputString: NON_ASCII});
    check(`${wsdl}: the echoString form echoes a non-ASCII string`,
          shown.status === "HTTP 200" && shown.result === NON_ASCII, shown.text);
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
