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

using test::BytesOf;
using test::RefCountOf;

TEST(DimeOptions, WhatIsReadIsWrittenBack) {
  const struct {
    const char* why;
    std::vector<BYTE> bytes, written;
  } rows[] = {
      {"two entries, the second without data",
       {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00},
       {0x00, 0x01, 0x00, 0x02, 0x41, 0x42, 0x00, 0x03, 0x00, 0x00}},
      {"three bytes are too short for an entry head", {0x00, 0x01, 0x00}, {}},
      {"a length running past the end keeps the entries before it",
       {0x00, 0x01, 0x00, 0x01, 0x41, 0x00, 0x02, 0x00, 0x05, 0x42}, {0x00, 0x01, 0x00, 0x01, 0x41}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(WriteDimeOptions(ReadDimeOptions(row.bytes)), row.written);
  }
}

// Attachment ids and types are kept as UTF-8 and handed out as UTF-16.
TEST(Utf8Units, EveryUnitRoundTrips) {
  std::u16string all;
  for (char32_t unit = 1; unit <= 0xFFFF; ++unit) all += static_cast<char16_t>(unit);
  EXPECT_EQ(DecodeUnitsUtf8(EncodeUnitsUtf8(all)), all);
}

TEST(AttachmentList, RefusesObjectsWithoutStorageAndOwnsOneReference) {
  const qxcom::ComPtr<IStorage> storage = test::NewStorage();
  auto notStorage = host::MemoryPort::Create();
  {
    AttachmentList list;
    EXPECT_FALSE(list.Add(u"id", u"type", 1, notStorage.get(), nullptr));
    EXPECT_EQ(notStorage->RefCount(), 1u) << "a refused object keeps no reference";
    ASSERT_TRUE(list.Add(u"cid:\u00E9", u"image/png", 2, storage.get(), nullptr));
    const DimeAttachment* found = list.Find(u"cid:\u00E9");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->id, "cid:\xC3\xA9");
    IUnknown* handed = found->HandOutStorage();
    EXPECT_EQ(RefCountOf(storage.get()), 3u) << "one for the list, one for the caller";
    handed->Release();
  }
  EXPECT_EQ(RefCountOf(storage.get()), 1u) << "destroying the list releases its reference";
}

// Options that are not bytes still add, with no options; the array goes out
// into a plain VARIANT or through a VARIANT reference, never into a
// reference that cannot hold it.
TEST(AttachmentOptions, HandOutForms) {
  const std::vector<BYTE> bytes = {0x00, 0x01, 0x00, 0x02, 0x41, 0x42};
  const qxcom::ComPtr<IStorage> storage = test::NewStorage();
  AttachmentList list;
  qxcom::Variant options = test::ByteArrayVariant(bytes), text = test::BstrVariant(u"not bytes");
  ASSERT_TRUE(list.Add(u"a", u"", 0, storage.get(), options.get()));
  ASSERT_TRUE(list.Add(u"text", u"", 0, storage.get(), text.get()));
  EXPECT_TRUE(list.Find(u"text")->options.empty());
  qxcom::Variant empty = test::BstrVariant(u"cleared first");  // freed, or a leak is reported
  ASSERT_TRUE(list.Find(u"text")->HandOutOptions(empty.get()));
  ASSERT_EQ(V_VT(empty.get()), VT_ARRAY | VT_UI1);
  EXPECT_TRUE(BytesOf(V_ARRAY(empty.get())).empty());

  const DimeAttachment* attachment = list.Find(u"a");
  qxcom::Variant target = test::BstrVariant(u"old value is cleared");
  VARIANT out;
  V_VT(&out) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&out) = target.get();
  ASSERT_TRUE(attachment->HandOutOptions(&out));
  ASSERT_EQ(V_VT(target.get()), VT_ARRAY | VT_UI1);
  EXPECT_EQ(BytesOf(V_ARRAY(target.get())), bytes);
  LONG number = 5;
  V_VT(&out) = VT_BYREF | VT_I4;
  V_I4REF(&out) = &number;
  EXPECT_FALSE(attachment->HandOutOptions(&out)) << "a reference that cannot hold an array";
  EXPECT_EQ(number, 5);
  BYTE byte = 7;  // VT_UI1's bits are those of an array of bytes, less VT_ARRAY
  V_VT(&out) = VT_BYREF | VT_UI1;
  out.pbVal = &byte;
  EXPECT_FALSE(attachment->HandOutOptions(&out)) << "a reference to one byte";
  EXPECT_EQ(byte, 7);
  EXPECT_FALSE(attachment->HandOutOptions(nullptr));
}

}  // namespace
}  // namespace qxsoap
