#!/usr/bin/env python3
"""Real SOAP clients (PHP, Perl, zeep, Node's soap) against a live
`qxsoap serve` of the built-in interop service: each client calls every
echo operation with values that stress the wire and prints one line per
operation ("OPERATION ok" or "OPERATION FAIL: why"; "refused: why" for the
handler's documented refusal of what the client sends, "unsupported: why"
for a call the client cannot make).
The table of client x operation x binding is printed; any failure fails
the test.

    interop_test.py QXSOAP INTEROP_MODULE EXAMPLES_DIR TESTS_DIR GSOAP_RPC GSOAP_DOCLIT

GSOAP_RPC and GSOAP_DOCLIT are the gSOAP client built for each binding.
"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "serve"))
from serve_process import ServeProcess  # noqa: E402

TOOL, MODULE, EXAMPLES, TESTS, GSOAP_RPC, GSOAP_DOCLIT = sys.argv[1:7]
HERE = os.path.join(TESTS, "interop")

# client, binding (the WSDL served), command (the URL is appended)
CLIENTS = [
    ("PHP SoapClient", "interop_rpc.wsdl", ["php", os.path.join(HERE, "php_client.php")]),
    ("PHP SoapClient", "interop_doclit.wsdl", ["php", os.path.join(HERE, "php_client.php"), "--literal"]),
    ("Perl SOAP::Lite", "interop_rpc.wsdl", ["perl", os.path.join(HERE, "perl_client.pl")]),
    ("Perl SOAP::Lite", "interop_doclit.wsdl", ["perl", os.path.join(HERE, "perl_client.pl"), "--literal"]),
    ("Python zeep", "interop_rpc.wsdl", ["/usr/bin/python3", os.path.join(HERE, "zeep_client.py")]),
    ("Python zeep", "interop_doclit.wsdl",
     ["/usr/bin/python3", os.path.join(HERE, "zeep_client.py"), "--literal"]),
    ("Node soap", "interop_rpc.wsdl", ["node", os.path.join(HERE, "node_client.js")]),
    ("Node soap", "interop_doclit.wsdl", ["node", os.path.join(HERE, "node_client.js"), "--literal"]),
    ("gSOAP C++", "interop_rpc.wsdl", [GSOAP_RPC]),
    ("gSOAP C++", "interop_doclit.wsdl", [GSOAP_DOCLIT]),
]

def run_client(name, wsdl, command, work):
    server = ServeProcess(TOOL, work, os.path.join(EXAMPLES, wsdl), "--service", "qxsoap.InteropBase")
    try:
        result = subprocess.run([*command, server.url], capture_output=True, text=True, timeout=300)
    finally:
        server.stop()
    lines = re.findall(r"^(\S+)(?: \S+)? (ok|FAIL.*|refused.*|unsupported.*)$", result.stdout, re.M)
    if not lines:
        return [("(client)", f"FAIL: exit {result.returncode}: {result.stdout[-500:]}{result.stderr[-500:]}")]
    if result.returncode != 0 and all(outcome == "ok" for _, outcome in lines):
        lines.append(("(client)", f"FAIL: exit {result.returncode}: {result.stderr[-500:]}"))
    return lines


def main():
    with tempfile.TemporaryDirectory() as work:
        os.environ["QXCOM_REGISTRY"] = os.path.join(work, "registry")
        subprocess.run([TOOL, "register"], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([TOOL, "register", MODULE], check=True, stdout=subprocess.DEVNULL)
        failures = 0
        for name, wsdl, command in CLIENTS:
            for operation, outcome in run_client(name, wsdl, command, work):
                print(f"{name:16} {wsdl:18} {operation:18} {outcome}")
                failures += outcome.startswith("FAIL")
    print(f"{failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
