// The module libqxsoap_interop.so: the interop base service as the class
// qxsoap.InteropBase, operations and parameters named as the interop
// rounds published them.
#include "host/services/interop/interop_base.h"

namespace qxsoap::interop {
namespace {

using service::Method;

constexpr Method<InteropBase> kMethods[] = {
    {u"echoString", {u"inputString"}, &InteropBase::EchoString},
    {u"echoStringArray", {u"inputStringArray"}, &InteropBase::EchoStringArray},
    {u"echoInteger", {u"inputInteger"}, &InteropBase::EchoInteger},
    {u"echoIntegerArray", {u"inputIntegerArray"}, &InteropBase::EchoIntegerArray},
    {u"echoFloat", {u"inputFloat"}, &InteropBase::EchoFloat},
    {u"echoFloatArray", {u"inputFloatArray"}, &InteropBase::EchoFloatArray},
    {u"echoStruct", {u"inputStruct"}, &InteropBase::EchoStruct},
    {u"echoStructArray", {u"inputStructArray"}, &InteropBase::EchoStructArray},
    {u"echoVoid", {}, &InteropBase::EchoVoid},
    {u"echoBase64", {u"inputBase64"}, &InteropBase::EchoBase64},
    {u"echoDate", {u"inputDate"}, &InteropBase::EchoDate},
    {u"echoHexBinary", {u"inputHexBinary"}, &InteropBase::EchoHexBinary},
    {u"echoDecimal", {u"inputDecimal"}, &InteropBase::EchoDecimal},
    {u"echoBoolean", {u"inputBoolean"}, &InteropBase::EchoBoolean},
};

// {C9D7D265-88F6-46DD-AFD3-0C11DE2BF0D1}
constexpr CLSID kInteropBaseClass = {
    0xC9D7D265, 0x88F6, 0x46DD, {0xAF, 0xD3, 0x0C, 0x11, 0xDE, 0x2B, 0xF0, 0xD1}};

constexpr service::ServiceClass kClasses[] = {
    {&kInteropBaseClass, u"qxsoap.InteropBase", u"qxsoap.InteropBase.1",
     u"SOAP interop base service", &service::CreateServiceObject<InteropBase, kMethods>},
};

}  // namespace
}  // namespace qxsoap::interop

QXSOAP_SERVICE_MODULE(qxsoap::interop::kClasses)
