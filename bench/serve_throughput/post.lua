-- wrk: posts the SOAP 1.1 request in the file named by $BODY, with the
-- headers a SOAP 1.1 client sends, on every request.
local file = assert(io.open(assert(os.getenv("BODY"), "BODY names no file"), "rb"))
wrk.method = "POST"
wrk.body = file:read("*a")
file:close()
wrk.headers["Content-Type"] = 'text/xml; charset="utf-8"'
wrk.headers["SOAPAction"] = '"http://soapinterop.org/"'
