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
// lookup that misses in between or none, must still tell a repeat from a
// new id, however the ids came before.
TEST_F(IdRegistryTest, TellsRepeatsWhetherOrNotTheIdsFollowOneAnother) {
  struct Step {
    std::u16string_view id;  // "?" + id looks the id up (expecting its record or null)
    bool filed;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } kCases[] = {
      {"numbered, then a repeat of the last", {{u"a1", true}, {u"a2", true}, {u"a2", false}}},
      {"a shorter id after longer ones", {{u"_2", true}, {u"_10", true}, {u"_9", true}, {u"_10", false}}},
      {"a missed lookup before more ids",
       {{u"x1", true}, {u"x2", true}, {u"?zz", false}, {u"x3", true}, {u"x1", false}, {u"?x3", true}}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    IdRegistry ids;
    std::vector<std::u16string_view> filed;
    for (size_t at = 0; at < c.steps.size(); ++at) {
      const Step& step = c.steps[at];
      if (step.id.starts_with(u'?')) {
        AccessorHandler* expected = nullptr;
        for (size_t i = 0; i < filed.size(); ++i) {
          if (filed[i] == step.id.substr(1)) expected = &Record(i);
        }
        EXPECT_EQ(ids.Find(step.id.substr(1)), expected) << "step " << at;
        EXPECT_EQ(expected != nullptr, step.filed) << "step " << at;
        continue;
      }
      ASSERT_EQ(ids.Insert(step.id, Record(filed.size())), step.filed) << "step " << at;
      if (step.filed) filed.push_back(step.id);
    }
    for (size_t i = 0; i < filed.size(); ++i) EXPECT_EQ(ids.Find(filed[i]), &Record(i)) << "id " << i;
  }
}

}  // namespace
}  // namespace qxsoap
