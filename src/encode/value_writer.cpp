// Choosing a writer by type, and the two writers of simple values.
#include "encode/value_writer.h"

#include <array>
#include <string>

#include "decode/simple_types.h"
#include "encode/attachment_id.h"
#include "encode/typing.h"
#include "encode/value_text.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"
#include "xml/xml_document.h"
#include "xml/xml_element.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

// The type an anyType value is written as, by its VARTYPE.
struct AnyTypeRow {
  VARTYPE vt;
  std::u16string_view name;
  uint16_t code;
};
constexpr std::array<AnyTypeRow, 12> kAnyTypeRows = {{
    {VT_I2, u"short", VT_I2},
    {VT_I4, u"int", VT_I4},
    {VT_R4, u"float", VT_R4},
    {VT_R8, u"double", VT_R8},
    {VT_DATE, u"dateTime", kDateTime},
    {VT_BSTR, u"string", VT_BSTR},
    {VT_BOOL, u"boolean", kBoolean},
    {VT_DECIMAL, u"decimal", VT_DECIMAL},
    {VT_I1, u"byte", VT_I1},
    {VT_UI1, u"unsignedByte", VT_UI1},
    {VT_UI2, u"unsignedShort", VT_UI2},
    {VT_UI4, u"unsignedInt", VT_UI4},
}};

const AnyTypeRow* AnyTypeRowFor(VARTYPE vt) {
  for (const AnyTypeRow& row : kAnyTypeRows) {
    if (row.vt == vt) return &row;
  }
  return nullptr;
}

[[noreturn]] void RaiseConversionFailure(HRESULT hr) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string message = u"A value could not be converted to text (HRESULT 0x";
  for (int shift = 28; shift >= 0; shift -= 4) message += kHex[(uint32_t(hr) >> shift) & 0xF];
  message += u").";
  RaiseFault(FaultKind::kReceiver, std::move(message), true);
}

}  // namespace

ValueWriter::ValueWriter(MessageHandler& handler, PortDescription& port)
    : handler_(handler),
      port_(port),
      explicitTyping_(handler.IsExplicitTypingEnabled()),
      nodeType_(handler.IsNodeTypeEnabled()),
      soap12_(handler.GetSOAPVersion() != 11),
      requestPhase_(handler.IsRequestPhase()) {}

ValueWriter::Nesting::Nesting(int& depth) : depth_(depth) {
  if (++depth_ > kMaxElementDepth) {
    --depth_;
    RaiseFault(FaultKind::kReceiver, u"A value refers to itself or is nested too deeply.", true);
  }
}

bool ValueWriter::WritePart(XmlElement& wrapper, BSTR operation, std::u16string_view name,
                            const VARIANT& value,
                            std::optional<std::u16string_view> encodingStyle) {
  const QueryArgument part(name);
  const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
    return requestPhase_ ? port_.GetInputPartType(operation, part.get(), typeName, typeNS, found)
                         : port_.GetOutputPartType(operation, part.get(), typeName, typeNS, found);
  });
  if (!type) return false;
  if (!encodingStyle) return WriteLiteral(wrapper, name, {}, type->Ref(), value);
  return WriteEncoded(wrapper.AddChild(name), type->Ref(), value, *encodingStyle);
}

bool ValueWriter::WriteEncoded(XmlElement& element, TypeRef type, const VARIANT& value,
                               std::u16string_view encodingStyle) {
  if (IsBuiltInTypeNamespace(type.ns)) return SimpleEncoded(element, type, value, encodingStyle);
  const std::optional<PortType> base = AskBaseType(port_, type);
  if (!base) return false;
  if (IsSoapEncodingNamespace(base->ns)) {
    if (base->name == u"Array"sv) return EncodedArray(element, type, value, encodingStyle);
    if (base->name == u"Struct"sv) return EncodedStruct(element, type, value, encodingStyle);
    return SimpleEncoded(element, base->Ref(), value, encodingStyle);
  }
  if (IsSchemaNamespace(base->ns)) return SimpleEncoded(element, base->Ref(), value, encodingStyle);
  return EncodedStruct(element, type, value, encodingStyle);
}

bool ValueWriter::WriteLiteral(XmlElement& parent, std::u16string_view name,
                               std::u16string_view ns, TypeRef type, const VARIANT& value) {
  if (IsBuiltInTypeNamespace(type.ns)) return SimpleLiteral(parent, name, ns, type, value);
  if (const std::optional<LiteralArrayType> array = AskLiteralArrayType(port_, type)) {
    return LiteralArray(parent, name, ns, type, *array, value);
  }
  const std::optional<PortType> base = AskBaseType(port_, type);
  if (!base) return false;
  // A base among the built-in types makes a simple value, SOAP-ENC ones
  // included, as the literal reader takes it.
  if (IsBuiltInTypeNamespace(base->ns)) return SimpleLiteral(parent, name, ns, base->Ref(), value);
  return LiteralStruct(NewPrefixedChild(parent, u"nss"sv, name, ns), type, value);
}

