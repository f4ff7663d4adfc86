#!/usr/bin/env python3
"""`qxsoap serve` over loopback: each kind of request's answer, trace and
access log line; ?wsdl, transport limits, start-up refusals, memory over bad
requests, and stopping.
    serve_test.py QXSOAP TEST_SERVICE_MODULE TESTS_DIR [--sanitized]
--sanitized skips the memory check: AddressSanitizer's quarantine grows it.
"""
import http.client
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

from serve_process import ServeProcess, check, finish, register

TOOL, MODULE, TESTS = sys.argv[1:4]
SANITIZED = "--sanitized" in sys.argv[4:]
SAMPLES = os.path.join(TESTS, "serve")


def Server(wsdl, *options):
    return ServeProcess(TOOL, WORK, wsdl, "--service", "qxsoap.TestService", "--trace", *options)


def envelope11(method, parts):
    items = "".join(f'<{name} xsi:type="xsd:{kind}">{value}</{name}>' for name, kind, value in parts)
    return ('<?xml version="1.0"?><SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/"'
            ' xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema"'
            ' SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"><SOAP-ENV:Body>'
            f'<m:{method} xmlns:m="urn:test:calc">{items}</m:{method}></SOAP-ENV:Body></SOAP-ENV:Envelope>')


SOAP11, SOAP12 = "text/xml; charset=utf-8", "application/soap+xml; charset=utf-8"
PLAIN, PAGE = "text/plain", "text/html; charset=utf-8"
DIVIDE = envelope11("Divide", [("dividend", "int", 7), ("divisor", "int", 2)])
BY_ZERO = envelope11("Divide", [("dividend", "int", 7), ("divisor", "int", 0)])
ECHO12 = ('<?xml version="1.0"?><env:Envelope xmlns:env="http://www.w3.org/2003/05/soap-envelope"><env:Body>'
          '<m:Echo xmlns:m="urn:test:calc"><text>h\u00e9llo</text></m:Echo></env:Body></env:Envelope>').encode()


def action(name):
    return {"Content-Type": SOAP11, "SOAPAction": f'"urn:test:calc#{name}"'}


def action12(name):
    return {"Content-Type": f'{SOAP12}; action="urn:test:calc#{name}"'}


def wait(milliseconds):
    return envelope11("Wait", [("milliseconds", "int", milliseconds)])


