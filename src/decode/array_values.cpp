// Arrays: SOAP-encoded ones of any rank, partly transmitted or nil, and
// literal ones of one dimension. Items are read into the array's memory in
// document order: the bounds are handed to SafeArrayCreate last dimension
// first, so the last SOAP index runs fastest there, as it does in the
// message. Sizes are checked against the items received before anything is
// allocated, so no array is larger than the message's items allow.
#include <vector>

#include "decode/simple_types.h"
#include "decode/value_decoder.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"
#include "xml/same_text.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

constexpr ValueDecoder::SiteMessage kInvalidItemReference{
    u"Encountered array item accessor with invalid reference."};

// More dimensions than any array a service takes; SAFEARRAY counts them in
// 16 bits.
constexpr size_t kMaxArrayRank = 64;

enum class ItemKind { kSimple, kStruct, kArray };

struct ItemType {
  ItemKind kind;
  SimpleType simple;  // the built-in type of simple items
};

// A SAFEARRAY of VARIANT with its data accessed while the items are read;
// destroyed on every path unless handed out.
class ArrayBuilder {
 public:
  ArrayBuilder(std::vector<SAFEARRAYBOUND>& bounds, bool needDetail) {
    array_ = qxcom::SafeArrayPtr(SafeArrayCreate(VT_VARIANT, UINT(bounds.size()), bounds.data()));
    void* data = nullptr;
    if (!array_.get() || FAILED(SafeArrayAccessData(array_.get(), &data))) {
      RaiseInternalError(needDetail);
    }
    items_ = static_cast<VARIANT*>(data);
  }
  ~ArrayBuilder() {
    if (items_) SafeArrayUnaccessData(array_.get());
  }
  ArrayBuilder(const ArrayBuilder&) = delete;
  ArrayBuilder& operator=(const ArrayBuilder&) = delete;

  VARIANT* Item(size_t index) { return items_ + index; }

  void HandOut(VARIANT* out) {
    SafeArrayUnaccessData(array_.get());
    items_ = nullptr;
    V_VT(out) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out) = array_.release();
  }

 private:
  qxcom::SafeArrayPtr array_;
  VARIANT* items_ = nullptr;
};

}  // namespace

void ValueDecoder::ArrayEncoded(std::u16string_view expectedStyle, TypeRef type,
                                const AccessorHandler& record,
                                std::optional<std::u16string_view> referrerOffset, VARIANT* out) {
  const Nesting nesting(*this, record);
  const bool detail = record.FaultsNeedDetail();
  const auto refuse = [detail](std::u16string_view message) {
    RaiseFault(FaultKind::kSender, std::u16string(message), detail);
  };
  if (!record.encodingStyle.empty() && !SameText(record.encodingStyle, expectedStyle)) {
    RaiseUnsupportedStyle(u"Unsupported encodingStyle on array accessor.", detail);
  }
  const AccessorAttributes attributes = record.Attributes();
  if (attributes.nodeType && !(*attributes.nodeType).empty() && *attributes.nodeType != u"array"sv) {
    refuse(u"Incorrect nodeType on array accessor.");
  }
  const std::optional<PortType> itemType = AskArrayItemType(port_, type);
  if (!itemType) refuse(u"Encountered unrecognized array accessor.");

  QName declaredItem;
  ArrayShape shape = record.Shape(&declaredItem);
  if (referrerOffset) ReadOffset(*referrerOffset, false, shape, detail);
  const bool nil = attributes.nil == u"true"sv || attributes.nil == u"1"sv;
  if (!nil && expectedStyle.starts_with(SOAP11_ENC_NS)) {
    const bool sameType =
        declaredItem.localName == itemType->name && declaredItem.namespaceUri == itemType->ns;
    if (!sameType && declaredItem.localName != u"anyType"sv && declaredItem.localName != u"ur-type"sv) {
      refuse(u"Encountered improperly typed array accessor.");
    }
  }

  // What the items are, by the port's item type. A derived simple type is
  // read by the built-in type it derives from, the name the check found in
  // the table.
  ItemType item{ItemKind::kSimple, itemType->name};
  if (!IsBuiltInTypeNamespace(itemType->ns)) {
    const std::optional<PortType> base = AskBaseType(port_, itemType->Ref());
    if (!base) refuse(u"Encountered unrecognized array item accessor type.");
    if (!IsSoapEncodingNamespace(base->ns) || base->name == u"Struct"sv) {
      item = {ItemKind::kStruct, u""sv};
    } else if (base->name == u"Array"sv) {
      item = {ItemKind::kArray, u""sv};
    } else {
      item.simple = base->name;
    }
  }
  if (item.kind == ItemKind::kSimple && !item.simple.code) {
    refuse(u"Encountered unrecognized array item accessor type.");
  }

  size_t rank = shape.sizes.size();
  if (nil) {
    const std::optional<LONG> portRank = AskArrayRank(port_, type);
    if (!portRank || *portRank < 1) refuse(u"Unable to determine dimensionality of array.");
    rank = size_t(*portRank);
  }
  if (rank > kMaxArrayRank) refuse(u"Encountered array accessor with too many dimensions.");

  // Sizes against the items received, before anything is allocated.
  const size_t received = record.ChildRecords().Count();
  if (shape.total != -1 && size_t(shape.total) != received) {
    refuse(kSizeConflict);
  }
  std::vector<SAFEARRAYBOUND> bounds(rank, SAFEARRAYBOUND{0, 0});
  if (!nil) {
    for (size_t i = 0; i < rank; ++i) {
      const LONG lower = i < shape.offsets.size() ? shape.offsets[i] : 0;
      bounds[rank - 1 - i] = {ULONG(shape.sizes[i] - lower), lower};
    }
    if (shape.total == -1) bounds[rank - 1].cElements = ULONG(OpenFirstSize(shape, received, detail));
  }
  const size_t positions = nil ? 0 : received;

  ArrayBuilder array(bounds, detail);
  size_t index = 0;
  for (const AccessorHandler& child : record.ChildRecords()) {
    if (index == positions) break;
    VARIANT* slot = array.Item(index++);
    const auto [source, attributes] = Follow(child, kInvalidItemReference, slot);
    if (!source) continue;
    switch (item.kind) {
      case ItemKind::kStruct:
        StructEncoded(expectedStyle, itemType->Ref(), *source, slot);
        break;
      case ItemKind::kArray: {
        const AccessorAttributes::Value offset = source != &child ? attributes.offset : std::nullopt;
        ArrayEncoded(expectedStyle, itemType->Ref(), *source, offset, slot);
        break;
      }
      case ItemKind::kSimple:
        SimpleEncoded(expectedStyle, *source, item.simple, slot,
                      source == &child ? &attributes : nullptr);
        break;
    }
  }
  array.HandOut(out);
}

