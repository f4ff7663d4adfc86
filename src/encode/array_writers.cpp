// Arrays: SOAP-encoded ones of any rank and literal ones of one dimension.
// Items are written in storage order: the first stored dimension (the last
// declared one) outermost and the last stored dimension fastest, which is
// the order of the data, so the items are walked straight through memory.
// The sizes and offsets an encoded array declares follow the stored order
// too, which is the order the reader gives the bounds back in.
#include <charconv>
#include <cstring>
#include <string>

#include "encode/element_models.h"
#include "encode/typing.h"
#include "encode/value_writer.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"
#include "xml/xml_element.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

[[noreturn]] void RaiseItemError(std::u16string_view message) {
  RaiseFault(FaultKind::kReceiver, std::u16string(message), true);
}

// The array a VARIANT holds, by value or by reference; null when it holds
// none.
SAFEARRAY* HeldArray(const VARIANT& value) {
  if (!(V_VT(&value) & VT_ARRAY)) return nullptr;
  if (V_VT(&value) & VT_BYREF) return V_ARRAYREF(&value) ? *V_ARRAYREF(&value) : nullptr;
  return V_ARRAY(&value);
}

bool HoldsArrayOfVariants(const VARIANT& value) {
  return (V_VT(&value) & ~VT_BYREF) == (VT_ARRAY | VT_VARIANT);
}

// The items of an array as VARIANTs, with the data locked while they are
// read. Items of an array of VARIANTs are handed out in place; items of
// other element types are lent in a VARIANT of their type that shares
// their strings and interfaces, valid until the next item is asked for.
class ArrayItems {
 public:
  explicit ArrayItems(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayGetVartype(array, &type_)) || FAILED(SafeArrayAccessData(array, &data_))) {
      data_ = nullptr;
      return;
    }
    count_ = array->cDims ? 1 : 0;
    for (USHORT i = 0; i < array->cDims; ++i) count_ *= array->rgsabound[i].cElements;
  }
  ~ArrayItems() {
    if (data_) SafeArrayUnaccessData(array_);
  }
  ArrayItems(const ArrayItems&) = delete;
  ArrayItems& operator=(const ArrayItems&) = delete;

  // False when the items cannot be read at all.
  bool Readable() const { return data_ != nullptr; }
  size_t Count() const { return count_; }

  // Item `index`, or null when its element type has no VARIANT form.
  const VARIANT* At(size_t index) {
    const auto* bytes = static_cast<const BYTE*>(data_) + index * array_->cbElements;
    if (type_ == VT_VARIANT) return reinterpret_cast<const VARIANT*>(bytes);
    if (!Lendable(type_)) return nullptr;
    VariantInit(&lent_);
    if (type_ == VT_DECIMAL) {
      std::memcpy(&V_DECIMAL(&lent_), bytes, sizeof(DECIMAL));
    } else {
      std::memcpy(&V_UI1(&lent_), bytes, array_->cbElements);
    }
    V_VT(&lent_) = type_;
    return &lent_;
  }

 private:
  static bool Lendable(VARTYPE type) {
    switch (type) {
      case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4:
      case VT_INT: case VT_UINT: case VT_I8: case VT_UI8: case VT_R4: case VT_R8:
      case VT_CY: case VT_DATE: case VT_BOOL: case VT_ERROR: case VT_DECIMAL:
      case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN:
        return true;
      default:
        return false;
    }
  }

  SAFEARRAY* array_;
  void* data_ = nullptr;
  VARTYPE type_ = VT_EMPTY;
  size_t count_ = 0;
  VARIANT lent_;  // never cleared: it owns nothing
};

// Appends the stored dimensions' sizes (element count plus lower bound) or
// lower bounds to `text`, joined by `separator`.
void AppendBounds(const SAFEARRAY& array, bool sizes, char16_t separator, std::u16string& text) {
  for (USHORT i = 0; i < array.cDims; ++i) {
    const SAFEARRAYBOUND& bound = array.rgsabound[i];
    const int64_t number = sizes ? int64_t(bound.cElements) + bound.lLbound : bound.lLbound;
    if (i) text += separator;
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    text.append(static_cast<const char*>(digits), end);
  }
}

}  // namespace

bool ValueWriter::EncodedArray(XmlElement& element, TypeRef arrayType, const VARIANT& value,
                               std::u16string_view encodingStyle) {
  SAFEARRAY* array = HeldArray(value);
  if (!array) return false;
  const std::optional<PortType> itemType = AskArrayItemType(port_, arrayType);
  if (!itemType) return false;
  EncodedArrayContent(element, *itemType, array, encodingStyle);
  return true;
}

