// The declared shape of encoded arrays: sizes, totals and offsets as the
// arrayType, arraySize and offset values give them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "decode/array_shape.h"
#include "model/fault_record.h"

namespace qxsoap {
namespace {

TEST(ArrayShape, SizesAndTotals) {
  const struct {
    const char* why;
    std::u16string_view arrayType;  // the local part with its brackets
    std::u16string_view offset;     // empty: none
    std::u16string_view itemType;
    std::vector<int32_t> sizes;
    int32_t total;
  } rows[] = {
      {"one dimension", u"int[5]", u"", u"int", {5}, 5},
      {"two dimensions multiply", u"int[2,3]", u"", u"int", {2, 3}, 6},
      {"nested arrays: the item type keeps the inner brackets", u"int[][4]", u"", u"int[]", {4}, 4},
      {"the first size not given", u"string[]", u"", u"string", {0}, -1},
      {"the first size not given, inner ones given", u"string[,3]", u"", u"string", {0, 3}, -1},
      {"a zero size", u"int[0]", u"", u"int", {0}, 0},
      {"an offset leaves fewer items", u"int[5]", u"[2]", u"int", {5}, 3},
      {"an offset in two dimensions", u"int[4,3]", u"[1,0]", u"int", {4, 3}, 9},
      {"an offset of a size not given keeps the total open", u"int[]", u"[2]", u"int", {0}, -1},
      {"digits end a size; the closing bracket is not checked", u"int[7x", u"", u"int", {7}, 7},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    ArrayShape shape;
    EXPECT_EQ(ReadArrayType(row.arrayType, shape, true), row.itemType);
    if (!row.offset.empty()) ReadOffset(row.offset, false, shape, true);
    EXPECT_EQ(shape.sizes, row.sizes);
    EXPECT_EQ(shape.total, row.total);
  }
}

TEST(ArrayShape, Soap12ArraySize) {
  const struct {
    std::u16string_view value;
    std::vector<int32_t> sizes;
    int32_t total;
  } rows[] = {
      {u"3", {3}, 3},
      {u"2 3", {2, 3}, 6},
      {u"* 4", {0, 4}, -1},
      {u"*", {0}, -1},
  };
  for (const auto& row : rows) {
    ArrayShape shape;
    ReadArraySize(row.value, shape, true);
    EXPECT_EQ(shape.sizes, row.sizes);
    EXPECT_EQ(shape.total, row.total);
  }
}

TEST(ArrayShape, SizesBeyond32BitsAreRefusedBeforeAnythingIsMade) {
  for (std::u16string_view value : {u"int[4294967296]", u"int[2147483648]", u"int[65536,65536]",
                                    u"int[46341,46341]"}) {
    ArrayShape shape;
    try {
      ReadArrayType(value, shape, false);
      ADD_FAILURE() << "accepted";
    } catch (QXSOAPFault* raised) {
      const std::unique_ptr<QXSOAPFault> fault(raised);
      EXPECT_EQ(fault->kind, FaultKind::kSender);
      EXPECT_FALSE(fault->needDetail);
    }
  }
  ArrayShape largest;
  ReadArrayType(u"int[46340,46340]", largest, false);
  EXPECT_EQ(largest.total, 46340 * 46340);
}

}  // namespace
}  // namespace qxsoap
