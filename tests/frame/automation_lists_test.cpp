// Every GetFirst and GetNext method of Iqxsoapmsg2, SOAP 1.1 and 1.2 forms,
// reads the list its name says: each list holds one record whose first
// handed-out field names the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>

#include "frame/automation_test_object.h"
#include "frame/late_bound_arguments.h"
#include "support/com_objects.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

using namespace std::string_view_literals;

// The list a cursor method (one with a position) reads: its name without GetFirst/GetNext and
// without the "12" of the SOAP 1.2 forms.
std::u16string ListOf(std::u16string_view method) {
  method.remove_prefix(method.starts_with(u"GetFirst") ? 8 : 7);
  if (method.ends_with(u"12")) method.remove_suffix(2);
  return std::u16string(method);
}

TEST(AutomationLists, EveryCursorMethodReadsItsOwnList) {
  auto object = test::NewHandlerObject();
  std::deque<qxcom::Bstr> strings;
  auto text = [&](const char16_t* value) { return strings.emplace_back(SysAllocString(value)).get(); };
  const qxcom::Variant none;
  const qxcom::ComPtr<IStorage> storage = test::NewStorage();
  VARIANT_BOOL ok = VARIANT_FALSE;
  object->AddHeaderElem(text(u"HeaderElem"), text(u"n"), *none.get(), 0, nullptr, &ok);
  object->AddHeaderElemLiteral(text(u"HeaderElemLiteral"), text(u"n"), text(u"<n/>"), 0, nullptr,
                               nullptr, &ok);
  object->AddFaultHeaderElem(text(u"FaultHeaderElem"), text(u"n"), *none.get(), 0, nullptr, &ok);
  object->AddFaultHeaderElemLiteral(text(u"FaultHeaderElemLiteral"), text(u"n"), text(u"<n/>"),
                                    0, nullptr, nullptr, &ok);
  object->AddFaultDetailElem(text(u"FaultDetailElem"), text(u"n"), *none.get(), &ok);
  object->AddMethodParam(text(u"MethodParam"), text(u"n"), *none.get(), 0, 0, &ok);
  object->AddSOAP12ReasonText(text(u"SOAP12ReasonText"), text(u"en"));
  object->AddDIMEAttachmentReq(text(u"DIMEAttachmentReq"), text(u"t"), 1, storage.get(),
                               *none.get(), &ok);
  object->AddDIMEAttachmentResp(text(u"DIMEAttachmentResp"), text(u"t"), 1, storage.get(),
                                *none.get(), &ok);

  int cursorMethods = 0;
  for (const MethodInfo& method : Methods()) {
    const auto position = [](const ParamInfo& param) { return param.name == u"plPosition"sv; };
    if (std::ranges::none_of(method.params, position)) continue;
    const std::u16string_view name = method.name;
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    ++cursorMethods;
    test::LateBoundArguments args(method);
    qxcom::Variant found;
    ASSERT_EQ(object->Invoke(method.id, IID_NULL, 0, DISPATCH_METHOD, args.get(), found.get(),
                             nullptr, nullptr),
              S_OK);
    EXPECT_EQ(V_BOOL(found.get()), VARIANT_TRUE) << "GetNext from -1 reads record 0";
    EXPECT_EQ(test::TextOf(args.Out(0)), ListOf(name));
  }
  EXPECT_EQ(cursorMethods, 26);
}

}  // namespace
}  // namespace qxsoap
