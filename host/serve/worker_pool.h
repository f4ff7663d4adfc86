// host/serve/worker_pool.h: a fixed number of threads that run queued jobs
// in the order they were queued.
#ifndef QXSOAP_HOST_SERVE_WORKER_POOL_H_
#define QXSOAP_HOST_SERVE_WORKER_POOL_H_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qxsoap::host {

class WorkerPool {
 public:
  // Starts `threads` threads (at least one).
  explicit WorkerPool(unsigned threads);
  // Finishes every queued job, then joins the threads.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Queues `job` for the next free thread. May be called from any thread.
  void Post(std::function<void()> job);

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_SERVE_WORKER_POOL_H_
