#!/usr/bin/env python3
"""Requests per second and latency of `qxsoap serve` and of a gSOAP server
on the same rpc/encoded interop WSDL, with the same wrk command, one after
the other: echoString, echoStructArray of 100 structs and echoBase64 of
1 MiB. Both servers are first checked to answer each request with 200 and
the echoed value; a wrong answer stops the run before anything is timed.

    throughput.py BUILD_DIR [--threads N] [--connections N] [--duration 10s]

BUILD_DIR holds the qxsoap tool, the handler and interop modules and the
gSOAP server (`run` builds them). Both servers get the same worker thread
count (default: as many as wrk's connections, since the gSOAP server holds
a worker for each keep-alive connection)."""
import argparse
import base64
import os
import random
import re
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "serve"))
from serve_process import ServeProcess  # noqa: E402

WSDL = os.path.join(ROOT, "examples", "interop_rpc.wsdl")
ENVELOPE = """<?xml version="1.0" encoding="UTF-8"?>
<SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/"
 xmlns:SOAP-ENC="http://schemas.xmlsoap.org/soap/encoding/"
 xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
 xmlns:i="http://soapinterop.org/" xmlns:s="http://soapinterop.org/xsd">
<SOAP-ENV:Body SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/">
<i:{operation}>{parameter}</i:{operation}>
</SOAP-ENV:Body>
</SOAP-ENV:Envelope>
"""


def float32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def requests():
    """(operation, request body, the value the response must echo) for each message."""
    text = "h\u00e9llo w\u00f6rld \u20ac \U0001F600 & <interop>"
    structs = [(f"item {i} \u00e9", i - 50, float32(i * 0.25 - 3.5)) for i in range(100)]
    data = random.Random(24).randbytes(1 << 20)
    escaped = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    items = "".join(
        f'<item xsi:type="s:SOAPStruct"><varString xsi:type="xsd:string">{s}</varString>'
        f'<varInt xsi:type="xsd:int">{n}</varInt><varFloat xsi:type="xsd:float">{f!r}</varFloat></item>'
        for s, n, f in structs)
    return [
        ("echoString", f'<inputString xsi:type="xsd:string">{escaped}</inputString>', text),
        ("echoStructArray", f'<inputStructArray xsi:type="SOAP-ENC:Array" '
                            f'SOAP-ENC:arrayType="s:SOAPStruct[{len(structs)}]">{items}</inputStructArray>', structs),
        ("echoBase64", f'<inputBase64 xsi:type="xsd:base64Binary">{base64.b64encode(data).decode()}</inputBase64>',
         data),
    ]


def local(tag):
    return tag.rsplit("}", 1)[-1]


def echoed(operation, response):
    """The value in the response's `return` accessor, read as `operation`'s result."""
    root = ElementTree.fromstring(response)
    by_id = {element.get("id"): element for element in root.iter() if element.get("id")}

    def resolved(element):  # a multi-reference accessor points at its value
        href = element.get("href")
        return by_id[href[1:]] if href else element

    result = next((resolved(e) for e in root.iter() if local(e.tag) == "return"), None)
    if result is None:
        raise ValueError("the response has no return accessor")
    if operation == "echoString":
        return result.text or ""
    if operation == "echoBase64":
        return base64.b64decode(result.text or "")
    return [tuple(kind(resolved(member).text or "") for member, kind in
                  zip(resolved(item), (str, int, lambda t: float32(float(t))))) for item in result]


def check(url, operation, body, expected):
    request = urllib.request.Request(url, body, {"Content-Type": 'text/xml; charset="utf-8"',
                                                 "SOAPAction": '"http://soapinterop.org/"'})
    try:
        with urllib.request.urlopen(request, timeout=60) as response:
            got = echoed(operation, response.read())
    except Exception as error:  # an HTTP error, a fault or an unreadable answer
        return f"{type(error).__name__}: {error}"
    return None if got == expected else f"echoed {str(got)[:80]!r}, sent {str(expected)[:80]!r}"


