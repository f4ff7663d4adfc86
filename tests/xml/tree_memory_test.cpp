// The memory trees live in: blocks and large pieces, trees that mix parsed
// and built elements, and memory that grows linearly with the document
// whatever its shape.
#include "xml/tree_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "xml/block_pool.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::ParseErrorLine;
using testing::Written;

// Enough allocations of mixed sizes and alignments to fill several blocks,
// some large enough to be pieces of their own: each must be aligned and
// keep its own byte pattern while the others are made.
TEST(TreeMemory, AllocationsAreAlignedAndDisjointAcrossBlocks) {
  const size_t kSizes[] = {1, 24, 344, 4000, kTreeBlockBytes / 8, kTreeBlockBytes / 16 + 1};
  std::vector<std::span<unsigned char>> made;
  TreeMemory memory(256);
  for (size_t i = 0, total = 0; total < 3 * kTreeBlockBytes; total += made.back().size(), ++i) {
    const size_t size = kSizes[i % std::size(kSizes)], alignment = size_t(1) << (i % 5);
    auto* at = static_cast<unsigned char*>(memory.Allocate(size, alignment));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(at) % alignment, 0u) << "allocation " << i;
    made.emplace_back(at, size);
    std::memset(at, int(i & 0xFF), size);
  }
  for (size_t i = 0; i < made.size(); ++i) {
    ASSERT_EQ(made[i].front(), i & 0xFF) << "allocation " << i << " was overwritten";
    ASSERT_EQ(made[i].back(), i & 0xFF) << "allocation " << i << " was overwritten";
  }
  EXPECT_GE(memory.BytesReserved(), 3 * kTreeBlockBytes);
}

// A piece keeps its content while it grows through the recycled sizes (by
// copy) and past them (by remapping), and when its end is given back.
TEST(TreeMemory, PiecesKeepTheirContentAsTheyGrowAndShrink) {
  TreeMemory memory(256);
  constexpr size_t kMegabyte = size_t(1) << 20;
  auto* piece = static_cast<unsigned char*>(memory.AllocatePiece(100 << 10));
  size_t filled = 0;
  for (const size_t size : {size_t(100) << 10, 3 * kMegabyte, kLargestPooledBytes + 5 * kMegabyte}) {
    piece = static_cast<unsigned char*>(memory.GrowPiece(piece, size));
    for (size_t i = 0; i < filled; ++i) ASSERT_EQ(piece[i], i % 251) << "byte " << i;
    for (size_t i = filled; i < size; ++i) piece[i] = static_cast<unsigned char>(i % 251);
    filled = size;
  }
  const size_t before = memory.BytesReserved(), kept = kLargestPooledBytes + kMegabyte;
  memory.ShrinkPiece(piece, kept);
  EXPECT_EQ(before - memory.BytesReserved(), 4 * kMegabyte) << "whole pages given back";
  EXPECT_EQ(piece[kept - 1], (kept - 1) % 251);
}

// Under the sanitizers a parsed tree released before the built tree that
// adopted it, or a view kept into released text, shows up here.
TEST(TreeMemory, TreesOfMixedOriginLiveAsLongAsTheirRoot) {
  const std::u16string longText(40, u'x');
  auto parsed = ParseFragment(u"<a><b><c/></b></a>");
  ASSERT_TRUE(parsed) << "the document that read it is gone; the root keeps the text";
  XmlElement& b = parsed->Children().front();
  EXPECT_EQ(&b.Memory(), &parsed->Memory()) << "parsed elements live in their root's memory";
  b.AppendChild(XmlElement::NewTree(u"built"));
  XmlElement& added = b.AddChild(u"d");
  EXPECT_EQ(&added.Memory(), &b.Memory()) << "a child made in a tree joins its memory";
  added.SetQualifiedAttribute(u"p:x", u"urn:p", longText);
  added.SetText(longText);

  auto built = XmlElement::NewTree(u"built");
  built->AddChild(u"e").AddAttribute(u"y", longText);
  built->AppendChild(std::move(parsed));
  const std::u16string x = u"\"" + longText + u"\"";
  EXPECT_EQ(Written(*built), u"<built><e y=" + x + u" /><a><b><c /><built /><d p:x=" + x +
                                 u" xmlns:p=\"urn:p\">" + longText + u"</d></b></a></built>");
}

