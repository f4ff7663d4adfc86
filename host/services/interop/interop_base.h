// The SOAP interop "base" service (round 2): each echo operation hands back
// its argument, converted to the operation's declared type. Served by the
// module libqxsoap_interop.so as the class qxsoap.InteropBase.
#ifndef QXSOAP_HOST_SERVICES_INTEROP_INTEROP_BASE_H_
#define QXSOAP_HOST_SERVICES_INTEROP_INTEROP_BASE_H_

#include "qxsoap/service_object.h"

namespace qxsoap::interop {

using service::Arguments;

// Values arrive as the handler delivers them: strings VT_BSTR, integers
// VT_I4, floats VT_R4, arrays VT_ARRAY | VT_VARIANT, a SOAPStruct as the
// IDispatch of a struct object, base64 and hexBinary VT_ARRAY | VT_UI1,
// dates VT_DATE, decimals VT_DECIMAL, booleans VT_BOOL. An argument that
// does not convert to its type fails the call with DISP_E_TYPEMISMATCH (or
// DISP_E_OVERFLOW) naming it; an array's items are converted one by one.
class InteropBase {
 public:
  qxcom::Variant EchoString(Arguments& args) { return args.As(0, VT_BSTR); }
  qxcom::Variant EchoStringArray(Arguments& args) { return EchoArray(args, VT_BSTR); }
  qxcom::Variant EchoInteger(Arguments& args) { return args.As(0, VT_I4); }
  qxcom::Variant EchoIntegerArray(Arguments& args) { return EchoArray(args, VT_I4); }
  qxcom::Variant EchoFloat(Arguments& args) { return args.As(0, VT_R4); }
  qxcom::Variant EchoFloatArray(Arguments& args) { return EchoArray(args, VT_R4); }
  // The same struct object comes back: echoing needs no copy of it.
  qxcom::Variant EchoStruct(Arguments& args) { return args.As(0, VT_DISPATCH); }
  qxcom::Variant EchoStructArray(Arguments& args) { return EchoArray(args, VT_DISPATCH); }
  qxcom::Variant EchoVoid(Arguments&) { return {}; }
  qxcom::Variant EchoBase64(Arguments& args) { return args.As(0, VT_ARRAY | VT_UI1); }
  qxcom::Variant EchoDate(Arguments& args) { return args.As(0, VT_DATE); }
  qxcom::Variant EchoHexBinary(Arguments& args) { return args.As(0, VT_ARRAY | VT_UI1); }
  qxcom::Variant EchoDecimal(Arguments& args) { return args.As(0, VT_DECIMAL); }
  qxcom::Variant EchoBoolean(Arguments& args) { return args.As(0, VT_BOOL); }

 private:
  // A copy of the VT_ARRAY | VT_VARIANT argument with every item converted
  // to `itemType`.
  static qxcom::Variant EchoArray(Arguments& args, VARTYPE itemType);
};

}  // namespace qxsoap::interop

#endif  // QXSOAP_HOST_SERVICES_INTEROP_INTEROP_BASE_H_
