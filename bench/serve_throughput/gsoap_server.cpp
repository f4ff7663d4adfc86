// The interop base service (rpc/encoded SOAP 1.1) as a gSOAP server, the
// peer that `qxsoap serve` is measured against. The service class is
// generated from examples/interop_rpc.wsdl at build time; this file
// implements its echo operations and runs gSOAP's thread-pool server: the
// main thread accepts connections and hands each to one of N workers, each
// with a gSOAP context of its own that serves the connection's requests
// (HTTP keep-alive) until the client closes it.
//   gsoap_interop_server [--listen ADDR:PORT] [--threads N]
// It prints "serving http://ADDR:PORT/" once it listens (port 0 picks a free
// one) and runs until killed.
#include <arpa/inet.h>
#include <soapInteropTestSoapBindingService.h>
#include <sys/socket.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every operation answers its input. Request values live in the worker's
// gSOAP context until the exchange ends, so results may point at them.
class EchoService : public InteropTestSoapBindingService {
 public:
  using InteropTestSoapBindingService::InteropTestSoapBindingService;

  // A worker's service: a context of its own with the listener's settings
  // (the generated copy constructor would share the listener's).
  EchoService* copy() override {
    auto* worker = new EchoService();
    soap_done(worker->soap);
    soap_copy_context(worker->soap, soap);
    return worker;
  }

  int echoString(const std::string& input, std::string& result) override { return Echo(input, result); }
  int echoStringArray(ArrayOfstring* input, i__echoStringArrayResponse& response) override {
    return Echo(input, response.return_);
  }
  int echoInteger(int input, int& result) override { return Echo(input, result); }
  int echoIntegerArray(ArrayOfint* input, i__echoIntegerArrayResponse& response) override {
    return Echo(input, response.return_);
  }
  int echoFloat(float input, float& result) override { return Echo(input, result); }
  int echoFloatArray(ArrayOffloat* input, i__echoFloatArrayResponse& response) override {
    return Echo(input, response.return_);
  }
  int echoStruct(s__SOAPStruct* input, i__echoStructResponse& response) override {
    return Echo(input, response.return_);
  }
  int echoStructArray(ArrayOfSOAPStruct* input, i__echoStructArrayResponse& response) override {
    return Echo(input, response.return_);
  }
  int echoVoid(i__echoVoidResponse&) override { return SOAP_OK; }
  int echoBase64(const xsd__base64Binary& input, xsd__base64Binary& result) override { return Echo(input, result); }
  int echoDate(time_t input, time_t& result) override { return Echo(input, result); }
  int echoHexBinary(const xsd__hexBinary& input, xsd__hexBinary& result) override { return Echo(input, result); }
  int echoDecimal(const std::string& input, std::string& result) override { return Echo(input, result); }
  int echoBoolean(bool input, bool& result) override { return Echo(input, result); }

 private:
  template <typename Value>
  static int Echo(const Value& input, Value& result) {
    result = input;
    return SOAP_OK;
  }
};

// Accepted connections waiting for a free worker.
class ConnectionQueue {
 public:
  void Push(SOAP_SOCKET socket) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      sockets_.push_back(socket);
    }
    ready_.notify_one();
  }

  SOAP_SOCKET Pop() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [&] { return !sockets_.empty(); });
    SOAP_SOCKET socket = sockets_.front();
    sockets_.pop_front();
    return socket;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<SOAP_SOCKET> sockets_;
};

// One worker: serves each connection it is handed until the client closes
// it, with its own copy of the listener's context.
void Work(std::unique_ptr<EchoService> service, ConnectionQueue& queue) {
  for (;;) {
    service->soap->socket = queue.Pop();
    service->serve();  // answers a fault itself when a request fails
    service->destroy();
    service->soap_force_close_socket();
  }
}

struct Options {
  std::string host = "127.0.0.1";
  int port = 0;
  int threads = 4;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--threads") {
      options->threads = std::atoi(value.c_str());
    } else if (name == "--listen" && value.rfind(':') != std::string::npos) {
      options->host = value.substr(0, value.rfind(':'));
      options->port = std::atoi(value.c_str() + value.rfind(':') + 1);
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && options->threads > 0;
}

int BoundPort(SOAP_SOCKET socket) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: %s [--listen ADDR:PORT] [--threads N]\n", argv[0]);
    return 2;
  }
  EchoService listener(SOAP_IO_KEEPALIVE | SOAP_C_UTFSTRING);
  listener.soap->bind_flags = SO_REUSEADDR;
  listener.soap->max_keep_alive = 0;  // keep a connection for as long as the client does
  listener.soap->recv_timeout = 30;   // seconds idle before a connection is dropped, as qxsoap serve
  listener.soap->send_timeout = 30;
  if (!soap_valid_socket(listener.bind(options.host.c_str(), options.port, 128))) {
    listener.soap_stream_fault(std::cerr);
    return 1;
  }
  std::printf("serving http://%s:%d/\n", options.host.c_str(), BoundPort(listener.soap->master));
  std::fflush(stdout);

  ConnectionQueue queue;
  std::vector<std::thread> workers;
  for (int i = 0; i < options.threads; ++i) {
    workers.emplace_back(Work, std::unique_ptr<EchoService>(listener.copy()), std::ref(queue));
  }
  for (;;) {
    SOAP_SOCKET socket = listener.accept();
    if (!soap_valid_socket(socket)) continue;
    listener.soap->socket = SOAP_INVALID_SOCKET;  // the worker owns it now
    queue.Push(socket);
  }
}