// `n` copies of `piece`, each '#' in it replaced by the copy's number.
std::string Repeat(int n, std::string_view piece) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    for (const char c : piece) {
      if (c == '#') out += std::to_string(i); else out += c;
    }
  }
  return out;
}

// A tree of several blocks whose root text is a long first run and then a
// run after every child (joined into a piece of its own as it grows), read
// twice so that the second takes spare blocks; it is written back with all
// the text before the children, as read.
TEST(TreeMemory, LargeDocumentsReadBackTheSame) {
  const std::string first(100000, 'w'), child = "<t:i n=\"#\">v</t:i>";
  const std::string document =
      "<list xmlns:t=\"urn:t\">" + first + Repeat(20000, child + "a&amp;") + "</list>";
  for (int pass = 0; pass < 2; ++pass) {
    XmlDocument read;
    ASSERT_EQ(ParseErrorLine(read, document), std::nullopt);
    ASSERT_EQ(read.Root()->Children().size(), 20000u);
    EXPECT_EQ(read.Root()->Children().back().FindAttribute(u"urn:tin")->Value(), u"19999");
    EXPECT_EQ(testing::WrittenDocument(read),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><list xmlns:t=\"urn:t\">" + first +
                  Repeat(20000, "a&amp;") + Repeat(20000, child) + "</list>");
  }
}

size_t TreeBytes(const std::string& document) {
  XmlDocument read;
  EXPECT_EQ(ParseErrorLine(read, document), std::nullopt);
  return read.Root() ? read.Root()->Memory().BytesReserved() : 0;
}

// Document shapes that once took memory or time out of proportion to their
// size. Memory is counted, not time: doubling the document at most about
// doubles the tree, and the tree (decoded text included) stays within a
// small multiple of the input.
TEST(TreeMemory, GrowsLinearlyWithEveryDocumentShape) {
  const struct {
    const char* why;
    std::string (*make)(int n);
    double maxBytesPerInputByte;
  } rows[] = {
      {"many empty elements: a node is tens of bytes",
       [](int n) { return "<r>" + Repeat(n, "<i/>") + "</r>"; }, 20},
      {"one element with many attributes",
       [](int n) { return "<r " + Repeat(n, "a#=\"v\" ") + "/>"; }, 14},
      {"many prefixes in scope and children that each declare one more",
       [](int n) { return "<r " + Repeat(n, "xmlns:p#=\"u\" ") + ">" +
                          Repeat(n, "<c xmlns:q#=\"v\"/>") + "</r>"; },
       12},
      {"array items with a typed value and text, as a SOAP array",
       [](int n) { return "<a xmlns:xsi=\"urn:xsi\">" +
                          Repeat(n, "\n  <item xsi:type=\"xsd:string\">value #</item>") + "\n</a>"; },
       5},
  };
  constexpr int kSmall = 100000;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    const std::string large = row.make(2 * kSmall);
    const size_t smallBytes = TreeBytes(row.make(kSmall)), largeBytes = TreeBytes(large);
    EXPECT_LE(double(largeBytes) / double(smallBytes), 2.2);
    EXPECT_LE(double(largeBytes) / double(large.size()), row.maxBytesPerInputByte);
    XmlDocument read;  // written and read back, every declaration stays where it was
    ASSERT_EQ(ParseErrorLine(read, large), std::nullopt);
    const std::string written = testing::WrittenDocument(read);
    ASSERT_EQ(ParseErrorLine(read, written), std::nullopt);
    EXPECT_EQ(testing::WrittenDocument(read), written);
  }
}

}  // namespace
}  // namespace qxsoap
