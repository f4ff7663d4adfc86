// The cursor rules every GetFirst/GetNext pair shares, over a list of three.
#include <gtest/gtest.h>

#include <cstdint>

#include "model/elem_records.h"
#include "model/record_list.h"

namespace qxsoap {
namespace {

RecordList<ElemRecord> ListOf(std::initializer_list<const char16_t*> names) {
  RecordList<ElemRecord> list;
  for (const char16_t* name : names) {
    list.AppendNew([&](ElemRecord& record) {
      record.name = name;
      return S_OK;
    });
  }
  return list;
}

struct NextRow {
  const char* why;
  LONG position, positionAfter;
  std::u16string_view handedOut;  // "-": end of list
};

constexpr NextRow kNextRows[] = {
    {"-1 steps to the first record in unsigned arithmetic", -1, 0, u"a"},
    {"past the end keeps the position", 2, 2, u"-"},
    {"-2 is 0xFFFFFFFE and steps past the end, not to -1", -2, -2, u"-"},
    {"INT32_MAX + 1 is not a small index", INT32_MAX, INT32_MAX, u"-"},
};

TEST(RecordListCursor, NextRows) {
  const RecordList<ElemRecord> list = ListOf({u"a", u"b", u"c"});
  for (const NextRow& row : kNextRows) {
    SCOPED_TRACE(row.why);
    LONG position = row.position;
    const ElemRecord* record = list.Next(position);
    EXPECT_EQ(record ? std::u16string_view(record->name) : u"-", row.handedOut);
    EXPECT_EQ(position, row.positionAfter);
  }
}

TEST(RecordListCursor, FirstWritesZeroOrLeavesThePositionOfAnEmptyList) {
  LONG position = 7;
  EXPECT_EQ(RecordList<ElemRecord>().First(position), nullptr);
  EXPECT_EQ(position, 7);
  EXPECT_EQ(ListOf({u"a"}).First(position)->name, u"a");
  EXPECT_EQ(position, 0);
}

TEST(RecordListCursor, RemovalDuringIterationSkipsTheRecordThatMovedUp) {
  RecordList<ElemRecord> list = ListOf({u"a", u"b", u"c"});
  LONG position = 0;
  ASSERT_EQ(list.First(position)->name, u"a");
  list.RemoveAt(0);
  // The caller's position is an index, not a reference: "b" moved into
  // place 0, so the next step hands out "c".
  EXPECT_EQ(list.Next(position)->name, u"c");
  EXPECT_EQ(list.Count(), 2);
}

}  // namespace
}  // namespace qxsoap
