// What the serializer's suites share: a handler initialised against a port
// in memory, values written by a value writer as text, struct objects and
// arrays built in one expression, and a check of written XML with libxml2.
#ifndef QXSOAP_TESTS_ENCODE_SERIALIZER_TEST_SUPPORT_H_
#define QXSOAP_TESTS_ENCODE_SERIALIZER_TEST_SUPPORT_H_

#include <qxsoapmsg.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "frame/message_handler.h"
#include "host/memory_port.h"
#include "host/wsdl_source.h"
#include "qxcom/owned.h"
#include "xml/xml_element.h"

namespace qxsoap::testing {

using host::Narrow;  // UTF-16 text as UTF-8

// `element` and its subtree as the writer gives it standing alone.
std::string TextOf(const XmlElement& element);

// The handler's buffer as text.
std::string BufferText(const MessageHandler& handler);

// True when libxml2 reads `text` as a namespace-well-formed document;
// otherwise false with its first complaint in *error.
bool LibXmlAccepts(std::string_view text, std::string* error);

// A handler with no engines but the serializer's settings: explicit typing
// and node types as given, in SOAP `version`, in the request phase or not.
struct WriterSettings {
  bool explicitTyping = false;
  bool nodeType = false;
  LONG version = 11;
  bool requestPhase = false;
};

struct WriterHandler {
  WriterHandler(qxcom::ComPtr<host::MemoryPort> port, WriterSettings settings);
  qxcom::ComPtr<host::MemoryPort> port;
  MessageHandler handler;
};

// `value` of `type` written by a value writer on `port`, as text: encoded in
// `style` into an element "a", or literal (when `style` is empty) as the
// element `name` in `ns`. "none" when the writer gives none.
std::string Written(qxcom::ComPtr<host::MemoryPort> port, WriterSettings settings, const host::TypeName& type,
                    const VARIANT& value, std::u16string_view style, std::u16string_view name = u"a",
                    std::u16string_view ns = u"");

struct Member {
  std::u16string_view name;
  std::u16string_view ns;
  const VARIANT& value;
};

// A VT_DISPATCH VARIANT holding a new struct object with `members`.
qxcom::Variant StructVariant(std::initializer_list<Member> members);

// A VT_ARRAY | VT_VARIANT VARIANT with `bounds` in declaration order (the
// first declared dimension first) holding `items` in storage order (the
// first declared dimension varying fastest); items are copied.
qxcom::Variant VariantArray(std::vector<SAFEARRAYBOUND> bounds,
                            std::initializer_list<const VARIANT*> items);

}  // namespace qxsoap::testing

#endif  // QXSOAP_TESTS_ENCODE_SERIALIZER_TEST_SUPPORT_H_
