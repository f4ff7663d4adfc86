// Serialize of responses against the bare writer. Each response is an
// rpc/encoded SOAP 1.1 answer with explicit typing whose return value is
// an array of N strings, an array of N six-member structs, or one 10 MB
// base64 value. "serialize" runs the handler's Serialize: the tree built
// from the values, written, and stored as the buffer. "bare_write" writes
// the same tree, built once beforehand, with the XML writer alone; the
// ratio of the two is the serializer's own cost. A binary value's text is
// made as the tree is written, straight into the output, so both base64
// rows encode it: the serializer's own part there is the envelope alone.
// Bytes per second count output bytes.
#include <benchmark/benchmark.h>

#include <qxsoapmsg.h>

#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "encode/message_serializer.h"
#include "frame/message_handler.h"
#include "host/memory_port.h"
#include "rpc/production_engines.h"
#include "order_types.h"
#include "struct_component.h"
#include "xml/namespaces.h"
#include "xml/xml_document.h"

namespace qxsoap::bench {
namespace {

using host::MemoryPort;
using host::TypeName;
using host::Xsd;

enum class Kind { kStrings, kStructs, kBase64 };

qxcom::ComPtr<MemoryPort> ResponsePort() {
  qxcom::ComPtr<MemoryPort> port = NewOrdersPort();
  const auto operation = [&](std::u16string_view name, TypeName result) {
    port->Operation(name).Namespace(u"urn:example:orders").Use(u"encoded").Return(u"return", result);
  };
  operation(u"ListLines", kStringsType);
  operation(u"ListOrders", kOrdersType);
  operation(u"FetchDocument", Xsd(u"base64Binary"));
  return port;
}

qxcom::Variant Text(const std::u16string& text) {
  qxcom::Variant value;
  V_VT(value.get()) = VT_BSTR;
  V_BSTR(value.get()) = SysAllocStringLen(text.data(), UINT(text.size()));
  return value;
}

template <typename T>
qxcom::Variant Scalar(VARTYPE type, T number) {
  qxcom::Variant value;
  V_VT(value.get()) = type;
  if constexpr (std::is_same_v<T, double>) {
    V_R8(value.get()) = number;
  } else {
    V_I4(value.get()) = number;
  }
  return value;
}

qxcom::Variant Order(LONG number) {
  qxcom::ComPtr<StructObject> order;
  if (FAILED(CoCreateInstance(CLSID_StructObject, nullptr, CLSCTX_INPROC_SERVER, IID_StructObject,
                              reinterpret_cast<void**>(order.put())))) {
    std::abort();
  }
  const auto add = [&](const char16_t* name, qxcom::Variant value) {
    const qxcom::Bstr member(SysAllocString(name)), ns(SysAllocString(u""));
    VARIANT_BOOL stored = VARIANT_FALSE;
    order->AddMember(member.get(), ns.get(), *value.get(), &stored);
  };
  add(u"number", Scalar(VT_I4, number));
  add(u"customer", Text(u"Customer " + std::u16string(u"&") + u" Sons"));
  add(u"total", Scalar(VT_R8, 1234.5 + number));
  qxcom::Variant placed = Scalar(VT_R8, 45000.0 + number % 365);
  V_VT(placed.get()) = VT_DATE;
  add(u"placed", std::move(placed));
  add(u"quantity", Scalar(VT_I4, number % 17));
  add(u"note", Text(u"deliver before noon"));
  qxcom::Variant value;
  V_VT(value.get()) = VT_DISPATCH;
  V_DISPATCH(value.get()) = order.release();
  return value;
}

qxcom::Variant ItemArray(int count, Kind kind) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, ULONG(count));
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  auto* items = static_cast<VARIANT*>(data);
  for (int i = 0; i < count; ++i) {
    qxcom::Variant item = kind == Kind::kStructs ? Order(i) : Text(u"order line number " + std::u16string(1, u'0' + i % 10));
    item.Detach(&items[i]);
  }
  SafeArrayUnaccessData(array);
  qxcom::Variant value;
  V_VT(value.get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(value.get()) = array;
  return value;
}

qxcom::Variant Document(size_t bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, ULONG(bytes));
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  std::mt19937 random(5);
  for (size_t i = 0; i < bytes; ++i) static_cast<BYTE*>(data)[i] = BYTE(random());
  SafeArrayUnaccessData(array);
  qxcom::Variant value;
  V_VT(value.get()) = VT_ARRAY | VT_UI1;
  V_ARRAY(value.get()) = array;
  return value;
}

// A handler holding the response of one kind and size, ready to serialize.
struct Response {
  Response(Kind kind, int count) : port(ResponsePort()), handler(ProductionEngines()) {
    RegisterStructComponent();
    if (!handler.Initialize(u"Orders", u"OrdersPort", u"", u"", u"", true, false, port.get())) std::abort();
    const char16_t* method = kind == Kind::kStrings   ? u"ListLines"
                             : kind == Kind::kStructs ? u"ListOrders"
                                                      : u"FetchDocument";
    handler.SetMethodName(method);
    handler.SetMethodNS(u"urn:example:orders");
    handler.SetReturnName(u"return");
    const qxcom::Variant result = kind == Kind::kBase64 ? Document(size_t(count)) : ItemArray(count, kind);
    if (FAILED(handler.SetReturnValue(result.get()))) std::abort();
    handler.SetRequestPhase(false);
  }
  qxcom::ComPtr<MemoryPort> port;
  MessageHandler handler;
};

void Serialize(benchmark::State& state, Kind kind) {
  Response response(kind, int(state.range(0)));
  size_t written = 0;
  for (auto _ : state) {
    if (!response.handler.Serialize()) state.SkipWithError("Serialize failed");
    written = response.handler.GetBuffer().size();
  }
  state.SetBytesProcessed(int64_t(written) * state.iterations());
  state.counters["output_bytes"] = double(written);
}

void BareWrite(benchmark::State& state, Kind kind) {
  Response response(kind, int(state.range(0)));
  MessageSerializer serializer;
  XmlDocument document;
  document.SetRoot(serializer.BuildMessage(response.handler, *response.port.get()));
  if (!document.Root()) state.SkipWithError("no tree");
  size_t written = 0;
  for (auto _ : state) {
    uint8_t* bytes = nullptr;
    written = document.Write(&bytes);
    benchmark::DoNotOptimize(bytes);
    std::free(bytes);
  }
  state.SetBytesProcessed(int64_t(written) * state.iterations());
  state.counters["output_bytes"] = double(written);
}

BENCHMARK_CAPTURE(Serialize, strings, Kind::kStrings)->Name("serialize/strings")->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK_CAPTURE(BareWrite, strings, Kind::kStrings)->Name("bare_write/strings")->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK_CAPTURE(Serialize, structs, Kind::kStructs)->Name("serialize/structs")->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK_CAPTURE(BareWrite, structs, Kind::kStructs)->Name("bare_write/structs")->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK_CAPTURE(Serialize, base64, Kind::kBase64)->Name("serialize/base64")->Arg(10 << 20);
BENCHMARK_CAPTURE(BareWrite, base64, Kind::kBase64)->Name("bare_write/base64")->Arg(10 << 20);

}  // namespace
}  // namespace qxsoap::bench

// Large blocks stay in the heap once freed: this machine's kernel makes
// returning and re-faulting pages cost more than the work measured, and
// would weigh on whichever row frees in the worse order. The threshold lies
// above the largest block any row makes (the 100,000-struct response's
// output buffer grows to 64 MB); a block at or over it is mapped afresh on
// every iteration, and its rows then measure page faults. A long-running
// server may set the same.
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
