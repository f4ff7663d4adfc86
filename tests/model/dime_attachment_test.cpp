// DIME attachments: option bytes, the UTF-8 form of ids, the references the
// list keeps and hands out, and the forms an options out-parameter takes.
#include <gtest/gtest.h>

#include "host/memory_port.h"
#include "model/dime_attachment.h"
#include "model/utf8_units.h"
#include "support/com_objects.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using test::ByteArrayVariant;
using test::BytesOf;
using test::NewStorage;
using test::RefCountOf;

struct OptionsRow {
  const char* why;
  std::vector<BYTE> bytes;
  size_t optionCount;
  std::vector<BYTE> handedBack;
};

const OptionsRow kOptionsRows[] = {
    {"two entries, the second without data",
     {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00}, 2,
     {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00}},
    {"three bytes are too short for an entry head", {0x00, 0x01, 0x00}, 0, {}},
    {"a length running past the end keeps the entries before it",
     {0x00, 0x01, 0x00, 0x01, 0x41, 0x00, 0x02, 0x00, 0x05, 0x42}, 1, {0x00, 0x01, 0x00, 0x01, 0x41}},
    {"lengths are big-endian", {0x12, 0x34, 0x00, 0x01, 0x7F}, 1, {0x12, 0x34, 0x00, 0x01, 0x7F}},
    {"an empty array gives no options", {}, 0, {}},
};

TEST(DimeOptions, ReadAndWriteRows) {
  for (const OptionsRow& row : kOptionsRows) {
    SCOPED_TRACE(row.why);
    const std::vector<DimeOption> options = ReadDimeOptions(row.bytes);
    EXPECT_EQ(options.size(), row.optionCount);
    EXPECT_EQ(WriteDimeOptions(options), row.handedBack);
  }
}

TEST(DimeOptions, TypeAndDataAreKept) {
  const std::vector<DimeOption> options =
      ReadDimeOptions(std::vector<BYTE>{0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00});
  ASSERT_EQ(options.size(), 2u);
  EXPECT_EQ(options[0].type, 1);
  EXPECT_EQ(options[0].data, (std::vector<BYTE>{0x41, 0x42}));
  EXPECT_EQ(options[1].type, 3);
  EXPECT_TRUE(options[1].data.empty());
}

struct Utf8Row {
  const char* why;
  std::string bytes;
  std::u16string text;
};

const Utf8Row kDecodeRows[] = {
    {"ASCII", "cid:1", u"cid:1"},
    {"two- and three-byte forms", "\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
    {"a surrogate pair is two separate three-byte units", "\xED\xA0\xBD\xED\xB8\x80",
     std::u16string{char16_t(0xD83D), char16_t(0xDE00)}},
    {"an over-long form stops the conversion", "ab\xC0\xAF" "cd", u"ab"},
    {"a stray continuation byte stops it", "a\x80" "b", u"a"},
    {"a truncated sequence stops it", "a\xE2\x82", u"a"},
    {"a four-byte form does not fit one unit", "a\xF0\x9F\x98\x80" "b", u"a"},
};

TEST(Utf8Units, DecodeRows) {
  for (const Utf8Row& row : kDecodeRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(DecodeUnitsUtf8(row.bytes), row.text);
  }
}

TEST(Utf8Units, EveryUnitRoundTrips) {
  std::u16string all;
  for (char32_t unit = 1; unit <= 0xFFFF; ++unit) all += static_cast<char16_t>(unit);
  EXPECT_EQ(DecodeUnitsUtf8(EncodeUnitsUtf8(all)), all);
  EXPECT_EQ(EncodeUnitsUtf8(std::u16string{char16_t(0xD83D)}), "\xED\xA0\xBD");
}

TEST(AttachmentList, RefusesObjectsWithoutStorage) {
  AttachmentList list;
  auto plain = test::MemoryPort::Create();
  EXPECT_FALSE(list.Add(u"id", u"type", 1, nullptr, nullptr));
  EXPECT_FALSE(list.Add(u"id", u"type", 1, plain.get(), nullptr));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(plain->RefCount(), 1u) << "a refused object keeps no reference";
}

TEST(AttachmentList, KeepsOneReferenceAndHandsOutAnotherForTheCaller) {
  const qxcom::ComPtr<IStorage> storage = NewStorage();
  {
    AttachmentList list;
    ASSERT_TRUE(list.Add(u"cid:\u00E9", u"image/png", 2, storage.get(), nullptr));
    EXPECT_EQ(RefCountOf(storage.get()), 2u);
    const DimeAttachment* found = list.Find(u"cid:\u00E9");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->id, "cid:\xC3\xA9");
    EXPECT_EQ(found->WideId(), u"cid:\u00E9");
    EXPECT_EQ(found->WideType(), u"image/png");
    EXPECT_EQ(found->tnf, 2);
    IUnknown* handed = found->HandOutStorage();
    EXPECT_EQ(handed, static_cast<IUnknown*>(storage.get()));
    EXPECT_EQ(RefCountOf(storage.get()), 3u);
    handed->Release();
    EXPECT_EQ(list.Find(u"cid:e"), nullptr);
  }
  EXPECT_EQ(RefCountOf(storage.get()), 1u) << "destroying the list releases its reference";
}

