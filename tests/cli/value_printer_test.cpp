// The text `qxsoap call` prints for each shape of value a reply can hold:
// scalars, arrays of one and more dimensions, and structs, nested.
#include <gtest/gtest.h>

#include <functional>

#include "cli/value_printer.h"
#include "qxsoap/struct_object.h"
#include "support/variants.h"

namespace qxsoap::testing {
namespace {

using test::BstrVariant;

std::u16string Printed(const VARIANT& value, uint16_t typeCode) {
  std::u16string text;
  cli::AppendValueForPrinting(value, text, typeCode);
  return text;
}

// A struct object with `members` in order.
qxcom::Variant Struct(std::vector<std::pair<std::u16string, qxcom::Variant>> members) {
  qxcom::ComPtr<StructObject> object;
  EXPECT_EQ(CoCreateInstance(CLSID_StructObject, nullptr, CLSCTX_INPROC_SERVER, IID_StructObject,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  for (auto& [name, value] : members) {
    const qxcom::Bstr memberName(SysAllocStringLen(name.data(), UINT(name.size())));
    VARIANT_BOOL stored = VARIANT_FALSE;
    object->AddMember(memberName.get(), nullptr, *value.get(), &stored);
    EXPECT_EQ(stored, VARIANT_TRUE);
  }
  qxcom::Variant value;
  V_VT(value.get()) = VT_DISPATCH;
  V_DISPATCH(value.get()) = object.get();
  object->AddRef();  // the VARIANT's own reference
  return value;
}

// A VT_ARRAY | VT_VARIANT of `items` (lower bound 0).
qxcom::Variant VariantArray(std::vector<qxcom::Variant> items) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, ULONG(items.size()));
  for (LONG index = 0; index < LONG(items.size()); ++index) {
    EXPECT_EQ(SafeArrayPutElement(array, &index, items[index].get()), S_OK);
  }
  return test::ArrayVariant(VT_VARIANT, array);
}

// A `rows` x `columns` VT_ARRAY | VT_I4 whose element (r, c) is 10r + c,
// lower bounds 1 and 0.
qxcom::Variant IntMatrix(ULONG rows, ULONG columns) {
  SAFEARRAYBOUND bounds[2] = {{rows, 1}, {columns, 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
  for (LONG r = 1; r <= LONG(rows); ++r) {
    for (LONG c = 0; c < LONG(columns); ++c) {
      LONG indices[2] = {r, c};
      LONG value = 10 * r + c;
      EXPECT_EQ(SafeArrayPutElement(array, indices, &value), S_OK);
    }
  }
  return test::ArrayVariant(VT_I4, array);
}

constexpr DATE kLeapEvening = 45351 + (23 * 3600 + 30 * 60 + 5) / 86400.0;  // 2024-02-29 23:30:05

// A string, a boolean, base64 and hexBinary are printed end to end by
// call_test.py; these are the forms it does not reach.
TEST(ValuePrinter, PrintsEachShapeInTheFormItTravelsIn) {
  const struct Row {
    const char* why;
    std::function<qxcom::Variant()> value;
    uint16_t typeCode;
    std::u16string_view printed;
  } rows[] = {
      {"a double by its shortest round trip", [] { return test::DoubleVariant(0.1); }, kAnyType, u"0.1"},
      {"a float by its own shortest round trip, not the double's", [] { return test::FloatVariant(0.1f); },
       kAnyType, u"0.1"},
      {"a decimal keeps its digits", [] { return test::DecimalVariant(u"-12.345"); }, kAnyType, u"-12.345"},
      {"a DATE of an xsd:date part", [] { return test::DateVariant(kLeapEvening); }, kDate, u"2024-02-29"},
      {"a DATE of an xsd:time part", [] { return test::DateVariant(kLeapEvening); }, kTime, u"23:30:05Z"},
      {"a null value is nil", [] { return test::NullVariant(); }, kAnyType, u"nil"},
      {"an object that is not a struct still shows", [] {
         qxcom::Variant value;
         V_VT(value.get()) = VT_DISPATCH;
         V_DISPATCH(value.get()) = nullptr;
         return value;
       }, kAnyType, u"<VT 9>"},
      {"a value reached through a reference as the value", [] {
         static qxcom::Variant text = BstrVariant(u"through");
         qxcom::Variant reference;
         V_VT(reference.get()) = VT_BYREF | VT_VARIANT;
         V_VARIANTREF(reference.get()) = text.get();
         return reference;
       }, kAnyType, u"through"},
      {"an array of strings in order", [] { return test::StringArrayVariant({u"a", u"", u"c d"}); }, kAnyType,
       u"[a, , c d]"},
      {"an empty array", [] { return test::StringArrayVariant({}); }, kAnyType, u"[]"},
      {"two dimensions, the left one outermost, from each lower bound", [] { return IntMatrix(2, 3); }, kAnyType,
       u"[[10, 11, 12], [20, 21, 22]]"},
      {"an array whose last index is the largest a LONG holds", [] {
         SAFEARRAYBOUND bound{1, 2147483647};
         SAFEARRAY* array = SafeArrayCreate(VT_I4, 1, &bound);
         static_cast<LONG*>(array->pvData)[0] = 7;
         return test::ArrayVariant(VT_I4, array);
       }, kAnyType, u"[7]"},
      // Members in order are call_test.py's too (a fault's detail struct).
      {"structs in an array, a DATE of unknown type as a dateTime, a struct in a struct",
       [] {
         std::vector<std::pair<std::u16string, qxcom::Variant>> inner, outer;
         inner.emplace_back(u"bytes", test::ByteArrayVariant({0xFB}));
         outer.emplace_back(u"when", test::DateVariant(kLeapEvening));
         outer.emplace_back(u"inner", Struct(std::move(inner)));
         outer.emplace_back(u"list", test::StringArrayVariant({u"a"}));
         std::vector<qxcom::Variant> items;
         items.push_back(Struct(std::move(outer)));
         items.push_back(Struct({}));
         return VariantArray(std::move(items));
       },
       kAnyType, u"[{when: 2024-02-29T23:30:05Z, inner: {bytes: +w==}, list: [a]}, {}]"},
  };
  for (const Row& row : rows) {
    const qxcom::Variant value = row.value();
    EXPECT_EQ(Printed(*value.get(), row.typeCode), row.printed) << row.why;
  }
}

}  // namespace
}  // namespace qxsoap::testing
