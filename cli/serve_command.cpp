// qxsoap serve WSDL [--port NAME] [--listen ADDR:PORT] [--service PROGID]
// [--threads N] [--trace]: serves the WSDL's port over HTTP, one handler object per
// exchange, the operations answered by the service object named by its
// ProgID. Runs until SIGINT or SIGTERM, then finishes the requests in
// flight and exits 0 (a second signal exits at once with 1). --trace adds a line per exchange with the call the
// handler bound and the answer that went back.
#include <arpa/inet.h>
#include <malloc.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <charconv>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "commands.h"
#include "host/wrapped_document.h"
#include "host/serve/service_page.h"
#include "host/serve/soap_endpoint.h"
#include "host/wsdl_source.h"
#include "qxsoap/wsdl_port.h"
#include "qxsoapmsg.h"
#include "xml/namespaces.h"

namespace qxsoap::cli {
namespace {

constexpr char kUsage[] =
    "usage: qxsoap serve WSDL [--port NAME] [--listen ADDR:PORT] [--service PROGID] [--threads N] [--trace]\n";
constexpr char16_t kDefaultService[] = u"qxsoap.InteropBase";

struct ServeOptions {
  std::string wsdl, port;
  std::string listen = "127.0.0.1:8080";
  std::u16string service = kDefaultService;
  unsigned threads = 4;
  bool trace = false;
};

bool ParseCount(std::string_view text, unsigned* count) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *count);
  return error == std::errc() && end == text.data() + text.size() && *count > 0 && *count <= 1024;
}

bool ParseOptions(std::span<char* const> args, ServeOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--port" && hasValue) {
      options->port = args[++i];
    } else if (arg == "--listen" && hasValue) {
      options->listen = args[++i];
    } else if (arg == "--service" && hasValue) {
      const std::string_view progId = args[++i];
      options->service.assign(progId.begin(), progId.end());
    } else if (arg == "--trace") {
      options->trace = true;
    } else if (arg == "--threads" && hasValue) {
      if (!ParseCount(args[++i], &options->threads)) return false;
    } else if (options->wsdl.empty() && !arg.starts_with("-")) {
      options->wsdl = arg;
    } else {
      return false;
    }
  }
  return !options->wsdl.empty();
}

// ADDR:PORT with an IPv4 address.
bool ParseListen(const std::string& text, sockaddr_in* address) {
  const size_t colon = text.rfind(':');
  unsigned port = 0;
  if (colon == std::string::npos) return false;
  const std::string_view digits = std::string_view(text).substr(colon + 1);
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
  if (error != std::errc() || end != digits.data() + digits.size() || port > 65535) return false;
  address->sin_family = AF_INET;
  address->sin_port = htons(uint16_t(port));
  return inet_pton(AF_INET, text.substr(0, colon).c_str(), &address->sin_addr) == 1;
}

std::u16string Widen(std::string_view text) { return {text.begin(), text.end()}; }

// The class factory of the class registered under `progId`, or null with
// the reason printed.
// A class object registered with the process for as long as this lives.
class ClassObjectRegistration {
 public:
  ClassObjectRegistration(REFCLSID clsid, IUnknown* object) {
    if (FAILED(CoRegisterClassObject(clsid, object, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_))) {
      cookie_ = 0;
    }
  }
  ~ClassObjectRegistration() {
    if (cookie_) CoRevokeClassObject(cookie_);
  }
  ClassObjectRegistration(const ClassObjectRegistration&) = delete;
  ClassObjectRegistration& operator=(const ClassObjectRegistration&) = delete;

 private:
  DWORD cookie_ = 0;
};

qxcom::ComPtr<IClassFactory> FactoryOf(std::u16string_view progId, const char* hint) {
  CLSID clsid{};
  qxcom::ComPtr<IClassFactory> factory;
  const std::u16string name(progId);
  HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                          reinterpret_cast<void**>(factory.put()));
  }
  if (FAILED(hr)) {
    std::fprintf(stderr, "qxsoap serve: %s cannot be created (HRESULT 0x%08X)%s\n", host::Narrow(name).c_str(),
                 unsigned(hr), hint);
    return {};
  }
  return factory;
}

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  *text = contents.str();
  return bool(in);
}

// The binding's SOAP version and the address path of the port.
void DescribeService(PortDescription& port, int* version, std::string* path) {
  BSTR text = nullptr, host = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  port.GetBindingNS(&text, &found);
  *version = found == VARIANT_TRUE && std::u16string_view(text, SysStringLen(text)) == WSDL_SOAP12_NS ? 12 : 11;
  SysFreeString(text);
  LONG tcpPort = 0;
  text = nullptr;
  found = VARIANT_FALSE;
  port.GetAddress(&host, &text, &tcpPort, &found);
  *path = found == VARIANT_TRUE && SysStringLen(text) ? host::Narrow({text, SysStringLen(text)}) : "/";
  SysFreeString(host);
  SysFreeString(text);
}

