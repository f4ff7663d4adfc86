#!/usr/bin/python3
"""The interop base service called by Python's zeep: every echo operation
with values that stress the wire. One line per operation: "OPERATION ok",
"OPERATION refused: why" for the handler's documented refusal of the
SOAP-encoded arrays zeep sends (without SOAP-ENC:arrayType), "OPERATION
unsupported: why" for a call zeep itself cannot make, or "OPERATION FAIL:
why"; exit status 1 when any failed.

    zeep_client.py [--literal] URL

--literal: the document/literal binding, whose arrays are a sequence of
items named after their type ({"string": [...]}) rather than lists.

The WSDL imports the SOAP encoding and WSDL namespaces without a location,
which zeep would fetch from the network: the transport answers those two
from small local schemas instead (this machine has no network, and a test
must not depend on one)."""
import datetime
import decimal
import struct
import sys

import zeep
import zeep.exceptions
import zeep.transports

SOAP_ENC = "http://schemas.xmlsoap.org/soap/encoding/"
WSDL_NS = "http://schemas.xmlsoap.org/wsdl/"
LOCAL_SCHEMAS = {
    SOAP_ENC: f"""<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" targetNamespace="{SOAP_ENC}"
        xmlns:tns="{SOAP_ENC}">
      <xsd:attribute name="arrayType" type="xsd:string"/>
      <xsd:attribute name="offset" type="xsd:string"/>
      <xsd:attributeGroup name="commonAttributes">
        <xsd:attribute name="id" type="xsd:ID"/><xsd:attribute name="href" type="xsd:anyURI"/>
      </xsd:attributeGroup>
      <xsd:complexType name="Array">
        <xsd:sequence><xsd:any namespace="##any" minOccurs="0" maxOccurs="unbounded"
          processContents="lax"/></xsd:sequence>
        <xsd:attributeGroup ref="tns:commonAttributes"/>
        <xsd:attribute ref="tns:arrayType"/><xsd:attribute ref="tns:offset"/>
      </xsd:complexType>
      <xsd:complexType name="Struct">
        <xsd:sequence><xsd:any namespace="##any" minOccurs="0" maxOccurs="unbounded"
          processContents="lax"/></xsd:sequence>
      </xsd:complexType>
    </xsd:schema>""".encode(),
    WSDL_NS: f"""<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" targetNamespace="{WSDL_NS}">
      <xsd:attribute name="arrayType" type="xsd:string"/>
    </xsd:schema>""".encode(),
}


class LocalSchemas(zeep.transports.Transport):
    def load(self, url):
        for namespace, schema in LOCAL_SCHEMAS.items():
            if url.rstrip("/") == namespace.rstrip("/"):
                return schema
        return super().load(url)


# The item element of each literal array parameter.
LITERAL_ITEMS = {"echoStringArray": "string", "echoIntegerArray": "int", "echoFloatArray": "float",
                 "echoStructArray": "SOAPStruct"}


def main():
    url = sys.argv[-1]
    literal = "--literal" in sys.argv[1:-1]
    client = zeep.Client(url + "?wsdl", transport=LocalSchemas())
    service = client.service
    failed = 0

    def report(operation, why, outcome="FAIL"):
        nonlocal failed
        print(f"{operation} ok" if why is None else f"{operation} {outcome}: {why}")
        failed += why is not None and outcome == "FAIL"

    def echo(operation, *values, same=lambda a, b: a == b):
        for value in values:
            argument = {LITERAL_ITEMS[operation]: value} if literal and operation in LITERAL_ITEMS else value
            try:
                got = getattr(service, operation)(argument)
            except zeep.exceptions.Fault as fault:
                if fault.message == "Encountered improperly typed array accessor.":
                    return report(operation, f"documented: {fault.message}", "refused")
                return report(operation, f"Fault: {fault.message}")
            except (TypeError, ValueError) as error:  # raised by zeep before sending
                return report(operation, f"zeep: {type(error).__name__}: {error}", "unsupported")
            if not same(value, got):
                return report(operation, f"sent {str(value)[:60]!r}, got {str(got)[:60]!r}")
        report(operation, None)

    def as_float32(x):
        return struct.unpack("f", struct.pack("f", x))[0]

    def same_floats(a, b):
        a, b = (a, b) if isinstance(a, list) else ([a], [b])
        return b is not None and len(a) == len(b) and all(as_float32(x) == as_float32(y) for x, y in zip(a, b))

    def same_list(a, b):
        # zeep reads an empty literal string item as None.
        return [x if x is not None or not literal else "" for x in (b or [])] == a

    def same_structs(a, b):
        items = b if isinstance(b, list) else [b]
        a = a if isinstance(a, list) else [a]
        return len(items) == len(a) and all(
            x["varString"] == y.varString and x["varInt"] == y.varInt and as_float32(x["varFloat"]) == as_float32(y.varFloat)
            for x, y in zip(a, items))

    echo("echoString", "h\u00e9llo \u20ac", "\U0001F600 astral \U00010348", "   ", "<&>\"'")
    echo("echoStringArray", ["a", "", "\u00e9"], [f"item {i}" for i in range(10000)], same=same_list)
    echo("echoInteger", 0, -2147483648, 2147483647)
    echo("echoIntegerArray", [1, -2, 3], same=same_list)
    echo("echoFloat", 1.5, -3.4028234663852886e38, same=same_floats)
    echo("echoFloatArray", [0.5, -0.25], same=same_floats)
    echo("echoStruct", {"varString": "s \u00e9", "varInt": -7, "varFloat": 2.5}, same=same_structs)
    echo("echoStructArray", [{"varString": "a", "varInt": 1, "varFloat": 0.5}], same=same_structs)
    echo("echoBase64", bytes(range(256)))
    echo("echoHexBinary", bytes(range(256)).hex().upper(), same=lambda a, b: b is not None and a == b.upper())
    echo("echoBoolean", True, False)
    echo("echoDecimal", decimal.Decimal("-123456789.0123456789"))
    echo("echoDate", datetime.datetime(2026, 12, 6, 10, 30, tzinfo=datetime.timezone.utc))
    try:
        service.echoVoid()
        report("echoVoid", None)
    except Exception as error:
        report("echoVoid", f"{type(error).__name__}: {error}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
