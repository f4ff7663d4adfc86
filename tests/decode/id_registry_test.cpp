// The id registry on its own: records are only addresses to it, so a few
// records of one tree stand for as many as a test files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/accessor_handler.h"
#include "decode/id_registry.h"

namespace qxsoap {
namespace {

class IdRegistryTest : public testing::Test {
 protected:
  AccessorHandler& Record(size_t i) {
    while (records_.size() <= i) {
      records_.push_back(&AccessorHandler::Make(tree_->AddChild(u"e"), 11, context_));
    }
    return *records_[i];
  }
  // `count` ids numbered as toolkits write them: "<prefix>0", "<prefix>1", ...
  static std::vector<std::u16string> Numbered(std::u16string_view prefix, size_t count) {
    std::vector<std::u16string> ids;
    for (size_t i = 0; i < count; ++i) {
      const std::string digits = std::to_string(i);
      ids.push_back(std::u16string(prefix) + std::u16string(digits.begin(), digits.end()));
    }
    return ids;
  }

  std::unique_ptr<XmlElement> tree_ = XmlElement::NewTree(u"root");
  AccessorContext context_{true};
  std::vector<AccessorHandler*> records_;
};

// Ids filed through several growths of the table all stay found, each
// with its first record; repeats, prefixes and unknown ids are told apart.
// They are filed last first, so that all but the first go through the table.
TEST_F(IdRegistryTest, KeepsTheFirstRecordOfEveryIdThroughGrowth) {
  IdRegistry ids;
  EXPECT_EQ(ids.Find(u"id1"), nullptr) << "an empty registry finds nothing";
  const std::vector<std::u16string> texts = Numbered(u"id", 5000);
  AccessorHandler& first = Record(0);
  AccessorHandler& second = Record(1);
  for (size_t i = texts.size(); i-- > 0;) ASSERT_TRUE(ids.Insert(texts[i], i % 2 ? second : first));
  EXPECT_TRUE(ids.Insert(u"", first)) << "the empty id is an id like any other";
  EXPECT_FALSE(ids.Insert(u"", second));
  for (size_t i = 0; i < texts.size(); ++i) {
    ASSERT_FALSE(ids.Insert(texts[i], i % 2 ? first : second)) << "repeat of " << i;
    ASSERT_EQ(ids.Find(texts[i]), i % 2 ? &second : &first) << i;
  }
  EXPECT_EQ(ids.Find(u""), &first);
  EXPECT_EQ(ids.Find(u"id"), nullptr);
  EXPECT_EQ(ids.Find(u"id50000"), nullptr);
  ids.Clear();
  EXPECT_EQ(ids.Find(texts[7]), nullptr);
  EXPECT_TRUE(ids.Insert(texts[7], second)) << "a cleared registry files anew";
  EXPECT_EQ(ids.Find(texts[7]), &second);
}

// Ids that follow one another are filed without a lookup; any other id, a
// lookup in between or none, must still tell a repeat from a new id.
TEST_F(IdRegistryTest, TellsRepeatsWhetherOrNotTheIdsFollowOneAnother) {
  IdRegistry numbered;
  for (std::u16string_view id : {u"a1", u"a2"}) EXPECT_TRUE(numbered.Insert(id, Record(0)));
  EXPECT_FALSE(numbered.Insert(u"a2", Record(1))) << "a repeat of the last";

  IdRegistry shorter;
  for (std::u16string_view id : {u"_2", u"_10", u"_9"}) EXPECT_TRUE(shorter.Insert(id, Record(0)));
  EXPECT_FALSE(shorter.Insert(u"_10", Record(1))) << "a shorter id after longer ones";

  IdRegistry looked;
  EXPECT_TRUE(looked.Insert(u"x1", Record(0)));
  EXPECT_TRUE(looked.Insert(u"x2", Record(1)));
  EXPECT_EQ(looked.Find(u"zz"), nullptr) << "a lookup that misses";
  EXPECT_TRUE(looked.Insert(u"x3", Record(2)));
  EXPECT_FALSE(looked.Insert(u"x1", Record(3)));
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(looked.Find(u"x" + std::u16string(1, u'1' + i)), &Record(i));
}

}  // namespace
}  // namespace qxsoap