def wrk(url, body_file, args):
    command = ["wrk", f"-t{args.wrk_threads}", f"-c{args.connections}", f"-d{args.duration}", "--latency",
               "-s", os.path.join(HERE, "post.lua"), url]
    output = subprocess.run(command, env={**os.environ, "BODY": body_file}, capture_output=True, text=True,
                            check=True).stdout

    def field(pattern):
        match = re.search(pattern, output, re.M)
        return match.group(1) if match else "-"

    problems = []
    if (count := field(r"Non-2xx or 3xx responses: (\d+)")) != "-":
        problems.append(f"{count} non-2xx")
    if (errors := field(r"Socket errors: (.*)$")) != "-":
        problems.append(f"socket {errors}")
    return {"rps": field(r"Requests/sec:\s+([\d.]+)"), "p50": field(r"^\s+50%\s+(\S+)"),
            "p99": field(r"^\s+99%\s+(\S+)"), "errors": ", ".join(problems) or "0",
            "command": " ".join(command[:-2] + [os.path.relpath(command[-2], ROOT), "URL"])}


class GsoapServer:
    def __init__(self, binary, threads):
        self.process = subprocess.Popen([binary, "--listen", "127.0.0.1:0", "--threads", str(threads)],
                                        stdout=subprocess.PIPE, text=True)
        match = re.match(r"serving (\S+)", self.process.stdout.readline())
        if not match:
            raise SystemExit("the gSOAP server did not start")
        self.url = match.group(1)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=30)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build_dir")
    parser.add_argument("--connections", type=int, default=8)
    parser.add_argument("--threads", type=int, help="worker threads of each server (default: connections)")
    parser.add_argument("--wrk-threads", type=int, default=2)
    parser.add_argument("--duration", default="10s")
    args = parser.parse_args()
    threads = args.threads or args.connections
    build = os.path.abspath(args.build_dir)
    tool = os.path.join(build, "cli", "qxsoap")

    with tempfile.TemporaryDirectory() as work:
        os.environ["QXCOM_REGISTRY"] = os.path.join(work, "registry")
        subprocess.run([tool, "register"], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([tool, "register", os.path.join(build, "host", "services", "interop", "libqxsoap_interop.so")],
                       check=True, stdout=subprocess.DEVNULL)
        qxsoap = ServeProcess(tool, work, WSDL, "--service", "qxsoap.InteropBase", "--threads", str(threads))
        gsoap = GsoapServer(os.path.join(build, "bench", "serve_throughput", "gsoap_interop_server"), threads)
        servers = [("qxsoap serve", qxsoap.url), ("gSOAP 2.8.124", gsoap.url)]
        try:
            messages = []
            for operation, parameter, expected in requests():
                body_file = os.path.join(work, operation + ".xml")
                body = ENVELOPE.format(operation=operation, parameter=parameter).encode()
                with open(body_file, "wb") as file:
                    file.write(body)
                for server, url in servers:
                    why = check(url, operation, body, expected)
                    if why:
                        raise SystemExit(f"{server} answers {operation} wrongly: {why}")
                messages.append((f"{operation} ({len(body) / 1000:.1f} KB)", body_file))
            print(f"load before timing: {os.getloadavg()[0]:.2f}; {threads} worker threads per server")
            rows = []
            for message, body_file in messages:
                for server, url in servers:
                    rows.append((message, server, wrk(url, body_file, args)))
                    time.sleep(1)
        finally:
            gsoap.stop()
            qxsoap.stop()
    print(f"\n{rows[0][2]['command']}\n")
    print("| message | server | requests/s | p50 | p99 | errors |")
    print("|---|---|---|---|---|---|")
    for message, server, result in rows:
        print(f"| {message} | {server} | {result['rps']} | {result['p50']} | {result['p99']} | {result['errors']} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
