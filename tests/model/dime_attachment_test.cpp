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
  std::vector<BYTE> handedBack;  // written back from what was read
};

const OptionsRow kOptionsRows[] = {
    {"two entries, the second without data",
     {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00},
     {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00}},
    {"three bytes are too short for an entry head", {0x00, 0x01, 0x00}, {}},
    {"a length running past the end keeps the entries before it",
     {0x00, 0x01, 0x00, 0x01, 0x41, 0x00, 0x02, 0x00, 0x05, 0x42}, {0x00, 0x01, 0x00, 0x01, 0x41}},
    {"lengths are big-endian", {0x12, 0x34, 0x00, 0x01, 0x7F}, {0x12, 0x34, 0x00, 0x01, 0x7F}},
    {"an empty array gives no options", {}, {}},
};

TEST(DimeOptions, ReadAndWriteRows) {
  for (const OptionsRow& row : kOptionsRows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(WriteDimeOptions(ReadDimeOptions(row.bytes)), row.handedBack);
  }
}

struct Utf8Row {
  const char* why;
  std::string bytes;
  std::u16string text;
};

const Utf8Row kDecodeRows[] = {
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
  auto notStorage = host::MemoryPort::Create();
  EXPECT_FALSE(list.Add(u"id", u"type", 1, nullptr, nullptr));
  EXPECT_FALSE(list.Add(u"id", u"type", 1, notStorage.get(), nullptr));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(notStorage->RefCount(), 1u) << "a refused object keeps no reference";
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
    EXPECT_EQ(list.Find(u"cid:e"), nullptr);
    IUnknown* handed = found->HandOutStorage();
    EXPECT_EQ(RefCountOf(storage.get()), 3u);
    handed->Release();
  }
  EXPECT_EQ(RefCountOf(storage.get()), 1u) << "destroying the list releases its reference";
}

// An attachment with two options, and one whose options are each malformed
// or missing form: those still add, with no options.
class HandOutOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qxcom::Variant options = ByteArrayVariant(kBytes);
    ASSERT_TRUE(list_.Add(u"a", u"", 0, storage_.get(), options.get()));
    qxcom::Variant shortBytes = ByteArrayVariant({0x00, 0x01, 0x00});
    qxcom::Variant text = test::BstrVariant(u"not bytes");
    for (const VARIANT* none : {shortBytes.get(), text.get(), static_cast<VARIANT*>(nullptr)}) {
      ASSERT_TRUE(list_.Add(u"none", u"", 0, storage_.get(), none));
    }
    for (const auto& attachment : list_) EXPECT_EQ(attachment->options.empty(), attachment->id == "none");
    attachment_ = list_.Find(u"a");
  }
  const std::vector<BYTE> kBytes = {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00};
  const qxcom::ComPtr<IStorage> storage_ = NewStorage();
  AttachmentList list_;
  const DimeAttachment* attachment_ = nullptr;
};

TEST_F(HandOutOptionsTest, IntoAPlainVariantAnEmptyArrayWithoutOptions) {
  qxcom::Variant out;
  ASSERT_TRUE(attachment_->HandOutOptions(out.get()));
  EXPECT_EQ(V_VT(out.get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(BytesOf(V_ARRAY(out.get())), kBytes);
  qxcom::Variant empty;  // an [out] parameter: what it held is not freed
  ASSERT_TRUE(list_.Find(u"none")->HandOutOptions(empty.get()));
  ASSERT_EQ(V_VT(empty.get()), VT_ARRAY | VT_UI1);
  EXPECT_TRUE(BytesOf(V_ARRAY(empty.get())).empty());
}

TEST_F(HandOutOptionsTest, IntoAReferencedVariantOrArray) {
  qxcom::Variant target = test::BstrVariant(u"old value is cleared");
  VARIANT out;
  V_VT(&out) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&out) = target.get();
  ASSERT_TRUE(attachment_->HandOutOptions(&out));
  EXPECT_EQ(V_VT(target.get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(BytesOf(V_ARRAY(target.get())), kBytes);
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 1);
  V_VT(&out) = VT_BYREF | VT_ARRAY | VT_UI1;
  V_ARRAYREF(&out) = &array;
  EXPECT_TRUE(attachment_->HandOutOptions(&out)) << "the array it referred to is replaced";
  const qxcom::SafeArrayPtr handedOut(array);
  EXPECT_EQ(BytesOf(handedOut.get()), kBytes);
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

}  // namespace
}  // namespace qxsoap
