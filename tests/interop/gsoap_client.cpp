// The interop base service called by a gSOAP client generated from our WSDL:
// every echo operation with values that stress the wire. One line per
// operation, "OPERATION ok", "OPERATION FAIL: why", or "OPERATION what
// unsupported: why" for a value this client cannot send; exit status 1 when
// any failed. The same program is built once per binding, each linking that
// binding's EchoClient.
//   gsoap_client_rpc URL / gsoap_client_doclit URL
#include <cfloat>
#include <climits>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "gsoap_echo.h"

namespace gsoap_interop {
namespace {

// Text for a FAIL line: the first 60 bytes, control bytes escaped so that
// binary values cannot break the one-line-per-operation output.
std::string Shown(const std::string& text) {
  std::string shown = "\"";
  for (unsigned char byte : text.substr(0, 60)) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    shown += byte < 0x20 || byte == 0x7f ? std::string(escaped) : std::string(1, static_cast<char>(byte));
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

  // Prints the line of an operation that answers nothing: ok when the call
  // answered.
  template <typename Call>
  void CheckCall(const char* operation, Call call) {
    try {
      call();
      Report(operation, "");
    } catch (const std::exception& error) {
      Report(operation, std::string("fault: ") + error.what());
    }
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
  EchoClient client(url);
  Run run;
  run.Check("echoString",
            std::vector<std::string>{"h\u00e9llo \u20ac", "\U0001F600 astral \U00010348", "   ", "", "<&>\"'"},
            [&](const std::string& v) { return client.EchoString(v); });
  run.Check("echoStringArray", std::vector<std::vector<std::string>>{{"a", "", "\u00e9"}, {}, ManyStrings()},
            [&](const std::vector<std::string>& v) { return client.EchoStringArray(v); });
  run.Check("echoInteger", std::vector<int>{0, INT_MIN, INT_MAX}, [&](int v) { return client.EchoInteger(v); });
  run.Check("echoIntegerArray", std::vector<std::vector<int>>{{1, -2, 3}, {}},
            [&](const std::vector<int>& v) { return client.EchoIntegerArray(v); });
  run.Check("echoFloat", std::vector<float>{1.5f, -FLT_MAX, FLT_MIN}, [&](float v) { return client.EchoFloat(v); });
  run.Check("echoFloatArray", std::vector<std::vector<float>>{{0.5f, -0.25f}, {}},
            [&](const std::vector<float>& v) { return client.EchoFloatArray(v); });
  run.Check("echoStruct", std::vector<SoapStruct>{{"s \u00e9", -7, 2.5f}},
            [&](const SoapStruct& v) { return client.EchoStruct(v); });
  run.Check("echoStructArray", std::vector<std::vector<SoapStruct>>{{{"a", 1, 0.5f}, {"", 0, -1.5f}}, {}},
            [&](const std::vector<SoapStruct>& v) { return client.EchoStructArray(v); });
  run.Check("echoBase64", std::vector<std::string>{AllBytes(), ""},
            [&](const std::string& v) { return client.EchoBase64(v); });
  run.Check("echoHexBinary", std::vector<std::string>{AllBytes()},
            [&](const std::string& v) { return client.EchoHexBinary(v); });
  run.Check("echoBoolean", std::vector<bool>{true, false}, [&](bool v) { return client.EchoBoolean(v); });
  run.Check("echoDecimal", std::vector<std::string>{"-123456789.0123456789"},
            [&](const std::string& v) { return client.EchoDecimal(v); });
  run.Check("echoDate", kDates, [&](long v) { return static_cast<long>(client.EchoDate(v)); });
  std::printf("echoDate zones unsupported: gSOAP maps xsd:dateTime to time_t and always writes it in UTC\n");
  run.CheckCall("echoVoid", [&] { client.EchoVoid(); });
  return run.failed() ? 1 : 0;
}

}  // namespace
}  // namespace gsoap_interop

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  try {
    return gsoap_interop::RunAll(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", gsoap_interop::EchoClient::Binding(), error.what());
    return 1;
  }
}
