// The declared shape of encoded arrays where the parse tests cannot reach
// it: sizes and totals at the edge of 32 bits, refused before anything is
// made. Shapes that fit are checked through whole requests
// (value_decoding_test) and malformed values through their faults
// (request_records_test).
#include <gtest/gtest.h>

#include <memory>

#include "decode/array_shape.h"
#include "model/fault_record.h"

namespace qxsoap {
namespace {

TEST(ArrayShape, SizesBeyond32BitsAreRefused) {
  for (std::u16string_view value : {u"int[4294967296]", u"int[2147483648]", u"int[46341,46341]"}) {
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
  EXPECT_EQ(ReadArrayType(u"int[46340,46340]", largest, false), u"int");
  EXPECT_EQ(largest.total, 46340 * 46340);
  ArrayShape open;
  ReadArrayType(u"int[,3]", open, true);
  EXPECT_EQ(open.total, -1) << "a first size not given keeps the total open";
}

}  // namespace
}  // namespace qxsoap