bool ValueWriter::SimpleEncoded(XmlElement& element, TypeRef type, const VARIANT& value,
                                std::u16string_view encodingStyle) {
  if (V_VT(&value) == VT_NULL) {
    AddNil(element, type.ns);
    return true;
  }
  if (V_VT(&value) == VT_UNKNOWN) return Attachment(element, value, encodingStyle);
  if (!SimpleContent(element, type, value)) return false;
  AddNodeType(element, u"simple"sv);
  return true;
}

bool ValueWriter::SimpleLiteral(XmlElement& parent, std::u16string_view name,
                                std::u16string_view ns, TypeRef type, const VARIANT& value) {
  XmlElement& element = NewPrefixedChild(parent, u"nsb"sv, name, ns);
  if (V_VT(&value) == VT_NULL) {
    AddNil(element, type.ns);
    return true;
  }
  return SimpleContent(element, type, value);
}

auto ValueWriter::FormOf(TypeRef type, VARTYPE vt) const -> std::optional<SimpleForm> {
  const std::optional<uint16_t> listed = LookUpSimpleType(type.name);
  if (!listed) return std::nullopt;
  if (*listed != kAnyType) return SimpleForm{*listed, type.name, explicitTyping_};
  const AnyTypeRow* row = AnyTypeRowFor(vt);
  if (!row) return std::nullopt;
  // The type of an anyType value is only known from the attribute.
  return SimpleForm{row->code, row->vt == VT_DATE && type.ns == XSD1999_NS ? u"timeInstant"sv : row->name,
                    true};
}

bool ValueWriter::SimpleContent(XmlElement& element, TypeRef type, const VARIANT& value) {
  const std::optional<SimpleForm> form = FormOf(type, V_VT(&value));
  if (!form) return false;
  SetValueText(element, form->code, value);
  if (form->typed) AddTypeAttribute(element, u"ns"sv, {form->typeName, type.ns});
  return true;
}

void ValueWriter::SetValueText(XmlElement& element, uint16_t code, const VARIANT& value) {
  if (V_VT(&value) == VT_BSTR && (code < kAnyType || code == kAnyUri)) {
    // A string is its own text: lent to the tree, which is written before
    // the handler's values can change, or copied from a passing copy.
    const std::u16string_view text(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
    if (copiedDepth_ == 0) {
      element.BorrowText(text);
    } else {
      element.SetText(text);
    }
    return;
  }
  HRESULT hr;
  if (IsBinaryCode(code)) {
    BinaryText binary(BinaryText::Form::kBase64, {});
    hr = ReadBinaryText(code, value, &binary);
    if (SUCCEEDED(hr)) SetBinaryText(element, binary);
  } else {
    text_.clear();
    hr = AppendValueText(code, value, text_);
    if (SUCCEEDED(hr)) element.SetText(text_);
  }
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) RaiseConversionFailure(hr);
}

void ValueWriter::SetBinaryText(XmlElement& element, const BinaryText& text) {
  if (copiedDepth_ == 0) {
    // Binary text can run to megabytes: it is encoded as the tree is
    // written, straight into the output, from the handler's own value.
    void* place = element.Memory().Allocate(sizeof(BinaryText), alignof(BinaryText));
    element.DeferText(*new (place) BinaryText(text));
  } else if (const size_t length = text.Length()) {
    // A passing copy's bytes go before the tree is written.
    text.Write(element.NewText(length));
  }
}

bool ValueWriter::Attachment(XmlElement& element, const VARIANT& value,
                             std::u16string_view encodingStyle) {
  std::u16string id;
  if (FAILED(NewAttachmentId(&id))) return false;
  if (encodingStyle.starts_with(SOAP11_ENC_NS)) {
    element.SetQualifiedAttribute(u"href"sv, {}, id);
  } else {
    element.SetQualifiedAttribute(u"SOAP-ENC:ref"sv, SOAP12_ENC_NS, id);
  }
  constexpr LONG kAbsoluteUriTypeFormat = 3;
  IUnknown* object = V_UNKNOWN(&value);
  return requestPhase_
             ? handler_.AddDIMEAttachmentReq(id, {}, kAbsoluteUriTypeFormat, object, nullptr)
             : handler_.AddDIMEAttachmentResp(id, {}, kAbsoluteUriTypeFormat, object, nullptr);
}

void ValueWriter::AddNil(XmlElement& element, std::u16string_view typeNamespace) {
  const std::u16string_view xsi = SchemaInstanceFor(typeNamespace);
  if (typeNamespace == XSD1999_NS) {
    element.SetQualifiedAttribute(u"xsi:null"sv, xsi, u"1"sv);
  } else {
    element.SetQualifiedAttribute(u"xsi:nil"sv, xsi, u"true"sv);
  }
}

void ValueWriter::AddNodeType(XmlElement& element, std::u16string_view nodeType) const {
  if (soap12_ && nodeType_) element.SetQualifiedAttribute(u"SOAP-ENC:nodeType"sv, SOAP12_ENC_NS, nodeType);
}

}  // namespace qxsoap
