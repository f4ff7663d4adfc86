#!/usr/bin/env python3
"""`qxsoap serve` over loopback: status codes, the SOAPAction and action
parameter reaching the handler, the service called and its answers handed
back, ?wsdl, the transport errors, the access log, a hanging service, a
graceful stop with a request in flight, and memory over many bad requests.

    serve_test.py QXSOAP TEST_SERVICE_MODULE TESTS_DIR [--sanitized]

--sanitized skips the resident-memory check: AddressSanitizer keeps freed
memory in quarantine, so the figure grows by design there.

The server runs with --trace, whose line per exchange shows what the handler
bound and what went back to it; the response bodies show what was written.
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

from serve_process import ServeProcess

TOOL, MODULE, TESTS = sys.argv[1:4]
SANITIZED = "--sanitized" in sys.argv[4:]
SAMPLES = os.path.join(TESTS, "serve")
failures = []


def check(why, ok, detail=""):
    if not ok:
        failures.append(f"{why}: {detail}")


def Server(wsdl, *options):
    """The server under test: the test service, with a trace line per exchange."""
    return ServeProcess(TOOL, WORK, wsdl, "--service", "qxsoap.TestService", "--trace", *options)


def envelope11(method, parts):
    items = "".join(f'<{name} xsi:type="xsd:{kind}">{value}</{name}>' for name, kind, value in parts)
    return ('<?xml version="1.0"?><SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/"'
            ' xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema"'
            ' SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"><SOAP-ENV:Body>'
            f'<m:{method} xmlns:m="urn:test:calc">{items}</m:{method}></SOAP-ENV:Body></SOAP-ENV:Envelope>')


def envelope12(method, parts):
    items = "".join(f"<{name}>{value}</{name}>" for name, value in parts)
    return ('<?xml version="1.0"?><env:Envelope xmlns:env="http://www.w3.org/2003/05/soap-envelope"><env:Body>'
            f'<m:{method} xmlns:m="urn:test:calc">{items}</m:{method}></env:Body></env:Envelope>')


SOAP11 = "text/xml; charset=utf-8"
DIVIDE = envelope11("Divide", [("dividend", "int", 7), ("divisor", "int", 2)])
BY_ZERO = envelope11("Divide", [("dividend", "int", 7), ("divisor", "int", 0)])


def action(name):
    return {"Content-Type": SOAP11, "SOAPAction": f'"urn:test:calc#{name}"'}


# why, method, path, headers, body, status, the exchange's trace line (a
# regular expression; None: no exchange runs), what the response body must
# contain (None: not looked at).
SOAP11_ROWS = [
    ("a call: parameters in order, out parameter and return handed back", "POST", "/calc", action("Divide"),
     DIVIDE, 200, r'Divide\(dividend="7", divisor="2"\) -> remainder="1" return="3"',
     b"<remainder"),
    ("a service exception becomes a Server fault with its description", "POST", "/calc", action("Divide"),
     BY_ZERO, 500, r"Divide\(.*\) -> fault Server: division by zero", b"division by zero"),
    ("the SOAPAction reaches the handler, which refuses a wrong one", "POST", "/calc", action("Echo"), DIVIDE,
     500, r"-> fault Client: ", b"Client"),
    ("a body that is not XML is the handler's fault", "POST", "/calc", action("Divide"), "not xml", 500,
     r"-> fault Client: XML Parser", b"Parse Error"),
    ("a one-way call is answered 202 with no body", "POST", "/calc", action("Notify"),
     envelope11("Notify", [("text", "string", "hi")]), 202, r'Notify\(text="hi"\) -> return=\(empty\)', None),
    ("a GET calls the operation of its path with the query's values", "GET", "/calc/Increment?counter=41", {},
     None, 200, r'Increment\(.*bstrQueryString="counter=41"\) -> counter="42"', b"42"),
    ("a GET value that does not fit the part's type", "GET", "/calc/Increment?counter=abc", {}, None, 500,
     r'-> fault Client: parameter counter cannot be read from "abc"', b"counter"),
    ("a GET of an operation the port does not have", "GET", "/calc/Nope", {}, None, 404, None, None),
    ("SOAP 1.2 content at a SOAP 1.1 port", "POST", "/calc", {"Content-Type": "application/soap+xml"}, DIVIDE,
     415, None, None),
    ("not a SOAP content type", "POST", "/calc", {"Content-Type": "application/json"}, "{}", 415, None,
     None),
    ("no content type at all", "POST", "/calc", {}, DIVIDE, 415, None, None),
    ("a content type that does not parse", "POST", "/calc", {"Content-Type": "text/xml; charset"}, DIVIDE, 400,
     None, None),
    ("another method at the service path", "PUT", "/calc", action("Divide"), DIVIDE, 405, None, None),
    ("DELETE neither", "DELETE", "/calc", {}, None, 405, None, None),
    ("an unknown path", "GET", "/elsewhere", {}, None, 404, None, None),
    ("a POST to an unknown path", "POST", "/elsewhere", action("Divide"), DIVIDE, 404, None, None),
    ("the service page at the root lists the operations", "GET", "/", {}, None, 200, None, b"Increment"),
    ("the service path itself has no page", "GET", "/calc", {}, None, 404, None, None),
]


def run_rows(server, rows):
    for why, method, path, headers, body, status, trace, body_part in rows:
        before = server.text()
        got, _, data = server.request(method, path, body, headers)
        check(why + f" (status {status})", got == status, f"got {got}")
        if body_part is not None:
            check(why + " (response body)", body_part in data, f"got {data[:200]!r}")
        # The access log line is written once the answer is sent, so it may
        # trail the answer by a moment.
        logged_line = rf"^{method} {re.escape(path)} {got} {len(data)} \d+$"
        added = server.wait_for(logged_line, len(before))
        exchanged = re.search(r"^exchange: .*$", added, re.M)
        if trace is None:
            check(why + " (no exchange)", exchanged is None, added)
        else:
            check(why + " (trace)", bool(re.search(trace, exchanged.group(0) if exchanged else "")), added)
        check(why + " (access log line)", re.search(logged_line, added, re.M) is not None, added)


def check_wsdl(server, port_name, old_location):
    with open(os.path.join(SAMPLES, "calc.wsdl"), "rb") as wsdl:
        expected = wsdl.read().replace(f'"{old_location}"'.encode(), f'"{server.url}"'.encode())
    for path in (server.path + "?wsdl", "/?WSDL"):
        status, kind, data = server.request("GET", path)
        check(f"{port_name}: {path} answers the WSDL at the served address", status == 200 and data == expected,
              f"{status} {data[:120]!r}")
        check(f"{port_name}: {path} is XML", kind.startswith("text/xml"), kind)


def check_transport_limits(server):
    header = (f"POST /calc HTTP/1.1\r\nHost: x\r\nContent-Type: {SOAP11}\r\n"
              "Content-Length: 100000000\r\n\r\n").encode()
    check("a declared body over the limit is refused before it is sent", server.raw(header) == 413)
    # The server answers 413 as soon as the limit is passed and closes; a
    # client still sending may see the connection reset before the answer.
    try:
        status, _, _ = server.request("POST", "/calc", iter([b"x" * (1 << 20)] * 9), action("Divide"))
    except (http.client.RemoteDisconnected, ConnectionResetError, BrokenPipeError):
        status = "closed"
    check("a chunked body that grows over the limit", status in (413, "closed"), f"got {status}")
    status, _, _ = server.request("GET", "/elsewhere")
    check("the server serves on after refusing a large body", status == 404, f"got {status}")
    check("a malformed header line", server.raw(b"GET /calc HTTP/1.1\r\nHost: x\r\nno colon here\r\n\r\n") == 400)


def in_thread(function):
    """Runs `function` on a thread; its result, or the error it raised, lands in the dict returned."""
    result = {}

    def run():
        try:
            result["value"] = function()
        except OSError as error:  # http.client's errors for a closed connection included
            result["error"] = error

    thread = threading.Thread(target=run)
    thread.start()
    return thread, result


def check_hanging_service(server):
    """Two workers: one held by a slow call, the other still serves."""
    slow, slow_result = in_thread(lambda: server.request(
        "POST", "/calc", envelope11("Wait", [("milliseconds", "int", 4000)]), action("Wait")))
    time.sleep(0.3)
    status, _, _ = server.request("POST", "/calc", BY_ZERO, action("Divide"))
    check("a hanging service does not hold up the other requests", slow.is_alive() and status == 500,
          f"slow still running: {slow.is_alive()}, status {status}")
    slow.join()


def check_graceful_stop(server):
    slow, slow_result = in_thread(lambda: server.request(
        "POST", "/calc", envelope11("Wait", [("milliseconds", "int", 1500)]), action("Wait")))
    time.sleep(0.3)  # the request is at the service by now
    server.signal(signal.SIGTERM)
    time.sleep(0.2)
    try:
        socket.create_connection(("127.0.0.1", server.port), timeout=2).close()
        refused = False
    except OSError:
        refused = True
    check("after SIGTERM no new connection is accepted", refused)
    slow.join()
    status = slow_result.get("value", (0,))[0]
    check("the request in flight at SIGTERM is answered", status in (200, 500), f"got {status}")
    check("the request in flight at SIGTERM succeeds", status == 200, f"got {status}")
    exit_status = server.stop()
    check("serve exits 0 after SIGTERM", exit_status == 0, f"exit {exit_status}")
    log = server.text()
    stop_line = log.find("stopping on signal 15")
    check("the in-flight request is logged after the stop began",
          0 <= stop_line < log.find("POST /calc", stop_line), log[-400:])


def check_second_signal(server):
    """A hung service holds a graceful stop; a second signal ends it."""
    slow, slow_result = in_thread(lambda: server.request(
        "POST", "/calc", envelope11("Wait", [("milliseconds", "int", 5000)]), action("Wait")))
    time.sleep(0.3)
    server.signal(signal.SIGTERM)
    time.sleep(0.3)
    check("the stop waits for the request in flight", server.process.poll() is None)
    server.signal(signal.SIGINT)
    exit_status = server.process.wait(timeout=30)
    slow.join()
    check("a second signal exits at once, with status 1, the request unanswered",
          exit_status == 1 and "error" in slow_result, f"exit {exit_status}, request: {slow_result}")
    server.stop()


def resident_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        return int(re.search(r"VmRSS:\s+(\d+)", status.read()).group(1))


def check_memory_over_bad_requests(server):
    bad = [("POST", "/calc", "<not", action("Divide")), ("POST", "/calc", "x", {"Content-Type": "text/plain"}),
           ("GET", "/elsewhere", None, {}), ("POST", "/calc", DIVIDE, action("Echo")),
           ("GET", "/calc/Increment?counter=zz", None, {})]
    connection = http.client.HTTPConnection("127.0.0.1", server.port, timeout=30)

    def send(count):
        for i in range(count):
            method, path, body, headers = bad[i % len(bad)]
            connection.request(method, path, body, headers)
            connection.getresponse().read()

    send(1000)  # warm-up: allocator pools, the handler module, the log
    before = resident_kb(server.process.pid)
    send(10000)
    after = resident_kb(server.process.pid)
    connection.close()
    check("resident memory stays within 10% over 10,000 bad requests", after <= before * 1.10,
          f"{before} kB -> {after} kB")


def check_refusals_at_start(calc):
    free = ["--listen", "127.0.0.1:0"]
    # why, arguments, what standard error must say
    rows = [("a WSDL that does not load, with its file and line",
             [os.path.join(TESTS, "host", "wsdl", "unsupported_choice.wsdl"), *free], r"unsupported_choice\.wsdl:8: "),
            ("a document port whose wrapper members are qualified",
             [os.path.join(SAMPLES, "doc_qualified.wsdl"), *free], r"doc_qualified\.wsdl:0: .*Echo"),
            ("a service ProgID that is not registered", [calc, "--service", "no.Such", *free],
             r"no\.Such cannot be created"),
            ("an address that is not ADDR:PORT", [calc, "--listen", "localhost"], r"--listen wants ADDR:PORT")]
    for why, arguments, message in rows:
        result = subprocess.run([TOOL, "serve", *arguments], capture_output=True, text=True, timeout=30)
        check(f"serve refuses {why}", result.returncode in (1, 2) and re.search(message, result.stderr),
              f"exit {result.returncode}: {result.stderr}")


def main():
    subprocess.run([TOOL, "register"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([TOOL, "register", MODULE], check=True, stdout=subprocess.DEVNULL)
    calc = os.path.join(SAMPLES, "calc.wsdl")
    check_refusals_at_start(calc)

    server = Server(calc, "--threads", "2")
    run_rows(server, SOAP11_ROWS)
    check_wsdl(server, "CalcSoap11", "http://calc.example.org:8080/calc")
    check_transport_limits(server)
    check_hanging_service(server)
    if SANITIZED:
        print("skipped under the sanitizers: resident memory over bad requests")
    else:
        check_memory_over_bad_requests(server)
    check("serve exits 0 on SIGTERM", server.stop() == 0)

    server = Server(calc, "--port", "CalcSoap12")
    soap12 = "application/soap+xml; charset=utf-8"
    echo = envelope12("Echo", [("text", "h\u00e9llo")]).encode()
    run_rows(server, [
        ("SOAP 1.2: the action parameter reaches the handler", "POST", "/calc12",
         {"Content-Type": soap12 + '; action="urn:test:calc#Echo"'}, echo, 200,
         r'Echo\(text="h\u00e9llo"\) -> return="h\u00e9llo"', "h\u00e9llo".encode()),
        ("SOAP 1.2: a wrong action parameter is refused by the handler", "POST", "/calc12",
         {"Content-Type": soap12 + '; action="urn:test:calc#Wait"'}, echo, 500, r"-> fault Sender", None),
        ("SOAP 1.2: SOAP 1.1 content is refused", "POST", "/calc12", action("Echo"), echo, 415, None, None),
        ("SOAP 1.2: a body that is not XML gets a SOAP 1.2 fault", "POST", "/calc12",
         {"Content-Type": soap12 + '; action="urn:test:calc#Echo"'}, "<not", 500,
         r"-> fault Sender", b'"http://www.w3.org/2003/05/soap-envelope"'),
    ])
    check_wsdl(server, "CalcSoap12", "http://calc.example.org:8080/calc12")
    server.stop()

    server = Server(os.path.join(SAMPLES, "doc.wsdl"))
    doc = ('<?xml version="1.0"?><s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body>'
           '<d:Echo xmlns:d="urn:test:doc"><text>a</text></d:Echo></s:Body></s:Envelope>')
    run_rows(server, [("a document/literal wrapped port is served through its rpc view", "POST", "/doc",
                       {"Content-Type": SOAP11, "SOAPAction": '"urn:test:doc#Echo"'}, doc, 200,
                       r'Echo\(text="a"\) -> text="a"', b'<m:EchoResponse xmlns:m="urn:test:doc"><text>a</text>')])
    server.stop()

    server = Server(calc, "--threads", "2")
    check_graceful_stop(server)
    check_second_signal(Server(calc))

    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as WORK:
        os.environ["QXCOM_REGISTRY"] = os.path.join(WORK, "registry")
        sys.exit(main())
