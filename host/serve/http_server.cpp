// The HTTP server on libmicrohttpd, one library thread per connection: the
// request is read, handled and answered on the thread of its connection,
// with no hand-off between threads (each would cost two context switches
// per request, most of the time of a small exchange).
#include "host/serve/http_server.h"

#include <microhttpd.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

#include <chrono>
#include <optional>
#include <semaphore>

namespace qxsoap::host {

struct HttpServer::Exchange {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  std::string uri;  // as received, for the log
  HttpRequest request;
  bool headersRead = false;
  bool tooLarge = false;
  int status = 0;
  size_t bytes = 0;
};

namespace {

const std::string* FindField(const HttpFields& fields, std::string_view name, bool anyCase) {
  for (const auto& [key, value] : fields) {
    const bool same = anyCase ? key.size() == name.size() && strncasecmp(key.data(), name.data(), name.size()) == 0
                              : key == name;
    if (same) return &value;
  }
  return nullptr;
}

MHD_Result CollectField(void* fields, MHD_ValueKind, const char* key, const char* value) {
  static_cast<HttpFields*>(fields)->emplace_back(key ? key : "", value ? value : "");
  return MHD_YES;
}

std::optional<size_t> ContentLength(const HttpRequest& request) {
  const std::string* header = request.Header(MHD_HTTP_HEADER_CONTENT_LENGTH);
  if (!header) return std::nullopt;
  try {
    return std::stoull(*header);
  } catch (const std::exception&) {
    return std::nullopt;  // the library refuses such a request itself
  }
}

}  // namespace

const std::string* HttpRequest::Header(std::string_view name) const { return FindField(headers, name, true); }

const std::string* HttpRequest::Argument(std::string_view name) const {
  return FindField(arguments, name, false);
}

// The library's callbacks, forwarding to the server passed as their closure.
struct HttpServerCallbacks {
  static void* Begin(void* server, const char* uri, MHD_Connection*) {
    return static_cast<HttpServer*>(server)->Begin(uri ? uri : "");
  }
  static MHD_Result Answer(void* server, MHD_Connection* connection, const char* url, const char* method,
                           const char*, const char* data, size_t* size, void** context) {
    auto* self = static_cast<HttpServer*>(server);
    if (!*context) *context = self->Begin(url ? url : "");
    return MHD_Result(self->Receive(connection, *static_cast<HttpServer::Exchange*>(*context), url, method,
                                    data, size));
  }
  static void End(void* server, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
    if (*context) static_cast<HttpServer*>(server)->Finish(*static_cast<HttpServer::Exchange*>(*context));
    *context = nullptr;
  }
};

HttpServer::HttpServer(HttpServerOptions options, Handler handler, std::FILE* log)
    : options_(options), handler_(std::move(handler)), log_(log), slots_(std::max(options.workers, 1u)) {}

HttpServer::~HttpServer() {
  Stop();
  if (listener_ >= 0) close(listener_);  // bound but never started
}

bool HttpServer::Bind(std::string* error) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int reuse = 1;
  if (listener_ < 0 || setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0 ||
      bind(listener_, reinterpret_cast<const sockaddr*>(&options_.address), sizeof options_.address) != 0 ||
      listen(listener_, SOMAXCONN) != 0) {
    *error = std::strerror(errno);
    return false;
  }
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.sin_port);
  return true;
}

bool HttpServer::Start(std::string* error) {
  daemon_ = MHD_start_daemon(
      MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | MHD_USE_ITC, 0, nullptr, nullptr,
      &HttpServerCallbacks::Answer, this, MHD_OPTION_LISTEN_SOCKET, listener_,
      MHD_OPTION_CONNECTION_TIMEOUT, options_.idleSeconds, MHD_OPTION_URI_LOG_CALLBACK,
      &HttpServerCallbacks::Begin, this, MHD_OPTION_NOTIFY_COMPLETED, &HttpServerCallbacks::End, this,
      MHD_OPTION_END);
  if (!daemon_) {
    *error = "the HTTP library cannot start";
    return false;
  }
  listener_ = -1;  // the library owns it now
  return true;
}

