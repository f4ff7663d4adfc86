#!/usr/bin/env python3
"""`qxsoap call` against a live `qxsoap serve` of the built-in interop
service, on its rpc/encoded SOAP 1.1 and its document/literal SOAP 1.2
port: the printed results, a fault the service answers, and the failures
the command reports itself; then against a stand-in server whose answers
are not what a SOAP service gives.

    call_test.py QXSOAP INTEROP_MODULE EXAMPLES_DIR
"""
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading

from serve_process import ServeProcess

TOOL, MODULE, EXAMPLES = sys.argv[1:4]
STRING = "h\u00e9llo \u2603 \U0001F600 & <tag> "

# why, operation, NAME=VALUE arguments, exit status, standard output
# (exact; FAULT stands for the binding's fault lines), standard error (a
# regular expression; None: it must be empty).
FAULT = object()
ROWS = [
    ("a non-ASCII, astral-plane and markup string comes back as it went", "echoString",
     [f"inputString={STRING}"], 0, f"return = {STRING}\n", None),
    ("an empty value is a parameter given as empty", "echoString", ["inputString="], 0, "return = \n", None),
    ("an integer goes as text and comes back as a number", "echoInteger", ["inputInteger=-2147483648"], 0,
     "return = -2147483648\n", None),
    ("a boolean is read here and printed by name", "echoBoolean", ["inputBoolean=1"], 0, "return = true\n", None),
    ("a dateTime is read here and printed in the schema's form", "echoDate", ["inputDate=2024-02-29T23:30:05Z"],
     0, "return = 2024-02-29T23:30:05Z\n", None),
    ("base64 is decoded here and printed as base64 again", "echoBase64", ["inputBase64=AP8QgA=="], 0,
     "return = AP8QgA==\n", None),
    ("hexBinary prints as hex, by the output's type", "echoHexBinary", ["inputHexBinary=00ff"], 0,
     "return = 00FF\n", None),
    ("an operation with no results prints nothing", "echoVoid", [], 0, "", None),
    ("a value the service cannot read is its fault, exit 1", "echoInteger", ["inputInteger=abc"], 1, FAULT, None),
    ("an operation the port does not have", "echoNothing", [], 2, "",
     r"^qxsoap call: the service has no operation echoNothing\n$"),
    ("a parameter the operation does not have, the right ones named", "echoString", ["inputText=x"], 2, "",
     r"^qxsoap call: echoString has no parameter inputText \(its parameters: inputString\)\n$"),
    ("a parameter not given", "echoString", [], 2, "", r"^qxsoap call: missing the parameter inputString "),
    ("a parameter given twice", "echoString", ["inputString=a", "inputString=b"], 2, "",
     r"^qxsoap call: the parameter inputString is given twice\n$"),
    ("an array cannot be given as text", "echoStringArray", ["inputStringArray=a"], 2, "",
     r"^qxsoap call: inputStringArray is of type \{http://soapinterop.org/xsd\}ArrayOfstring: arrays, structs"),
    ("a date that does not read is refused before anything is sent", "echoDate", ["inputDate=yesterday"], 2, "",
     r"^qxsoap call: inputDate: 'yesterday' is not a value of type dateTime\n$"),
    ("an argument without '='", "echoString", ["inputString"], 2, "",
     r"^qxsoap call: 'inputString' is not a parameter: give NAME=VALUE\n$"),
]

READ_FAILURE = "Encountered improperly serialized built-in type accessor: 'inputInteger'."
BINDINGS = {
    "interop_rpc.wsdl": "code = {http://schemas.xmlsoap.org/soap/envelope/}Client\n"
                        f"string = {READ_FAILURE}\n",
    "interop_doclit.wsdl": "code = {http://www.w3.org/2003/05/soap-envelope}Sender\n"
                           "subcode = {http://www.w3.org/2003/05/soap-rpc}BadArguments\n"
                           f"reason (en) = {READ_FAILURE}\n",
}


def call(url, operation, *arguments):
    result = subprocess.run([TOOL, "call", url, operation, *arguments], capture_output=True, timeout=60)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def check(failures, label, got, status, stdout, stderr):
    ok = got[0] == status and got[1] == stdout
    ok = ok and (re.search(stderr, got[2]) if stderr else got[2] == "")
    if not ok:
        failures.append(f"{label}: got exit {got[0]}, stdout {got[1]!r}, stderr {got[2]!r}")


