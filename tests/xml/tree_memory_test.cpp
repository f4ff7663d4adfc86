// The arena parsed trees live in, and trees that mix arena and heap elements.
#include "xml/tree_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::Written;

// Enough allocations of mixed sizes and alignments to fill several blocks,
// some large enough to go to the heap: each must be aligned and keep its
// own byte pattern while the others are made.
TEST(TreeMemory, AllocationsAreAlignedAndDisjointAcrossBlocks) {
  const size_t kSizes[] = {1, 24, 344, 4000, kTreeBlockBytes / 8, kTreeBlockBytes / 16 + 1};
  std::vector<std::span<unsigned char>> made;
  TreeMemory memory;
  for (size_t i = 0, total = 0; total < 3 * kTreeBlockBytes; total += made.back().size(), ++i) {
    const size_t size = kSizes[i % std::size(kSizes)], alignment = size_t(1) << (i % 5);
    auto* at = static_cast<unsigned char*>(memory.allocate(size, alignment));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(at) % alignment, 0u) << "allocation " << i;
    made.emplace_back(at, size);
    std::memset(at, int(i & 0xFF), size);
  }
  for (size_t i = 0; i < made.size(); ++i) {
    ASSERT_EQ(made[i].front(), i & 0xFF) << "allocation " << i << " was overwritten";
    ASSERT_EQ(made[i].back(), i & 0xFF) << "allocation " << i << " was overwritten";
    memory.deallocate(made[i].data(), made[i].size(), size_t(1) << (i % 5));
  }
}

// Under the sanitizers a child freed the wrong way (a heap element
// destroyed in place, an arena element deleted) or an arena released
// before the elements in it shows up here.
TEST(TreeMemory, TreesOfMixedOriginFreeEachElementAsItWasMade) {
  const std::u16string longText(40, u'x');
  auto parsed = ParseFragment(u"<a><b><c/></b></a>");
  ASSERT_TRUE(parsed) << "the document that read it is gone; the root keeps the arena";
  XmlElement& b = *parsed->Children()[0];
  EXPECT_NE(b.Memory(), std::pmr::get_default_resource()) << "parsed children use the arena";
  b.AppendChild(std::make_unique<XmlElement>(u"heap"));
  XmlElement& added = b.AddChild(u"d");
  EXPECT_EQ(added.Memory(), b.Memory()) << "a child made in a tree joins its arena";
  added.SetQualifiedAttribute(u"p:x", u"urn:p", longText);
  added.text = longText;

  auto built = std::make_unique<XmlElement>(u"built");
  built->AddChild(u"e").AddAttribute(u"y", longText);
  EXPECT_EQ(built->Children()[0]->Memory(), std::pmr::get_default_resource());
  built->AppendChild(std::move(parsed));
  const std::u16string x = u"\"" + longText + u"\"";
  EXPECT_EQ(Written(*built), u"<built><e y=" + x + u" /><a><b><c /><heap /><d p:x=" + x +
                                 u" xmlns:p=\"urn:p\">" + longText + u"</d></b></a></built>");
}

// A tree of several blocks, with a text and a child list long enough to be
// large allocations, read twice so that the second takes spare blocks; it is
// written back exactly as it was read.
TEST(TreeMemory, LargeDocumentsReadBackTheSame) {
  std::string document = "<list xmlns:t=\"urn:t\">" + std::string(100000, 'w');
  for (int i = 0; i < 20000; ++i) document += "<t:i n=\"" + std::to_string(i) + "\">v</t:i>";
  document += "</list>";
  for (int pass = 0; pass < 2; ++pass) {
    XmlDocument read;
    ASSERT_EQ(testing::ParseErrorLine(read, document), std::nullopt);
    ASSERT_EQ(read.Root()->Children().size(), 20000u);
    EXPECT_EQ(read.Root()->Children()[19999]->FindAttribute(u"urn:tin")->value, u"19999");
    EXPECT_EQ(testing::WrittenDocument(read),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + document);
  }
}

}  // namespace
}  // namespace qxsoap
