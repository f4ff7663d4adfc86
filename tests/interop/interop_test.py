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

# client, command (the URL is appended; --literal for the document/literal
# binding), and the gSOAP client built for each binding
COMMANDS = [
    ("PHP SoapClient", ["php", os.path.join(HERE, "php_client.php")]),
    ("Perl SOAP::Lite", ["perl", os.path.join(HERE, "perl_client.pl")]),
    ("Python zeep", ["/usr/bin/python3", os.path.join(HERE, "zeep_client.py")]),
    ("Node soap", ["node", os.path.join(HERE, "node_client.js")]),
]
CLIENTS = [(name, wsdl, command + extra) for name, command in COMMANDS
           for wsdl, extra in (("interop_rpc.wsdl", []), ("interop_doclit.wsdl", ["--literal"]))]
CLIENTS += [("gSOAP C++", "interop_rpc.wsdl", [GSOAP_RPC]), ("gSOAP C++", "interop_doclit.wsdl", [GSOAP_DOCLIT])]


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