def check_binding(wsdl, fault, work, failures):
    server = ServeProcess(TOOL, work, os.path.join(EXAMPLES, wsdl))
    try:
        for why, operation, arguments, status, stdout, stderr in ROWS:
            check(failures, f"{wsdl}: {why}", call(server.url, operation, *arguments), status,
                  fault if stdout is FAULT else stdout, stderr)
    finally:
        server.stop()


# The account service's WSDL (rpc/literal, fault details described) and a
# fault of its withdraw operation with a described detail entry and one the
# WSDL does not know, which the handler leaves out.
BANK_WSDL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "host", "wsdl", "headers_faults.wsdl")
BANK_FAULT = (b'<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body><e:Fault>'
              b'<faultcode>e:Server</faultcode><faultstring>over the balance</faultstring>'
              b'<faultactor>urn:gate</faultactor><detail><b:Insufficient xmlns:b="urn:bank:types">'
              b'<b:balance>1.50</b:balance><b:requested>20</b:requested></b:Insufficient>'
              b'<q:unknown xmlns:q="urn:q">left out</q:unknown></detail></e:Fault></e:Body></e:Envelope>')


class StandIn(http.server.BaseHTTPRequestHandler):
    """Answers GET ?wsdl and POST by the path: /bad-wsdl sends a WSDL that
    does not load; /refused the account service's WSDL, then a fault with
    detail entries; the others the interop WSDL, then for /busy 503 with a
    text body, for /garbled 200 with a body that is not XML."""

    def do_GET(self):
        if self.path.startswith("/bad-wsdl"):
            return self.answer(200, "text/xml", b"<definitions>")
        path = BANK_WSDL if self.path.startswith("/refused") else os.path.join(EXAMPLES, "interop_rpc.wsdl")
        with open(path, "rb") as wsdl:
            self.answer(200, "text/xml", wsdl.read())

    def do_POST(self):
        self.rfile.read(int(self.headers["Content-Length"]))
        if self.path == "/busy":
            return self.answer(503, "text/plain", b"come back later\nsecond line")
        if self.path == "/refused":
            return self.answer(500, "text/xml", BANK_FAULT)
        self.answer(200, "text/xml", b"not xml")

    def answer(self, status, content_type, body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


# why, path, standard error (a regular expression); each exits 2 with
# nothing on standard output.
STAND_IN_ROWS = [
    ("a WSDL that does not load", "/bad-wsdl", r"^qxsoap call: \S+/bad-wsdl\?wsdl(:\d+)?: .+\n$"),
    ("an HTTP error without a SOAP body: the status and its first line", "/busy",
     r"^qxsoap call: \S+/busy: HTTP status 503, 'come back later'\n$"),
    ("a reply that does not read: the handler's reason", "/garbled",
     r"^qxsoap call: \S+/garbled: the reply \(HTTP status 200\) does not read: .*XML"),
]


def check_stand_in(failures):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), StandIn)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}"
    try:
        for why, path, stderr in STAND_IN_ROWS:
            check(failures, f"stand-in: {why}", call(base + path, "echoString", "inputString=x"), 2, "", stderr)
        check(failures, "stand-in: a fault's node and the detail entry the WSDL describes, a struct",
              call(base + "/refused", "withdraw", "account=A-1", "amount=20"), 1,
              "code = {http://schemas.xmlsoap.org/soap/envelope/}Server\nstring = over the balance\n"
              "node = urn:gate\ndetail Insufficient = {balance: 1.5, requested: 20}\n", None)
    finally:
        server.shutdown()
        server.server_close()
    check(failures, "nothing listens at the URL", call(base + "/", "echoString", "inputString=x"), 2, "",
          r"^qxsoap call: \S+\?wsdl: .*(connect|refused)")


def main():
    failures = []
    with tempfile.TemporaryDirectory() as work:
        os.environ["QXCOM_REGISTRY"] = os.path.join(work, "registry")
        subprocess.run([TOOL, "register"], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([TOOL, "register", MODULE], check=True, stdout=subprocess.DEVNULL)
        for wsdl, fault in BINDINGS.items():
            check_binding(wsdl, fault, work, failures)
        check_stand_in(failures)
    for failure in failures:
        print(failure)
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