// Blocks SIGINT and SIGTERM in this thread and every thread it starts, so
// that only the sigwait below receives them.
sigset_t BlockStopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

// Lets the requests in flight finish and returns 0. A second signal while
// they do (a service that hangs holds the stop) ends the process at once
// with status 1.
int StopServing(host::HttpServer& server, const sigset_t& stopSignals) {
  std::atomic<bool> stopped{false};
  const pthread_t mainThread = pthread_self();
  std::thread stopper([&] {
    server.Stop();
    stopped = true;
    pthread_kill(mainThread, SIGTERM);  // wakes the sigwait below
  });
  int received = 0;
  sigwait(&stopSignals, &received);
  if (!stopped) {
    std::fprintf(stderr, "qxsoap serve: signal %d again: exiting without the requests still in flight\n", received);
    std::_Exit(1);
  }
  stopper.join();
  return 0;
}

// Memory a request frees stays with the process for the next one: requests
// of a few megabytes otherwise get fresh pages from the kernel for every
// buffer (the body, its wide text, the values, the answer) and give them
// back after, and faulting those pages in cost most of the time of a 1 MiB
// echo. 32 MiB is the largest mmap threshold the allocator takes; the
// request size limit keeps every buffer below it.
void KeepFreedMemoryForReuse() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
}

int Serve(const ServeOptions& options) {
  KeepFreedMemoryForReuse();
  sockaddr_in address{};
  if (!ParseListen(options.listen, &address)) {
    std::fprintf(stderr, "qxsoap serve: --listen wants ADDR:PORT with an IPv4 address, not '%s'\n",
                 options.listen.c_str());
    return 2;
  }
  std::string wsdlText;
  host::WsdlError error;
  bool documentView = false;
  std::vector<std::u16string> operations;
  qxcom::ComPtr<PortDescription> port = qxcom::ComPtr<PortDescription>::Adopt(
      host::LoadServedPort(options.wsdl.c_str(), options.port.c_str(), &error, &documentView, &operations));
  if (!port) {
    std::fprintf(stderr, "qxsoap serve: %s:%d: %s\n", error.file.c_str(), error.line, error.message.c_str());
    return 1;
  }
  if (!ReadFile(options.wsdl, &wsdlText)) {
    std::fprintf(stderr, "qxsoap serve: cannot read %s\n", options.wsdl.c_str());
    return 1;
  }
  const auto handlers = FactoryOf(kQxsoapmsg2ProgId, " (run `qxsoap register` first)");
  const auto services = FactoryOf(options.service, "");
  const auto structs = FactoryOf(kStructObjectProgId, " (run `qxsoap register` first)");
  if (!handlers || !services || !structs) return 1;
  // The handler makes a struct object for every struct a request holds; with
  // the class object registered in the process, finding it is a table
  // lookup instead of a read of the registry file for every message.
  const ClassObjectRegistration structsRegistered(CLSID_StructObject, structs.get());

  host::ExchangeSetup setup;
  setup.handlers = handlers.get();
  setup.services = services.get();
  setup.port = port.get();
  setup.documentView = documentView;
  setup.portName = Widen(options.port);
  setup.trace = options.trace ? stderr : nullptr;
  std::string servicePath;
  DescribeService(*port.get(), &setup.soapVersion, &servicePath);
  const sigset_t stopSignals = BlockStopSignals();
  std::unique_ptr<host::SoapEndpoint> endpoint;
  host::HttpServer server({address, options.threads},
                          [&endpoint](const host::HttpRequest& request) { return endpoint->Handle(request); }, stderr);
  std::string failure;
  if (!server.Bind(&failure)) {
    std::fprintf(stderr, "qxsoap serve: cannot listen on %s: %s\n", options.listen.c_str(), failure.c_str());
    return 1;
  }
  std::string url = "http://";  // appended: see exchange_trace.cpp on g++ 12's -Wrestrict
  url.append(options.listen, 0, options.listen.rfind(':')).append(":").append(std::to_string(server.Port()));
  url.append(servicePath);
  setup.nodeURI = Widen(url);
  const std::string page = host::BuildServicePage(*port.get(), {servicePath, setup.soapVersion, operations});
  endpoint = std::make_unique<host::SoapEndpoint>(setup, servicePath, wsdlText, options.port, page);
  if (!server.Start(&failure)) {
    std::fprintf(stderr, "qxsoap serve: %s\n", failure.c_str());
    return 1;
  }
  std::fprintf(stderr, "qxsoap serve: serving %s (WSDL at %s?wsdl)\n", url.c_str(), url.c_str());
  int received = 0;
  sigwait(&stopSignals, &received);
  std::fprintf(stderr, "qxsoap serve: stopping on signal %d\n", received);
  return StopServing(server, stopSignals);
}

}  // namespace

int RunServeCommand(std::span<char* const> args) {
  ServeOptions options;
  if (!ParseOptions(args, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return Serve(options);
}

}  // namespace qxsoap::cli
