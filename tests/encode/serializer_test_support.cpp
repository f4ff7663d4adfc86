#include "serializer_test_support.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include "encode/value_writer.h"
#include "qxsoap/struct_object.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {

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

std::string Written(qxcom::ComPtr<host::MemoryPort> port, WriterSettings settings, const host::TypeName& type,
                    const VARIANT& value, std::u16string_view style, std::u16string_view name,
                    std::u16string_view ns) {
  WriterHandler setup(std::move(port), settings);
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  const bool written = style.empty() ? writer.WriteLiteral(*root, name, ns, {type.name, type.ns}, value)
                                     : writer.WriteEncoded(root->AddChild(u"a"), {type.name, type.ns}, value, style);
  return written ? TextOf(root->Children().front()) : "none";
}

qxcom::Variant StructVariant(std::initializer_list<Member> members) {
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
