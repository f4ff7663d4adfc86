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
    EXPECT_EQ(list.AppendNew([&](ElemRecord& record) {
      record.name = name;
      return S_OK;
    }),
              S_OK);
  }
  return list;
}

struct NextRow {
  const char* why;
  LONG position;
  const char16_t* handedOut;  // null: end of list
  LONG positionAfter;
};

constexpr NextRow kNextRows[] = {
    {"-1 steps to the first record in unsigned arithmetic", -1, u"a", 0},
    {"an ordinary step", 0, u"b", 1},
    {"the last record", 1, u"c", 2},
    {"past the end keeps the position", 2, nullptr, 2},
    {"far past the end keeps the position", 100, nullptr, 100},
    {"-2 is 0xFFFFFFFE and steps past the end, not to -1", -2, nullptr, -2},
    {"INT32_MAX + 1 is not a small index", INT32_MAX, nullptr, INT32_MAX},
    {"INT32_MIN is a huge unsigned value", INT32_MIN, nullptr, INT32_MIN},
};

TEST(RecordListCursor, NextRows) {
  const RecordList<ElemRecord> list = ListOf({u"a", u"b", u"c"});
  for (const NextRow& row : kNextRows) {
    SCOPED_TRACE(row.why);
    LONG position = row.position;
    const ElemRecord* record = list.Next(position);
    if (row.handedOut) {
      ASSERT_NE(record, nullptr);
      EXPECT_EQ(record->name, row.handedOut);
    } else {
      EXPECT_EQ(record, nullptr);
    }
    EXPECT_EQ(position, row.positionAfter);
  }
}

TEST(RecordListCursor, FirstOnEmptyListLeavesThePosition) {
  const RecordList<ElemRecord> list;
  LONG position = 7;
  EXPECT_EQ(list.First(position), nullptr);
  EXPECT_EQ(position, 7);
  EXPECT_EQ(list.Count(), 0);
}

TEST(RecordListCursor, FirstThenNextVisitsEachRecordOnce) {
  const RecordList<ElemRecord> list = ListOf({u"a", u"b", u"c"});
  std::u16string visited;
  LONG position = 42;
  for (const ElemRecord* record = list.First(position); record; record = list.Next(position)) {
    visited += record->name;
  }
  EXPECT_EQ(visited, u"abc");
  EXPECT_EQ(position, 2);
}

TEST(RecordListCursor, RemovalMovesTheRecordsBehindUp) {
  RecordList<ElemRecord> list = ListOf({u"a", u"b", u"c"});
  LONG position = 0;
  ASSERT_EQ(list.First(position)->name, u"a");
  list.RemoveAt(0);
  // The cursor still says 0, so the next step skips the record that moved
  // into place 0: the caller's position is an index, not a reference.
  const ElemRecord* next = list.Next(position);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->name, u"c");
  EXPECT_EQ(list.Count(), 2);
}

TEST(RecordListAppend, FailingFillAppendsNothing) {
  RecordList<ElemRecord> list;
  EXPECT_EQ(list.AppendNew([](ElemRecord&) { return DISP_E_BADVARTYPE; }), DISP_E_BADVARTYPE);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace qxsoap
