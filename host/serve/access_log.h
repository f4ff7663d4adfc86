// host/serve/access_log.h: the server's access log. Lines come from any
// connection thread; a thread of the log's own writes them in batches, so
// that a request costs no write of its own (on a loaded server one write
// per request was a quarter of the system calls of a small exchange).
//
// Threads: Add may be called from any thread.
#ifndef QXSOAP_HOST_SERVE_ACCESS_LOG_H_
#define QXSOAP_HOST_SERVE_ACCESS_LOG_H_

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace qxsoap::host {

class AccessLog {
 public:
  // Lines go to `out`, each within a few milliseconds of being added.
  explicit AccessLog(std::FILE* out);
  // Writes what is still pending, then stops the writer.
  ~AccessLog();
  AccessLog(const AccessLog&) = delete;
  AccessLog& operator=(const AccessLog&) = delete;

  // Adds `line` (with its line feed) after the lines added before it.
  void Add(std::string_view line);

 private:
  void WriteBatches();

  std::FILE* out_;
  std::mutex mutex_;
  std::condition_variable added_;
  std::string pending_;
  bool stopping_ = false;
  std::thread writer_;
};

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_ACCESS_LOG_H_