# why, method, path, headers, body, status, content type, what the response
# body contains (b"": it is empty), the exchange's trace line (a regular
# expression; None: no exchange runs).
ROWS11 = [
    ("a call: parameters in order, out parameter and return handed back", "POST", "/calc", action("Divide"),
     DIVIDE, 200, SOAP11, b"<remainder", r'Divide\(dividend="7", divisor="2"\) -> remainder="1" return="3"'),
    ("a service exception becomes a Server fault with its description", "POST", "/calc", action("Divide"),
     BY_ZERO, 500, SOAP11, b"division by zero", r"Divide\(.*\) -> fault Server: division by zero"),
    ("the SOAPAction reaches the handler, which refuses a wrong one", "POST", "/calc", action("Echo"), DIVIDE,
     500, SOAP11, b"Client", r"-> fault Client: "),
    ("a body that is not XML is the handler's fault", "POST", "/calc", action("Divide"), "not xml", 500, SOAP11,
     b"Parse Error", r"-> fault Client: XML Parser"),
    ("a one-way call is answered 202 with no body", "POST", "/calc", action("Notify"),
     envelope11("Notify", [("text", "string", "hi")]), 202, "", b"", r'Notify\(text="hi"\) -> return=\(empty\)'),
    ("a GET calls the operation of its path with the query's values", "GET", "/calc/Increment?counter=41", {},
     None, 200, SOAP11, b">42<", r'Increment\(.*bstrQueryString="counter=41"\) -> counter="42"'),
    ("a GET value that does not fit the part's type", "GET", "/calc/Increment?counter=abc", {}, None, 500,
     SOAP11, b"counter", r'-> fault Client: parameter counter cannot be read from "abc"'),
    ("a GET of an operation the port does not have", "GET", "/calc/Nope", {}, None, 404, PLAIN,
     b"no such operation\n", None),
    ("content of another SOAP version, or none", "POST", "/calc", {"Content-Type": "application/soap+xml"},
     DIVIDE, 415, PLAIN, b"this service takes SOAP 1.1: text/xml\n", None),
    ("no content type at all", "POST", "/calc", {}, DIVIDE, 415, PLAIN, b"needs a Content-Type\n", None),
    ("a content type that does not parse", "POST", "/calc", {"Content-Type": "text/xml; charset"}, DIVIDE, 400,
     PLAIN, b"malformed Content-Type\n", None),
    ("another method at the service path", "PUT", "/calc", action("Divide"), DIVIDE, 405, PLAIN,
     b"method not allowed\n", None),
    ("an unknown path", "POST", "/elsewhere", action("Divide"), DIVIDE, 404, PLAIN, b"not found\n", None),
    ("the service page at the root lists the operations", "GET", "/", {}, None, 200, PAGE, b"Increment", None),
    ("a GET of the service path itself", "GET", "/calc", {}, None, 404, PLAIN, b"not found\n", None),
]
ROWS12 = [
    ("SOAP 1.2: the action parameter reaches the handler", "POST", "/calc12", action12("Echo"), ECHO12, 200,
     SOAP12, "h\u00e9llo".encode(), r'Echo\(text="h\u00e9llo"\) -> return="h\u00e9llo"'),
    ("SOAP 1.2: a wrong action parameter is refused by the handler", "POST", "/calc12", action12("Wait"), ECHO12,
     500, SOAP12, b"Sender", r"-> fault Sender"),
    ("SOAP 1.2: SOAP 1.1 content is refused", "POST", "/calc12", action("Echo"), ECHO12, 415, PLAIN,
     b"this service takes SOAP 1.2: application/soap+xml\n", None),
    ("SOAP 1.2: a body that is not XML gets a SOAP 1.2 fault", "POST", "/calc12", action12("Echo"), "<not", 500,
     SOAP12, b'"http://www.w3.org/2003/05/soap-envelope"', r"-> fault Sender"),
]
def run_rows(server, rows):
    for why, method, path, headers, body, status, kind, part, trace in rows:
        before = server.text()
        got, got_kind, data = server.request(method, path, body, headers)
        check(why + " (status, content type)", (got, got_kind) == (status, kind), f"got {got} {got_kind!r}")
        check(why + " (body)", part in data if part else data == b"", f"got {data[:200]!r}")
        # The access log line is written once the answer is sent, so it may trail the answer a moment.
        logged_line = rf"^{method} {re.escape(path)} {got} {len(data)} \d+$"
        added = server.wait_for(logged_line, len(before))
        check(why + " (access log line)", re.search(logged_line, added, re.M), added)
        exchanged = re.search(r"^exchange: .*$", added, re.M)
        if trace is None:
            check(why + " (no exchange)", exchanged is None, added)
        else:
            check(why + " (trace)", exchanged and re.search(trace, exchanged.group(0)), added)


def check_wsdl(server, old_location):
    with open(os.path.join(SAMPLES, "calc.wsdl"), "rb") as wsdl:
        expected = wsdl.read().replace(f'"{old_location}"'.encode(), f'"{server.url}"'.encode())
    for path in (server.path + "?wsdl", "/?WSDL"):
        got = server.request("GET", path)
        check(f"{path} answers the WSDL at the served address", got == (200, SOAP11, expected), got[:2])


def check_transport_limits(server):
    header = f"POST /calc HTTP/1.1\r\nHost: x\r\nContent-Type: {SOAP11}\r\nContent-Length: 100000000\r\n\r\n"
    check("a declared body over the limit is refused before it is sent", server.raw(header.encode()) == 413)
    # The server answers 413 once the limit is passed and closes; a client
    # still sending may see the connection reset before the answer.
    try:
        status = server.request("POST", "/calc", iter([b"x" * (1 << 20)] * 9), action("Divide"))[0]
    except (http.client.RemoteDisconnected, ConnectionResetError, BrokenPipeError):
        status = "closed"
    check("a chunked body that grows over the limit", status in (413, "closed"), f"got {status}")
    check("the server serves on after refusing a large body", server.request("GET", "/elsewhere")[0] == 404)
    check("a malformed header line", server.raw(b"GET /calc HTTP/1.1\r\nHost: x\r\nno colon here\r\n\r\n") == 400)


def check_memory_over_bad_requests(server):
    bad = [("POST", "/calc", "<not", action("Divide")), ("POST", "/calc", "x", {"Content-Type": "text/plain"}),
           ("GET", "/elsewhere", None, {}), ("POST", "/calc", DIVIDE, action("Echo")),
           ("GET", "/calc/Increment?counter=zz", None, {})]
    connection = http.client.HTTPConnection("127.0.0.1", server.port, timeout=30)
    resident_kb = []
    for count in (1000, 10000):  # the first a warm-up: allocator pools, the handler module, the log
        for i in range(count):
            connection.request(*bad[i % len(bad)])
            connection.getresponse().read()
        with open(f"/proc/{server.process.pid}/status") as status:
            resident_kb.append(int(re.search(r"VmRSS:\s+(\d+)", status.read()).group(1)))
    connection.close()
    check("resident memory stays within 10% over 10,000 bad requests", resident_kb[1] <= resident_kb[0] * 1.10,
          resident_kb)


