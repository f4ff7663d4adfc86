// encode/value_writer.h: writes automation values as accessor elements of an
// output tree, typed by the port description: simple values encoded (SOAP
// encoding) or literal, SOAP-encoded arrays of any rank, literal arrays of
// one dimension, and struct objects, nested to any depth.
//
// The serializer declares its own prefixes on the element that uses them
// (a child declares again what it needs): ns for a value's type namespace,
// nsb for a literal element's namespace, nsa for array item types and
// literal array elements, nss for struct types and literal struct elements,
// nsm for the members of encoded structs, xsi for the schema instance
// namespace and SOAP-ENC for the encoding namespace of an attribute.
//
// Results: a writer returns false ("none") when the port cannot type a
// value or the value has no form under its type; the caller then fails as a
// whole. An array or struct item that cannot be written raises the Receiver
// fault that names the kind of item (with detail), and so does a value
// whose conversion to text fails; those end the serialization.
//
// Threads: one writer per serialization, used by one thread.
#ifndef QXSOAP_ENCODE_VALUE_WRITER_H_
#define QXSOAP_ENCODE_VALUE_WRITER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decode/port_queries.h"
#include "encode/binary_encoding.h"
#include "qxcom/oleauto.h"

namespace qxsoap {

class MessageHandler;
class StructModels;
class XmlElement;

class ValueWriter {
 public:
  // Reads the typing flags, SOAP version and phase of `handler`, and files
  // the attachments it writes into the handler's list of the phase.
  ValueWriter(MessageHandler& handler, PortDescription& port);

  // Appends the parameter or return value `name` of `operation` under
  // `wrapper`, typed by the input message's part in the request phase and
  // the output message's otherwise: an encoded accessor under
  // `encodingStyle`, or (nullopt) a literal one in no namespace. False when
  // the message does not declare the part or the value cannot be written
  // under its type.
  bool WritePart(XmlElement& wrapper, BSTR operation, std::u16string_view name,
                 const VARIANT& value, std::optional<std::u16string_view> encodingStyle);

  // Writes `value` of `type` encoded into `element`, which the caller made
  // and named: a built-in type by the simple writer, any other by what its
  // base type says it is (array, struct or a restricted simple type).
  bool WriteEncoded(XmlElement& element, TypeRef type, const VARIANT& value,
                    std::u16string_view encodingStyle);

  // Appends `value` of `type` under `parent` as a literal element `name`
  // in `ns` (prefixed when `ns` is not empty): a built-in type by the
  // simple writer, a literal array type as a literal array, otherwise by
  // its base type (simple) or as a struct.
  bool WriteLiteral(XmlElement& parent, std::u16string_view name, std::u16string_view ns,
                    TypeRef type, const VARIANT& value);

 private:
  // Counts one level of array or struct nesting while alive. A level past
  // the element depth the reader accepts raises a Receiver fault: nothing
  // could read such a message, and a struct that holds itself ends here.
  class Nesting {
   public:
    explicit Nesting(int& depth);
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    int& depth_;
  };

  bool SimpleEncoded(XmlElement& element, TypeRef type, const VARIANT& value,
                     std::u16string_view encodingStyle);
  bool SimpleLiteral(XmlElement& parent, std::u16string_view name, std::u16string_view ns,
                     TypeRef type, const VARIANT& value);
  // How a simple value is written: the conversion code and the type name
  // xsi:type gives (an anyType value's by its VARTYPE), and whether it
  // carries xsi:type.
  struct SimpleForm {
    uint16_t code;
    std::u16string_view typeName;
    bool typed;
  };
  // The form of a value of `vt` under `type`; nullopt when it has none.
  std::optional<SimpleForm> FormOf(TypeRef type, VARTYPE vt) const;
  // The text and typing attributes both simple writers share.
  bool SimpleContent(XmlElement& element, TypeRef type, const VARIANT& value);
  // Sets the element's text to `value` converted by `code`.
  void SetValueText(XmlElement& element, uint16_t code, const VARIANT& value);
  // Sets the element's text to the base64 or hex `text`: deferred to the
  // writing of the tree for the handler's own values, made now for copies.
  void SetBinaryText(XmlElement& element, const BinaryText& text);
  bool Attachment(XmlElement& element, const VARIANT& value, std::u16string_view encodingStyle);
  void AddNil(XmlElement& element, std::u16string_view typeNamespace);

  bool EncodedArray(XmlElement& element, TypeRef arrayType, const VARIANT& value,
                    std::u16string_view encodingStyle);
  void EncodedArrayContent(XmlElement& element, const PortType& itemType, SAFEARRAY* array,
                           std::u16string_view encodingStyle);
  // With `models`, the struct is one of an array's: members written like
  // the models are copies of them, and an element copied from a struct
  // already written (models->item) has its typing attributes already.
  bool EncodedStruct(XmlElement& element, TypeRef type, const VARIANT& value,
                     std::u16string_view encodingStyle, StructModels* models = nullptr);

  bool LiteralArray(XmlElement& parent, std::u16string_view name, std::u16string_view ns,
                    TypeRef arrayType, const LiteralArrayType& description, const VARIANT& value);
  void LiteralArrayContent(XmlElement& element, const LiteralArrayType& description,
                           SAFEARRAY* array);
  bool LiteralStruct(XmlElement& element, TypeRef type, const VARIANT& value);

  // Adds the node type attribute of SOAP 1.2 encoding when asked for.
  void AddNodeType(XmlElement& element, std::u16string_view nodeType) const;

  MessageHandler& handler_;
  PortDescription& port_;
  const bool explicitTyping_;
  const bool nodeType_;
  const bool soap12_;
  const bool requestPhase_;
  int depth_ = 0;
  // Struct objects of other implementations whose members are being
  // written: their members are copies that go once written, so strings
  // and binary texts within are made in the tree, where the handler's own
  // values lend theirs.
  int copiedDepth_ = 0;
  std::u16string text_;  // the text of the value being written, reused
};

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_VALUE_WRITER_H_
