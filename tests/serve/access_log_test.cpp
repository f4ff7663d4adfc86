// The access log written in batches: every line out, each thread's in its
// order, soon after it was added, and what is pending when the log goes.
#include "host/serve/access_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace qxsoap::host {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Contents(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
  return text;
}

TEST(AccessLog, EveryLineIsWrittenInTheOrderOfItsThread) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
  ASSERT_TRUE(file);
  constexpr int kThreads = 4, kLines = 2000;
  {
    AccessLog log(file.get());
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&log, t] {
        for (int i = 0; i < kLines; ++i) log.Add(std::to_string(t) + " " + std::to_string(i) + "\n");
      });
    }
    for (std::thread& thread : threads) thread.join();
  }  // the last batch is written as the log goes
  std::istringstream lines(Contents(file.get()));
  std::map<int, int> next;
  int count = 0;
  for (int t, i; lines >> t >> i; ++count) {
    ASSERT_EQ(i, next[t]) << "thread " << t << " out of order";
    ++next[t];
  }
  EXPECT_EQ(count, kThreads * kLines);
}

TEST(AccessLog, ALineIsWrittenWithoutWaitingForMore) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
  ASSERT_TRUE(file);
  AccessLog log(file.get());
  log.Add("GET / 200 5 17\n");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Contents(file.get()).empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(Contents(file.get()), "GET / 200 5 17\n");
}

}  // namespace
}  // namespace qxsoap::host
