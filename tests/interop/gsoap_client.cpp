// The interop base service called by a gSOAP client generated from our WSDL:
// every echo operation with values that stress the wire. One line per
// operation, "OPERATION ok", "OPERATION FAIL: why", or "OPERATION what
// unsupported: why" for a value this client cannot send; exit status 1 when
// any failed. The same program is built once per binding, over the proxy
// class soapcpp2 generated from that binding's WSDL: QX_GSOAP_RPC 1 for the
// rpc/encoded SOAP 1.1 binding, 0 for the document/literal SOAP 1.2 one.
//   gsoap_client_rpc URL / gsoap_client_doclit URL
#include <cfloat>
#include <climits>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#if QX_GSOAP_RPC
#include <soapInteropTestSoapBindingProxy.h>
using Gsoap = InteropTestSoapBindingProxy;
#else
#include <soapInteropTestDocLitSoap12BindingProxy.h>
using Gsoap = InteropTestDocLitSoap12BindingProxy;
#endif

namespace {

struct SoapStruct {
  std::string varString;
  int varInt = 0;
  float varFloat = 0;
  bool operator==(const SoapStruct&) const = default;
};

// The proxy bound to the service at `url`, strings carried as UTF-8. gSOAP
// keeps only a pointer to the endpoint, so the string lives beside it.
struct Proxy {
  explicit Proxy(const std::string& url) : endpoint(url), gsoap(SOAP_C_UTFSTRING) {
    gsoap.soap_endpoint = endpoint.c_str();
  }

  // Sends `input` through `method` and answers the result, or the return_
  // of the response struct gSOAP makes for it. Throws std::runtime_error
  // with gSOAP's account of a call that did not answer. What gSOAP
  // allocated for the call before is freed first: its values are copied
  // out by then.
  template <typename In, typename Out>
  auto Call(int (Gsoap::*method)(In, Out&), std::type_identity_t<In> input) {
    gsoap.destroy();
    Out out{};
    Check((gsoap.*method)(input, out));
    if constexpr (requires { out.return_; }) {
      return out.return_;
    } else {
      return out;
    }
  }
  template <typename Out>
  void Call(int (Gsoap::*method)(Out&)) {
    Out out{};
    Check((gsoap.*method)(out));
  }

  void Check(int status) {
    if (status == SOAP_OK) return;
    const char* text = soap_fault_string(gsoap.soap);
    const char* detail = soap_fault_detail(gsoap.soap);
    std::string why = text ? text : "no fault string";
    if (detail) why += std::string(" (") + detail + ")";
    throw std::runtime_error(why + " [gSOAP error " + std::to_string(status) + "]");
  }

