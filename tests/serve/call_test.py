#!/usr/bin/env python3
"""`qxsoap call` against `qxsoap serve` of the built-in interop service on
its rpc/encoded SOAP 1.1 and document/literal SOAP 1.2 ports, then against
a stand-in server whose answers are not what a SOAP service gives.

    call_test.py QXSOAP INTEROP_MODULE EXAMPLES_DIR
"""
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading

from serve_process import ServeProcess, check, finish, register

TOOL, MODULE, EXAMPLES = sys.argv[1:4]
STRING = "h\u00e9llo \u2603 \U0001F600 & <tag> "

# why, operation and NAME=VALUE arguments, exit status, standard output
# (exact; FAULT: the binding's fault lines), standard error after
# "qxsoap call: " (a regular expression; None: it must be empty).
FAULT = object()
ROWS = [
    ("a non-ASCII, astral-plane and markup string comes back as it went", ["echoString", f"inputString={STRING}"],
     0, f"return = {STRING}\n", None),
    ("an empty value is a parameter given as empty", ["echoString", "inputString="], 0, "return = \n", None),
    ("an integer goes as text and comes back as a number", ["echoInteger", "inputInteger=-2147483648"], 0,
     "return = -2147483648\n", None),
    ("a boolean is read here and printed by name", ["echoBoolean", "inputBoolean=1"], 0, "return = true\n", None),
    ("a dateTime is read here and printed in the schema's form", ["echoDate", "inputDate=2024-02-29T23:30:05Z"], 0,
     "return = 2024-02-29T23:30:05Z\n", None),
    ("base64 is decoded here and printed as base64 again", ["echoBase64", "inputBase64=AP8QgA=="], 0,
     "return = AP8QgA==\n", None),
    ("hexBinary prints as hex, by the output's type", ["echoHexBinary", "inputHexBinary=00ff"], 0,
     "return = 00FF\n", None),
    ("an operation with no results prints nothing", ["echoVoid"], 0, "", None),
    ("a value the service cannot read is its fault, exit 1", ["echoInteger", "inputInteger=abc"], 1, FAULT, None),
    ("an operation the port does not have", ["echoNothing"], 2, "", r"the service has no operation echoNothing\n$"),
    ("a parameter the operation does not have, the right ones named", ["echoString", "inputText=x"], 2, "",
     r"echoString has no parameter inputText \(its parameters: inputString\)\n$"),
    ("a parameter not given", ["echoString"], 2, "", r"missing the parameter inputString "),
    ("a parameter given twice", ["echoString", "inputString=a", "inputString=b"], 2, "",
     r"the parameter inputString is given twice\n$"),
    ("an array cannot be given as text", ["echoStringArray", "inputStringArray=a"], 2, "",
     r"inputStringArray is of type \{http://soapinterop.org/xsd\}ArrayOfstring: arrays, structs"),
    ("a date that does not read is refused before anything is sent", ["echoDate", "inputDate=yesterday"], 2, "",
     r"inputDate: 'yesterday' is not a value of type dateTime\n$"),
    ("an argument without '='", ["echoString", "inputString"], 2, "",
     r"'inputString' is not a parameter: give NAME=VALUE\n$"),
]
READ_FAILURE = "Encountered improperly serialized built-in type accessor: 'inputInteger'."
BINDINGS = {
    "interop_rpc.wsdl": f"code = {{http://schemas.xmlsoap.org/soap/envelope/}}Client\nstring = {READ_FAILURE}\n",
    "interop_doclit.wsdl": "code = {http://www.w3.org/2003/05/soap-envelope}Sender\nsubcode = "
                           f"{{http://www.w3.org/2003/05/soap-rpc}}BadArguments\nreason (en) = {READ_FAILURE}\n",
}


def check_call(why, arguments, status, stdout, stderr):
    result = subprocess.run([TOOL, "call", *arguments], capture_output=True, timeout=60)
    got = (result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8"))
    ok = got[:2] == (status, stdout) and (re.search("^qxsoap call: " + stderr, got[2]) if stderr else got[2] == "")
    check(why, ok, f"got exit {got[0]}, stdout {got[1]!r}, stderr {got[2]!r}")


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
    text body, for /garbled 200 with a body that is not XML, for /endless
    200 with a body that does not end."""

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
        if self.path == "/endless":
            return self.send_endless()
        self.answer(200, "text/xml", b"not xml")

    def answer(self, status, content_type, body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_endless(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/xml")
        self.send_header("Connection", "close")
        self.end_headers()
        chunk = b"<a>" * (1 << 18)
        try:
            while True:
                self.wfile.write(chunk)
        except OSError:  # the client hung up
            pass

    def log_message(self, *args):
        pass


STAND_IN_ROWS = [  # why, path, standard error; each exits 2 with nothing on standard output
    ("a WSDL that does not load", "/bad-wsdl", r"\S+/bad-wsdl\?wsdl(:\d+)?: .+\n$"),
    ("an HTTP error without a SOAP body: the status and its first line", "/busy",
     r"\S+/busy: HTTP status 503, 'come back later'\n$"),
    ("a reply that does not read: the handler's reason", "/garbled",
     r"\S+/garbled: the reply \(HTTP status 200\) does not read: .*XML"),
    ("an answer that does not end", "/endless", r"\S+/endless: the answer is larger than 64 MB\n$"),
]


def check_stand_in():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), StandIn)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_address[1]}"
    try:
        for why, path, stderr in STAND_IN_ROWS:
            check_call(f"stand-in: {why}", [base + path, "echoString", "inputString=x"], 2, "", stderr)
        check_call("stand-in: a fault's node and the detail entry the WSDL describes, a struct",
                   [base + "/refused", "withdraw", "account=A-1", "amount=20"], 1,
                   "code = {http://schemas.xmlsoap.org/soap/envelope/}Server\nstring = over the balance\n"
                   "node = urn:gate\ndetail Insufficient = {balance: 1.5, requested: 20}\n", None)
    finally:
        server.shutdown()
        server.server_close()
    check_call("nothing listens at the URL", [base + "/", "echoString", "inputString=x"], 2, "",
               r"\S+\?wsdl: .*(connect|refused)")


def main():
    with tempfile.TemporaryDirectory() as work:
        register(TOOL, MODULE, work)
        for wsdl, fault in BINDINGS.items():
            server = ServeProcess(TOOL, work, os.path.join(EXAMPLES, wsdl))
            try:
                for why, arguments, status, stdout, stderr in ROWS:
                    check_call(f"{wsdl}: {why}", [server.url, *arguments], status,
                               fault if stdout is FAULT else stdout, stderr)
            finally:
                server.stop()
        check_stand_in()
    return finish()


if __name__ == "__main__":
    sys.exit(main())