uint16_t HttpServer::Port() const { return port_; }

void HttpServer::Stop() {
  if (!daemon_ || stopping_.exchange(true)) return;
  if (const MHD_socket listener = MHD_quiesce_daemon(daemon_); listener != MHD_INVALID_SOCKET) close(listener);
  {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return inFlight_ == 0; });
  }
  MHD_stop_daemon(daemon_);  // closes the idle keep-alive connections
  daemon_ = nullptr;
}

HttpServer::Exchange* HttpServer::Begin(std::string_view uri) {
  std::lock_guard lock(mutex_);
  ++inFlight_;
  auto* exchange = new Exchange;
  exchange->uri = uri;
  if (const size_t mark = uri.find('?'); mark != std::string_view::npos) exchange->request.query = uri.substr(mark + 1);
  return exchange;
}

int HttpServer::Receive(MHD_Connection* connection, Exchange& exchange, const char* url, const char* method,
                        const char* data, size_t* size) {
  HttpRequest& request = exchange.request;
  if (!exchange.headersRead) {
    exchange.headersRead = true;
    request.method = method ? method : "";
    request.path = url ? url : "";
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &CollectField, &request.headers);
    MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, &CollectField, &request.arguments);
    // Refused before the body is read: the library then closes the connection.
    const size_t announced = ContentLength(request).value_or(0);
    if (announced > options_.maxBodyBytes) {
      return Respond(connection, exchange, {413, "text/plain", "request too large\n"});
    }
    request.body.reserve(announced);  // read into place, not regrown as it arrives
    return MHD_YES;
  }
  if (*size) {
    exchange.tooLarge = exchange.tooLarge || request.body.size() + *size > options_.maxBodyBytes;
    if (exchange.tooLarge) return Respond(connection, exchange, {413, "text/plain", "request too large\n"});
    request.body.append(data, *size);
    *size = 0;
    return MHD_YES;
  }
  return Respond(connection, exchange, Run(exchange.request));
}

HttpResponse HttpServer::Run(const HttpRequest& request) {
  slots_.acquire();
  HttpResponse response;
  try {
    response = handler_(request);
  } catch (const std::exception&) {
    response = HttpResponse{500, "text/plain", "internal error\n"};
  }
  slots_.release();
  return response;
}

int HttpServer::Respond(MHD_Connection* connection, Exchange& exchange, HttpResponse&& response) {
  exchange.status = response.status;
  exchange.bytes = response.body.size();
  // The library sends the body from where it is and frees it once sent: a
  // large answer is not copied again.
  auto* body = new std::string(std::move(response.body));
  MHD_Response* reply = MHD_create_response_from_buffer_with_free_callback_cls(
      body->size(), body->data(), [](void* sent) { delete static_cast<std::string*>(sent); }, body);
  if (!reply) {
    delete body;
    return MHD_NO;
  }
  if (!response.contentType.empty()) {
    MHD_add_response_header(reply, MHD_HTTP_HEADER_CONTENT_TYPE, response.contentType.c_str());
  }
  // While stopping, tell keep-alive clients not to send another request.
  if (stopping_) MHD_add_response_header(reply, MHD_HTTP_HEADER_CONNECTION, "close");
  const MHD_Result queued = MHD_queue_response(connection, unsigned(response.status), reply);
  MHD_destroy_response(reply);
  return queued;
}

void HttpServer::Finish(Exchange& exchange) {
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                          exchange.start);
  // method path status bytes microseconds; "-" for a request never answered
  // (the client left or the connection timed out).
  std::string line = exchange.request.method.empty() ? "-" : exchange.request.method;
  line.append(" ").append(exchange.uri).append(" ");
  line.append(exchange.status ? std::to_string(exchange.status) : "-");
  line.append(" ").append(std::to_string(exchange.bytes)).append(" ").append(std::to_string(took.count())).append("\n");
  log_.Add(line);
  delete &exchange;
  std::lock_guard lock(mutex_);
  if (--inFlight_ == 0) idle_.notify_all();
}

}  // namespace qxsoap::host