void ValueWriter::EncodedArrayContent(XmlElement& element, const PortType& itemType,
                                      SAFEARRAY* array, std::u16string_view encodingStyle) {
  const Nesting level(depth_);
  ArrayItems items(array);
  if (!items.Readable()) RaiseItemError(u"Error while serializing array parameter.");
  SimpleModel simple;
  StructModels structs;
  for (size_t i = 0; i < items.Count(); ++i) {
    const VARIANT* item = items.At(i);
    if (!item) RaiseItemError(u"Error while serializing array parameter.");
    if (const XmlElement* model = simple.ModelFor(*item)) {
      SetValueText(element.AddChildLike(*model), simple.code, *item);
      continue;
    }
    if (V_VT(item) == VT_DISPATCH) {
      XmlElement& child = structs.item ? element.AddChildLike(*structs.item) : element.AddChild(u"item"sv);
      if (!EncodedStruct(child, itemType.Ref(), *item, encodingStyle, &structs)) {
        RaiseItemError(u"Error while serializing 'array of struct' parameter.");
      }
      if (!structs.item) structs.item = &child;
      continue;
    }
    XmlElement& child = element.AddChild(u"item"sv);
    if (HoldsArrayOfVariants(*item)) {
      const std::optional<PortType> nestedItemType = AskArrayItemType(port_, itemType.Ref());
      SAFEARRAY* nested = HeldArray(*item);
      if (!nestedItemType || !nested) {
        RaiseItemError(u"Error while serializing 'array of array' parameter.");
      }
      EncodedArrayContent(child, *nestedItemType, nested, encodingStyle);
    } else if (!SimpleEncoded(child, itemType.Ref(), *item, encodingStyle)) {
      RaiseItemError(u"Error while serializing 'array' parameter.");
    } else if (const std::optional<SimpleForm> form = FormOf(itemType.Ref(), V_VT(item))) {
      simple.Remember(child, *item, form->code);
    }
  }

  // The attribute texts are made in the value scratch text, free again
  // now that the items are written. Their form follows the encoding style,
  // not the SOAP version.
  std::u16string& text = text_;
  text.assign(u"nsa:"sv).append(itemType.name);
  if (encodingStyle.starts_with(SOAP11_ENC_NS)) {
    text += u'[';
    AppendBounds(*array, true, u',', text);
    text += u']';
    element.SetQualifiedAttribute(u"SOAP-ENC:arrayType"sv, SOAP11_ENC_NS, text);
    text.clear();
    text += u'[';
    AppendBounds(*array, false, u',', text);
    text += u']';
    element.SetQualifiedAttribute(u"SOAP-ENC:offset"sv, SOAP11_ENC_NS, text);
  } else {
    element.SetQualifiedAttribute(u"SOAP-ENC:itemType"sv, SOAP12_ENC_NS, text);
    text.clear();
    AppendBounds(*array, true, u' ', text);
    element.SetQualifiedAttribute(u"SOAP-ENC:arraySize"sv, SOAP12_ENC_NS, text);
  }
  element.DeclareNamespace(u"nsa"sv, itemType.ns);
  if (explicitTyping_) element.SetQualifiedAttribute(u"xsi:type"sv, XSI2001_NS, u"SOAP-ENC:Array"sv);
  AddNodeType(element, u"array"sv);
}

bool ValueWriter::LiteralArray(XmlElement& parent, std::u16string_view name,
                               std::u16string_view ns, TypeRef arrayType,
                               const LiteralArrayType& description, const VARIANT& value) {
  XmlElement& element = NewPrefixedChild(parent, u"nsa"sv, name, ns);
  SAFEARRAY* array = HeldArray(value);
  if (!array) return false;
  LiteralArrayContent(element, description, array);
  if (explicitTyping_) AddTypeAttribute(element, u"ns"sv, arrayType);
  return true;
}

void ValueWriter::LiteralArrayContent(XmlElement& element, const LiteralArrayType& description,
                                      SAFEARRAY* array) {
  const Nesting level(depth_);
  if (SafeArrayGetDim(array) != 1) RaiseItemError(u"Error while serializing literal array parameter.");
  ArrayItems items(array);
  if (!items.Readable()) RaiseItemError(u"Error while serializing literal array parameter.");
  const PortType& itemType = description.itemType;
  const PortType& itemElement = description.itemElement;
  SimpleModel simple;
  for (size_t i = 0; i < items.Count(); ++i) {
    const VARIANT* item = items.At(i);
    if (!item) RaiseItemError(u"Error while serializing literal array parameter.");
    if (V_VT(item) == VT_DISPATCH) {
      XmlElement& child = NewPrefixedChild(element, u"nss"sv, itemElement.name, itemElement.ns);
      if (!LiteralStruct(child, itemType.Ref(), *item)) {
        RaiseItemError(u"Error while serializing 'array of struct' literal parameter.");
      }
    } else if (HoldsArrayOfVariants(*item)) {
      XmlElement& child = NewPrefixedChild(element, u"nsa"sv, itemElement.name, itemElement.ns);
      const std::optional<LiteralArrayType> nestedDescription =
          AskLiteralArrayType(port_, itemType.Ref());
      SAFEARRAY* nested = HeldArray(*item);
      if (!nestedDescription || !nested) {
        RaiseItemError(u"Error while serializing 'array of array' literal parameter.");
      }
      LiteralArrayContent(child, *nestedDescription, nested);
      if (explicitTyping_) AddTypeAttribute(child, u"ns"sv, itemType.Ref());
    } else if (const XmlElement* model = simple.ModelFor(*item)) {
      SetValueText(element.AddChildLike(*model), simple.code, *item);
    } else if (!SimpleLiteral(element, itemElement.name, itemElement.ns, itemType.Ref(), *item)) {
      RaiseItemError(u"Error while serializing 'array of simple type' literal parameter.");
    } else if (const std::optional<SimpleForm> form = FormOf(itemType.Ref(), V_VT(item))) {
      simple.Remember(element.Children().back(), *item, form->code);
    }
  }
}

}  // namespace qxsoap