def slow_call(server, milliseconds):
    """A Wait call on a thread of its own, at the service once this returns; the thread and its outcome."""
    outcome = {}

    def run():
        try:
            outcome["status"] = server.request("POST", "/calc", wait(milliseconds), action("Wait"))[0]
        except OSError as error:  # http.client's errors for a closed connection included
            outcome["error"] = error

    thread = threading.Thread(target=run)
    thread.start()
    time.sleep(0.3)
    return thread, outcome


def check_stop_with_a_call_in_flight(server):
    """Two workers: a slow call holds one, the other serves on; SIGTERM then stops accepting, lets the slow
    call finish and exits 0."""
    slow, outcome = slow_call(server, 2000)
    status = server.request("POST", "/calc", BY_ZERO, action("Divide"))[0]
    check("a hanging service does not hold up the other requests", slow.is_alive() and status == 500,
          f"slow still running: {slow.is_alive()}, status {status}")
    server.signal(signal.SIGTERM)
    time.sleep(0.2)
    try:
        socket.create_connection(("127.0.0.1", server.port), timeout=2).close()
        check("after SIGTERM no new connection is accepted", False)
    except OSError:
        pass
    slow.join()
    check("the call in flight at SIGTERM is answered", outcome.get("status") == 200, outcome)
    check("serve exits 0 after SIGTERM", server.stop() == 0)
    log = server.text()
    stop_line = log.find("stopping on signal 15")
    check("the call in flight is logged after the stop began", 0 <= stop_line < log.find("POST /calc", stop_line),
          log[-400:])


def check_second_signal(server):
    """A hung service holds a graceful stop; a second signal ends it."""
    slow, outcome = slow_call(server, 5000)
    server.signal(signal.SIGTERM)
    time.sleep(0.3)
    check("the stop waits for the request in flight", server.process.poll() is None)
    server.signal(signal.SIGINT)
    exit_status = server.process.wait(timeout=30)
    slow.join()
    check("a second signal exits at once, with status 1, the request unanswered",
          exit_status == 1 and "error" in outcome, f"exit {exit_status}, request: {outcome}")
    server.stop()


def check_refusals_at_start(calc):
    # The handler writes a wrapper's members unqualified, so a port whose members are qualified is refused.
    qualified = os.path.join(WORK, "doc_qualified.wsdl")
    with open(os.path.join(TESTS, "..", "examples", "interop_doclit.wsdl")) as doc, open(qualified, "w") as out:
        out.write(doc.read().replace('elementFormDefault="unqualified"', 'elementFormDefault="qualified"'))
    free = ["--listen", "127.0.0.1:0"]
    # why, arguments, what standard error must say
    rows = [("a WSDL that does not load, with its file and line",
             [os.path.join(TESTS, "host", "wsdl", "unsupported_choice.wsdl"), *free], r"unsupported_choice\.wsdl:8: "),
            ("a document port whose wrapper members are qualified", [qualified, *free],
             r"doc_qualified\.wsdl:0: .*echo"),
            ("a service ProgID that is not registered", [calc, "--service", "no.Such", *free],
             r"no\.Such cannot be created"),
            ("an address that is not ADDR:PORT", [calc, "--listen", "localhost"], r"--listen wants ADDR:PORT")]
    for why, arguments, message in rows:
        result = subprocess.run([TOOL, "serve", *arguments], capture_output=True, text=True, timeout=30)
        check(f"serve refuses {why}", result.returncode in (1, 2) and re.search(message, result.stderr),
              f"exit {result.returncode}: {result.stderr}")


def main():
    register(TOOL, MODULE, WORK)
    calc = os.path.join(SAMPLES, "calc.wsdl")
    check_refusals_at_start(calc)

    server = Server(calc, "--threads", "2")
    run_rows(server, ROWS11)
    check_wsdl(server, "http://calc.example.org:8080/calc")
    check_transport_limits(server)
    if SANITIZED:
        print("skipped under the sanitizers: resident memory over bad requests")
    else:
        check_memory_over_bad_requests(server)
    check_stop_with_a_call_in_flight(server)

    server = Server(calc, "--port", "CalcSoap12")
    run_rows(server, ROWS12)
    check_wsdl(server, "http://calc.example.org:8080/calc12")
    server.stop()
    check_second_signal(Server(calc))
    return finish()


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as WORK:
        sys.exit(main())
