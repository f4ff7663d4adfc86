// Runs every input of the reader's fuzz corpus through the reader and, when
// it parses, through the writer and the reader again, as a normal test: a
// crash found by fuzzing stays fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "xml_test_support.h"

namespace qxsoap {
namespace {

const std::filesystem::path kCorpus =
    std::filesystem::path(__FILE__).parent_path() / "../../fuzz/corpus/xml_reader";

TEST(FuzzCorpus, EveryInputParsesOrFailsCleanlyAndRoundTrips) {
  ASSERT_TRUE(std::filesystem::is_directory(kCorpus)) << kCorpus;
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    ++inputs;
    XmlDocument document;
    if (const auto line = testing::ParseErrorLine(document, bytes)) {
      EXPECT_GE(*line, 1);
      EXPECT_EQ(document.Root(), nullptr);
      continue;
    }
    const std::string written = testing::WrittenDocument(document);
    XmlDocument reread;
    EXPECT_EQ(testing::ParseErrorLine(reread, written), std::nullopt);
    EXPECT_EQ(testing::WrittenDocument(reread), written);
  }
  EXPECT_GT(inputs, 5);
}

}  // namespace
}  // namespace qxsoap