void ValueDecoder::ArrayLiteral(const AccessorHandler& record, TypeRef itemElement,
                                TypeRef itemType, VARIANT* out) {
  const Nesting nesting(*this, record);
  const bool detail = record.FaultsNeedDetail();
  const auto refuse = [detail](std::u16string_view message) {
    RaiseFault(FaultKind::kSender, std::u16string(message), detail);
  };
  constexpr std::u16string_view kUnknownItemType =
      u"Encountered array item accessor with unrecognized type."sv;
  ItemType item{ItemKind::kSimple, itemType.name};
  std::optional<PortType> base;
  if (IsBuiltInTypeNamespace(itemType.ns)) {
    if (!item.simple.code) refuse(kUnknownItemType);
  } else if (AskLiteralArrayType(port_, itemType)) {
    item = {ItemKind::kArray, u""sv};
  } else if ((base = AskBaseType(port_, itemType)) && IsBuiltInTypeNamespace(base->ns)) {
    item.simple = base->name;
    if (!item.simple.code) refuse(kUnknownItemType);
  } else if (base) {
    item = {ItemKind::kStruct, u""sv};
  } else {
    refuse(kUnknownItemType);
  }

  std::vector<SAFEARRAYBOUND> bounds{{ULONG(record.ChildRecords().Count()), 0}};
  ArrayBuilder array(bounds, detail);
  size_t index = 0;
  for (const AccessorHandler& child : record.ChildRecords()) {
    if (child.LocalName() != itemElement.name || child.NamespaceUri() != itemElement.ns) {
      refuse(u"Encountered unrecognized array item accessor.");
    }
    VARIANT* slot = array.Item(index++);
    switch (item.kind) {
      case ItemKind::kStruct:
        StructLiteral(itemType, child, slot);
        break;
      case ItemKind::kArray: {
        const std::optional<LiteralArrayType> inner = AskLiteralArrayType(port_, itemType);
        if (!inner) refuse(u"Encountered array item accessor of unrecognized type.");
        ArrayLiteral(child, inner->itemElement.Ref(), inner->itemType.Ref(), slot);
        break;
      }
      case ItemKind::kSimple:
        SimpleLiteral(child, item.simple, slot);
        break;
    }
  }
  array.HandOut(out);
}

}  // namespace qxsoap
