// The access log written in batches: every line out, each thread's in its
// order, and what is pending when the log goes. That a line is written
// without waiting for more, serve_test.py sees: each exchange waits for its
// line.
#include "host/serve/access_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace qxsoap::host {
namespace {

TEST(AccessLog, EveryLineIsWrittenInTheOrderOfItsThread) {
  std::FILE* file = std::tmpfile();
  ASSERT_TRUE(file);
  constexpr int kThreads = 4, kLines = 2000;
  {
    AccessLog log(file);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&log, t] {
        for (int i = 0; i < kLines; ++i) log.Add(std::to_string(t) + " " + std::to_string(i) + "\n");
      });
    }
    for (std::thread& thread : threads) thread.join();
  }  // the last batch is written as the log goes
  std::rewind(file);
  std::map<int, int> next;
  int count = 0;
  for (int t, i; std::fscanf(file, "%d %d", &t, &i) == 2; ++count) {
    ASSERT_EQ(i, next[t]) << "thread " << t << " out of order";
    ++next[t];
  }
  std::fclose(file);
  EXPECT_EQ(count, kThreads * kLines);
}

}  // namespace
}  // namespace qxsoap::host
