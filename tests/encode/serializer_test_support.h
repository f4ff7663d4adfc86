// What the serializer's tests share: written messages as text checked by
// libxml2, and struct objects and arrays built in one expression.
#ifndef QXSOAP_TESTS_ENCODE_SERIALIZER_TEST_SUPPORT_H_
#define QXSOAP_TESTS_ENCODE_SERIALIZER_TEST_SUPPORT_H_

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <qxsoapmsg.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "frame/message_handler.h"
#include "host/memory_port.h"
#include "host/wsdl_source.h"
#include "qxcom/owned.h"
#include "qxsoap/struct_object.h"

namespace qxsoap::testing {

using host::Narrow;  // UTF-16 text as UTF-8

// The handler's buffer as text, which libxml2 must read as a
// namespace-well-formed document.
inline std::string WellFormedBuffer(const MessageHandler& handler) {
  const auto bytes = handler.GetBuffer();
  const std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  xmlDocPtr document = xmlCtxtReadMemory(context, text.data(), int(text.size()), nullptr, nullptr,
                                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  const xmlError* last = xmlCtxtGetLastError(context);
  EXPECT_TRUE(document && (!last || last->level == XML_ERR_NONE))
      << (last && last->message ? last->message : "no document") << "\n" << text;
  xmlFreeDoc(document);
  xmlFreeParserCtxt(context);
  return text;
}

struct Member {
  std::u16string_view name, ns;
  const VARIANT& value;
};

// A VT_DISPATCH VARIANT holding a new struct object with `members`.
inline qxcom::Variant StructVariant(std::initializer_list<Member> members) {
  qxcom::ComPtr<StructObject> object;
  EXPECT_EQ(CoCreateInstance(CLSID_StructObject, nullptr, CLSCTX_INPROC_SERVER, IID_StructObject,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  for (const Member& member : members) {
    const qxcom::Bstr name(SysAllocStringLen(member.name.data(), UINT(member.name.size())));
    const qxcom::Bstr ns(SysAllocStringLen(member.ns.data(), UINT(member.ns.size())));
    VARIANT_BOOL stored = VARIANT_FALSE;
    EXPECT_EQ(object->AddMember(name.get(), ns.get(), member.value, &stored), S_OK);
  }
  qxcom::Variant value;
  V_VT(value.get()) = VT_DISPATCH;
  V_DISPATCH(value.get()) = object.release();
  return value;
}

// A VT_ARRAY | VT_VARIANT VARIANT with `bounds` in declaration order (the
// first declared dimension first) holding copies of `items` in storage order
// (the first declared dimension varying fastest).
inline qxcom::Variant VariantArray(std::vector<SAFEARRAYBOUND> bounds, std::initializer_list<const VARIANT*> items) {
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, UINT(bounds.size()), bounds.data());
  void* data = nullptr;
  EXPECT_EQ(SafeArrayAccessData(array, &data), S_OK);
  auto* slots = static_cast<VARIANT*>(data);
  for (const VARIANT* item : items) EXPECT_EQ(VariantCopy(slots++, item), S_OK);
  SafeArrayUnaccessData(array);
  qxcom::Variant value;
  V_VT(value.get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(value.get()) = array;
  return value;
}

}  // namespace qxsoap::testing

#endif  // QXSOAP_TESTS_ENCODE_SERIALIZER_TEST_SUPPORT_H_