  std::string endpoint;
  Gsoap gsoap;
};

#if QX_GSOAP_RPC
const char* const kBinding = "rpc/encoded SOAP 1.1";

// Parameters are passed as they are; arrays are SOAP-encoded arrays, a
// pointer and a size.
#define ECHO(Name, value) proxy.Call(&Gsoap::echo##Name, value)
#define ECHO_VOID() proxy.Call(&Gsoap::echoVoid)

// gSOAP writes an array whose pointer is null as an empty element without
// SOAP-ENC:arrayType, which the server rightly refuses as an untyped array
// accessor; an empty array is written with its type when the pointer is set.
template <typename Array, typename Item>
Array ArrayOf(std::vector<Item>& items) {
  static Item none;
  Array array;
  array.__ptr = items.empty() ? &none : items.data();
  array.__size = static_cast<int>(items.size());
  return array;
}

template <typename Array>
auto ItemsOf(const Array* array) {
  using Item = std::remove_pointer_t<decltype(array->__ptr)>;
  if (!array || !array->__ptr) return std::vector<Item>{};
  return std::vector<Item>(array->__ptr, array->__ptr + array->__size);
}

// The echo of `items` through the array operation echo<Name>, whose array
// type is ArrayOf<type>.
#define ECHO_ARRAY(Name, type, member, items)                                  \
  [&](auto sent) {                                                             \
    auto array = ArrayOf<ArrayOf##type>(sent);                                 \
    return ItemsOf(ECHO(Name, &array));                                        \
  }(items)
#else
const char* const kBinding = "document/literal SOAP 1.2";

// Each operation takes its request wrapper element (inputX inside) and
// answers its response wrapper (return_ inside).
#define ECHO(Name, value)                                                      \
  [&] {                                                                        \
    _i__echo##Name request;                                                    \
    request.input##Name = value;                                               \
    return proxy.Call(&Gsoap::echo##Name, &request);                           \
  }()
#define ECHO_VOID()                                                            \
  [&] {                                                                        \
    _i__echoVoid request;                                                      \
    proxy.Call(&Gsoap::echoVoid, &request);                                    \
  }()

// Arrays are wrappers (s__ArrayOf<type>) around a sequence of items named
// after their type (`member`); an absent wrapper has none.
#define ECHO_ARRAY(Name, type, member, items)                                  \
  [&](auto sent) {                                                             \
    s__ArrayOf##type array;                                                    \
    array.member = sent;                                                       \
    auto* got = ECHO(Name, &array);                                            \
    return got ? got->member : decltype(sent){};                               \
  }(items)
#endif

// gSOAP's binary types point at bytes they do not own here: `bytes` must
// outlive the call.
template <typename Binary>
Binary BinaryOf(std::string& bytes) {
  Binary binary;
  binary.__ptr = reinterpret_cast<unsigned char*>(bytes.data());
  binary.__size = static_cast<int>(bytes.size());
  return binary;
}

template <typename Binary>
std::string BytesOf(const Binary& binary) {
  if (!binary.__ptr) return {};
  return std::string(reinterpret_cast<const char*>(binary.__ptr), std::size_t(binary.__size));
}

s__SOAPStruct GsoapStructOf(const SoapStruct& value) {
  s__SOAPStruct gsoap;
  gsoap.varString = value.varString;
  gsoap.varInt = value.varInt;
  gsoap.varFloat = value.varFloat;
  return gsoap;
}

SoapStruct StructOf(const s__SOAPStruct* gsoap) {
  if (!gsoap) throw std::runtime_error("the response has no struct");
  return {gsoap->varString, gsoap->varInt, gsoap->varFloat};
}

// Text for a FAIL line: the first 60 bytes, control bytes escaped so that
// binary values cannot break the one-line-per-operation output.
std::string Shown(const std::string& text) {
  std::string shown = "\"";
  for (unsigned char byte : text.substr(0, 60)) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    shown += byte < 0x20 || byte == 0x7f ? std::string(escaped) : std::string(1, char(byte));
  }
  return shown + (text.size() > 60 ? "...\"" : "\"");
}
std::string Shown(int value) { return std::to_string(value); }
std::string Shown(bool value) { return value ? "true" : "false"; }
std::string Shown(long value) { return std::to_string(value); }
std::string Shown(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}
std::string Shown(const SoapStruct& value) {
  return "{" + Shown(value.varString) + ", " + Shown(value.varInt) + ", " + Shown(value.varFloat) + "}";
}
template <typename Item>
std::string Shown(const std::vector<Item>& items) {
  std::string text = std::to_string(items.size()) + " items [";
  for (std::size_t i = 0; i < items.size() && i < 3; ++i) text += (i ? ", " : "") + Shown(items[i]);
  return text + (items.size() > 3 ? ", ...]" : "]");
}

class Run {
 public:
  // Calls `echo` with each of `values` in turn and prints the operation's
  // line: ok when every value came back equal, else the first difference or
  // failed call.
  template <typename Value, typename Echo>
  void Check(const char* operation, const std::vector<Value>& values, Echo echo) {
    for (const Value& value : values) {
      std::string why;
      try {
        auto got = echo(value);
        if (got == value) continue;
        why = "sent " + Shown(value) + ", got " + Shown(got);
      } catch (const std::exception& error) {
        why = std::string("fault: ") + error.what();
      }
      return Report(operation, why);
    }
    Report(operation, "");
  }

  void Report(const std::string& operation, const std::string& why) {
    std::printf("%s %s\n", operation.c_str(), why.empty() ? "ok" : ("FAIL: " + why).c_str());
    failed_ += !why.empty();
  }