TEST(AttachmentOptions, MalformedOrMissingOptionsStillAdd) {
  const qxcom::ComPtr<IStorage> storage = NewStorage();
  AttachmentList list;
  qxcom::Variant shortBytes = ByteArrayVariant({0x00, 0x01, 0x00});
  qxcom::Variant text = test::BstrVariant(u"not bytes");
  EXPECT_TRUE(list.Add(u"a", u"", 0, storage.get(), shortBytes.get()));
  EXPECT_TRUE(list.Add(u"b", u"", 0, storage.get(), text.get()));
  EXPECT_TRUE(list.Add(u"c", u"", 0, storage.get(), nullptr));
  for (const auto& attachment : list) EXPECT_TRUE(attachment->options.empty());
}

class HandOutOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    storage_ = NewStorage();
    qxcom::Variant options = ByteArrayVariant(kBytes);
    ASSERT_TRUE(list_.Add(u"a", u"", 0, storage_.get(), options.get()));
    attachment_ = list_.Find(u"a");
  }
  const std::vector<BYTE> kBytes = {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00};
  qxcom::ComPtr<IStorage> storage_;
  AttachmentList list_;
  const DimeAttachment* attachment_ = nullptr;
};

TEST_F(HandOutOptionsTest, IntoAPlainVariant) {
  qxcom::Variant out;
  ASSERT_TRUE(attachment_->HandOutOptions(out.get()));
  EXPECT_EQ(V_VT(out.get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(BytesOf(V_ARRAY(out.get())), kBytes);
}

TEST_F(HandOutOptionsTest, IntoAReferencedVariant) {
  qxcom::Variant target = test::BstrVariant(u"old value is cleared");
  VARIANT out;
  V_VT(&out) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&out) = target.get();
  ASSERT_TRUE(attachment_->HandOutOptions(&out));
  EXPECT_EQ(V_VT(target.get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(BytesOf(V_ARRAY(target.get())), kBytes);
}

TEST_F(HandOutOptionsTest, IntoAReferencedArray) {
  SAFEARRAY* array = nullptr;
  VARIANT out;
  V_VT(&out) = VT_BYREF | VT_ARRAY | VT_UI1;
  V_ARRAYREF(&out) = &array;
  ASSERT_TRUE(attachment_->HandOutOptions(&out));
  EXPECT_EQ(BytesOf(array), kBytes);
  SafeArrayDestroy(array);
}

TEST_F(HandOutOptionsTest, RefusesReferencesThatCannotHoldAnArray) {
  LONG number = 5;
  VARIANT out;
  V_VT(&out) = VT_BYREF | VT_I4;
  V_I4REF(&out) = &number;
  EXPECT_FALSE(attachment_->HandOutOptions(&out));
  EXPECT_EQ(number, 5);
  V_VT(&out) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&out) = nullptr;
  EXPECT_FALSE(attachment_->HandOutOptions(&out));
  EXPECT_FALSE(attachment_->HandOutOptions(nullptr));
}

TEST(AttachmentOptionsOut, NoOptionsGiveAnEmptyArray) {
  const qxcom::ComPtr<IStorage> storage = NewStorage();
  AttachmentList list;
  ASSERT_TRUE(list.Add(u"a", u"", 0, storage.get(), nullptr));
  qxcom::Variant out;
  ASSERT_TRUE(list.Find(u"a")->HandOutOptions(out.get()));
  ASSERT_EQ(V_VT(out.get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(V_ARRAY(out.get())->rgsabound[0].cElements, 0u);
}

}  // namespace
}  // namespace qxsoap
