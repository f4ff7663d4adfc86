// host/serve/http_server.h: an HTTP/1.1 server (libmicrohttpd) that reads
// whole requests, hands each to a handler and writes the handler's response
// back. Keep-alive, request size limit, idle-connection timeout, one access
// log line per request (written in batches: access_log.h), and a graceful
// stop that lets the requests in flight finish.
//
// Threads: each connection has a thread of the library, which reads its
// requests, runs the handler and writes the answers; at most `workers`
// handlers run at once, a request beyond them waits for one to end. The
// handler must be safe to call concurrently. A handler that blocks holds
// its connection and one of the `workers`, nothing else.
#ifndef QXSOAP_HOST_SERVE_HTTP_SERVER_H_
#define QXSOAP_HOST_SERVE_HTTP_SERVER_H_

#include <netinet/in.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <semaphore>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/serve/access_log.h"


struct MHD_Daemon;
struct MHD_Connection;

namespace qxsoap::host {

using HttpFields = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string method;
  std::string path;   // percent-decoded, without the query
  std::string query;  // as received, without the '?'
  HttpFields headers;
  HttpFields arguments;  // the query's name=value pairs, decoded
  std::string body;

  // The first header named `name` (any letter case), or null.
  const std::string* Header(std::string_view name) const;
  // The first query argument named `name` (exact), or null.
  const std::string* Argument(std::string_view name) const;
};

struct HttpResponse {
  int status = 200;
  std::string contentType;  // no Content-Type header when empty
  std::string body;
};

struct HttpServerOptions {
  sockaddr_in address{};          // where to listen; port 0 picks a free one
  unsigned workers = 4;           // handlers that run at once
  size_t maxBodyBytes = 8 << 20;  // larger requests are answered 413
  unsigned idleSeconds = 30;      // a connection silent this long is closed
};

class HttpServer {
 public:
  using Handler = std::function<HttpResponse(const HttpRequest&)>;

  // The server does not listen until Start. Access log lines go to `log`.
  HttpServer(HttpServerOptions options, Handler handler, std::FILE* log);
  // Stops as Stop does.
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds the listening socket; requests wait in its backlog until Start.
  // On failure returns false with *error set.
  bool Bind(std::string* error);
  // The port bound (the one picked when the options asked for 0).
  uint16_t Port() const;
  // Starts serving on the bound socket. On failure returns false with
  // *error set.
  bool Start(std::string* error);
  // Stops accepting connections, lets every request already received
  // finish and be answered, then closes all connections. Idempotent.
  void Stop();

 private:
  struct Exchange;
  friend struct HttpServerCallbacks;  // the library's callbacks, in the .cpp
  Exchange* Begin(std::string_view uri);
  int Receive(MHD_Connection* connection, Exchange& exchange, const char* url, const char* method,
              const char* data, size_t* size);
  int Respond(MHD_Connection* connection, Exchange& exchange, HttpResponse&& response);
  // Runs the handler once one of the `workers` slots is free.
  HttpResponse Run(const HttpRequest& request);
  void Finish(Exchange& exchange);

  HttpServerOptions options_;
  Handler handler_;
  AccessLog log_;
  int listener_ = -1;
  uint16_t port_ = 0;
  MHD_Daemon* daemon_ = nullptr;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable idle_;
  size_t inFlight_ = 0;  // requests begun and not yet ended, under mutex_
  std::counting_semaphore<> slots_;
};

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_HTTP_SERVER_H_