  int failed() const { return failed_; }

 private:
  int failed_ = 0;
};

std::string AllBytes() {
  std::string bytes;
  for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);
  return bytes;
}

std::vector<std::string> ManyStrings() {
  std::vector<std::string> items;
  for (int i = 1; i <= 10000; ++i) items.push_back("item " + std::to_string(i));
  return items;
}

// 2026-12-06T10:30:00Z, 1999-12-31T22:59:59Z and a time before the epoch,
// 1969-07-20T20:17:40Z.
const std::vector<long> kDates = {1796553000L, 946681199L, -14182940L};

int RunAll(const std::string& url) {
  Proxy proxy(url);
  Run run;
  run.Check("echoString",
            std::vector<std::string>{"h\u00e9llo \u20ac", "\U0001F600 astral \U00010348", "   ", "", "<&>\"'"},
            [&](const std::string& v) { return ECHO(String, v); });
  run.Check("echoStringArray", std::vector<std::vector<std::string>>{{"a", "", "\u00e9"}, {}, ManyStrings()},
            [&](const std::vector<std::string>& v) { return ECHO_ARRAY(StringArray, string, string, v); });
  run.Check("echoInteger", std::vector<int>{0, INT_MIN, INT_MAX}, [&](int v) { return ECHO(Integer, v); });
  run.Check("echoIntegerArray", std::vector<std::vector<int>>{{1, -2, 3}, {}},
            [&](const std::vector<int>& v) { return ECHO_ARRAY(IntegerArray, int, int_, v); });
  run.Check("echoFloat", std::vector<float>{1.5f, -FLT_MAX, FLT_MIN}, [&](float v) { return ECHO(Float, v); });
  run.Check("echoFloatArray", std::vector<std::vector<float>>{{0.5f, -0.25f}, {}},
            [&](const std::vector<float>& v) { return ECHO_ARRAY(FloatArray, float, float_, v); });
  run.Check("echoStruct", std::vector<SoapStruct>{{"s \u00e9", -7, 2.5f}}, [&](const SoapStruct& v) {
    s__SOAPStruct sent = GsoapStructOf(v);
    return StructOf(ECHO(Struct, &sent));
  });
  run.Check("echoStructArray", std::vector<std::vector<SoapStruct>>{{{"a", 1, 0.5f}, {"", 0, -1.5f}}, {}},
            [&](const std::vector<SoapStruct>& values) {
              std::vector<s__SOAPStruct> structs;
              for (const SoapStruct& value : values) structs.push_back(GsoapStructOf(value));
              std::vector<s__SOAPStruct*> items;
              for (s__SOAPStruct& item : structs) items.push_back(&item);
              std::vector<SoapStruct> result;
              for (s__SOAPStruct* item : ECHO_ARRAY(StructArray, SOAPStruct, SOAPStruct, items)) {
                result.push_back(StructOf(item));
              }
              return result;
            });
  run.Check("echoBase64", std::vector<std::string>{AllBytes(), ""}, [&](std::string v) {
    return BytesOf(ECHO(Base64, BinaryOf<xsd__base64Binary>(v)));
  });
  run.Check("echoHexBinary", std::vector<std::string>{AllBytes()}, [&](std::string v) {
    return BytesOf(ECHO(HexBinary, BinaryOf<xsd__hexBinary>(v)));
  });
  run.Check("echoBoolean", std::vector<bool>{true, false}, [&](bool v) { return ECHO(Boolean, v); });
  run.Check("echoDecimal", std::vector<std::string>{"-123456789.0123456789"},
            [&](const std::string& v) { return ECHO(Decimal, v); });
  run.Check("echoDate", kDates, [&](long v) { return static_cast<long>(ECHO(Date, v)); });
  std::printf("echoDate zones unsupported: gSOAP maps xsd:dateTime to time_t and always writes it in UTC\n");
  try {
    ECHO_VOID();
    run.Report("echoVoid", "");
  } catch (const std::exception& error) {
    run.Report("echoVoid", std::string("fault: ") + error.what());
  }
  return run.failed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  try {
    return RunAll(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", kBinding, error.what());
    return 1;
  }
}
