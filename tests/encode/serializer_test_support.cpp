#include "serializer_test_support.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include "qxsoap/struct_object.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit < 0x80) {
      out += char(unit);
    } else if (unit < 0x800) {
      out += char(0xC0 | (unit >> 6));
      out += char(0x80 | (unit & 0x3F));
    } else {
      out += char(0xE0 | (unit >> 12));
      out += char(0x80 | ((unit >> 6) & 0x3F));
      out += char(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

std::string TextOf(const XmlElement& element) {
  std::u16string text;
  WriteElement(element, nullptr, text);
  return Narrow(text);
}

std::string BufferText(const MessageHandler& handler) {
  const auto bytes = handler.GetBuffer();
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool LibXmlAccepts(std::string_view text, std::string* error) {
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  xmlDocPtr document = xmlCtxtReadMemory(context, text.data(), int(text.size()), nullptr, nullptr,
                                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  const xmlError* last = xmlCtxtGetLastError(context);
  const bool accepted = document && (!last || last->level == XML_ERR_NONE);
  if (!accepted && error) *error = last && last->message ? last->message : "no document";
  xmlFreeDoc(document);
  xmlFreeParserCtxt(context);
  return accepted;
}

WriterHandler::WriterHandler(qxcom::ComPtr<host::MemoryPort> port, WriterSettings settings)
    : port(std::move(port)) {
  EXPECT_TRUE(handler.Initialize(u"svc", u"port", u"urn:node", u"", u"", settings.explicitTyping,
                                 settings.nodeType, this->port.get()));
  handler.SetSOAPVersion(settings.version);
  handler.SetRequestPhase(settings.requestPhase);
}

namespace {

qxcom::ComPtr<StructObject> NewStruct() {
  qxcom::ComPtr<StructObject> object;
  EXPECT_EQ(CoCreateInstance(CLSID_StructObject, nullptr, CLSCTX_INPROC_SERVER, IID_StructObject,
                             reinterpret_cast<void**>(object.put())),
            S_OK);
  return object;
}

void AddMember(StructObject& object, std::u16string_view name, std::u16string_view ns,
               const VARIANT& value) {
  const qxcom::Bstr memberName(SysAllocStringLen(name.data(), UINT(name.size())));
  const qxcom::Bstr memberNs(SysAllocStringLen(ns.data(), UINT(ns.size())));
  VARIANT_BOOL stored = VARIANT_FALSE;
  EXPECT_EQ(object.AddMember(memberName.get(), memberNs.get(), value, &stored), S_OK);
}

qxcom::Variant Holding(StructObject* object) {
  qxcom::Variant value;
  V_VT(value.get()) = VT_DISPATCH;
  V_DISPATCH(value.get()) = object;
  return value;
}

}  // namespace

qxcom::Variant StructVariant(std::initializer_list<Member> members) {
  qxcom::ComPtr<StructObject> object = NewStruct();
  for (const Member& member : members) AddMember(*object.get(), member.name, member.ns, member.value);
  return Holding(object.release());
}

qxcom::Variant NestedStructs(int depth) {
  qxcom::Variant value = StructVariant({});
  for (int level = 1; level < depth; ++level) value = StructVariant({{u"next", u"", *value.get()}});
  return value;
}

qxcom::Variant VariantArray(std::vector<SAFEARRAYBOUND> bounds,
                            std::initializer_list<const VARIANT*> items) {
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
