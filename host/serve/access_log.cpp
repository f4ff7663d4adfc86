// The access log's writer: it wakes for the first line of a batch, lets the
// lines of a few milliseconds gather, and writes them with one call.
#include "host/serve/access_log.h"

#include <chrono>

namespace qxsoap::host {
namespace {

constexpr std::chrono::milliseconds kBatchWindow{20};

}  // namespace

AccessLog::AccessLog(std::FILE* out) : out_(out), writer_([this] { WriteBatches(); }) {}

AccessLog::~AccessLog() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  added_.notify_one();
  writer_.join();
}

void AccessLog::Add(std::string_view line) {
  bool first;
  {
    const std::lock_guard lock(mutex_);
    first = pending_.empty();
    pending_.append(line);
  }
  if (first) added_.notify_one();
}

void AccessLog::WriteBatches() {
  std::string batch;
  std::unique_lock lock(mutex_);
  for (;;) {
    added_.wait(lock, [this] { return !pending_.empty() || stopping_; });
    if (pending_.empty()) return;  // stopping, with everything written
    if (!stopping_) {
      lock.unlock();
      std::this_thread::sleep_for(kBatchWindow);
      lock.lock();
    }
    batch.swap(pending_);
    lock.unlock();
    std::fwrite(batch.data(), 1, batch.size(), out_);
    std::fflush(out_);
    batch.clear();
    lock.lock();
  }
}

}  // namespace qxsoap::host
