// What every kind of value shares: following references, the nesting
// bound, the encodingStyle fault, and built-in values.
#include "decode/value_decoder.h"

#include "decode/simple_text.h"
#include "decode/simple_types.h"
#include "frame/message_handler.h"
#include "model/fault_message.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"
#include "xml/same_text.h"

namespace qxsoap {

using namespace std::string_view_literals;

ValueDecoder::ValueDecoder(MessageHandler& handler, PortDescription& port,
                           const MessageParserEngine& parser)
    : handler_(handler),
      port_(port),
      parser_(parser),
      soapVersion_(handler.GetSOAPVersion()),
      valuesLeft_(kValuesBeyondMessageSize + handler.GetBuffer().size()) {}

ValueDecoder::Nesting::Nesting(ValueDecoder& decoder, const AccessorHandler& record)
    : decoder_(decoder) {
  if (++decoder_.depth_ > kMaxValueDepth) {
    --decoder_.depth_;
    RaiseFault(FaultKind::kSender, u"Encountered a reference cycle or values nested too deeply.",
               record.FaultsNeedDetail());
  }
}

ValueDecoder::Nesting::~Nesting() { --decoder_.depth_; }

namespace {

// What reading an element's attributes counts: one for each, and one for
// each eight units of its value, since arrayType, offset and href are read
// through to their ends.
size_t AttributeValues(const AccessorHandler& accessor) {
  size_t values = 0;
  for (const XmlAttribute& attribute : accessor.element->Attributes()) {
    values += 1 + attribute.Value().size() / 8;
  }
  return values;
}

}  // namespace

void ValueDecoder::CountValues(const AccessorHandler& accessor, size_t values) {
  if (values > valuesLeft_) {
    RaiseFault(FaultKind::kSender,
               u"Encountered references that multiply the message's values too far.",
               accessor.FaultsNeedDetail());
  }
  valuesLeft_ -= values;
}

ValueDecoder::Followed ValueDecoder::Follow(const AccessorHandler& accessor, const SiteMessage& site,
                                            VARIANT* out) {
  CountValues(accessor, 1 + AttributeValues(accessor));
  Followed followed{&accessor, accessor.Attributes()};
  const AccessorAttributes::Value href = followed.attributes.href;
  if (!href || (*href).empty()) return followed;
  followed.source = parser_.ResolveReference(*href);
  if (followed.source) {
    CountValues(accessor, AttributeValues(*followed.source));
    return followed;
  }
  if (const DimeAttachment* attachment = handler_.PhaseAttachments().Find(*href)) {
    V_VT(out) = VT_UNKNOWN;
    V_UNKNOWN(out) = attachment->HandOutStorage();
    return followed;
  }
  RaiseFaultWithSubcode(soapVersion_, FaultKind::kSender, u"MissingID", SOAP12_ENC_NS,
                        FormatFaultMessage(site.pattern, {site.name}), accessor.FaultsNeedDetail());
}

void ValueDecoder::RaiseUnsupportedStyle(std::u16string message, bool needDetail) const {
  RaiseFault(soapVersion_ == 11 ? FaultKind::kSender : FaultKind::kDataEncodingUnknown,
             std::move(message), needDetail);
}

void ValueDecoder::SimpleEncoded(std::u16string_view expectedStyle, const AccessorHandler& accessor,
                                 SimpleType type, VARIANT* out, const AccessorAttributes* known) {
  const bool detail = accessor.FaultsNeedDetail();
  if (!accessor.ChildRecords().empty()) {
    RaiseFault(FaultKind::kSender, u"Encountered improperly serialized built-in type accessor.",
               detail);
  }
  const AccessorAttributes attributes = known ? *known : accessor.Attributes();
  if (attributes.nodeType && !(*attributes.nodeType).empty() && *attributes.nodeType != u"simple"sv) {
    RaiseFault(FaultKind::kSender, u"Incorrect nodeType on built-in type accessor.", detail);
  }
  if (!accessor.encodingStyle.empty() && !SameText(accessor.encodingStyle, expectedStyle)) {
    RaiseUnsupportedStyle(u"Unsupported encodingStyle on built-in type accessor.", detail);
  }
  ConvertSimpleText(accessor, attributes, type, out);
}

void ValueDecoder::SimpleLiteral(const AccessorHandler& accessor, SimpleType type, VARIANT* out) {
  ConvertSimpleText(accessor, accessor.Attributes(), type, out);
}

void ValueDecoder::ConvertSimpleText(const AccessorHandler& accessor,
                                     const AccessorAttributes& attributes, SimpleType type,
                                     VARIANT* out) {
  const bool detail = accessor.FaultsNeedDetail();
  const auto refuse = [&] {
    RaiseFault(FaultKind::kSender,
               FormatFaultMessage(u"Encountered improperly serialized built-in type accessor: '%s'.",
                                  {accessor.LocalName()}),
               detail);
  };
  std::optional<uint16_t> code = type.code;
  if (!code) refuse();
  if (*code == kAnyType && attributes.type) {
    // The xsi type picks the conversion; its namespace is not checked (the
    // name resolved when the element was read).
    const QName xsiType = ResolveQName(*attributes.type, accessor.element->Scope()).name;
    if (const std::optional<uint16_t> named = LookUpSimpleType(xsiType.localName)) {
      code = named;
    } else if (!(attributes.nodeType == u"simple"sv)) {
      RaiseFault(FaultKind::kSender, u"Encountered accessor with unrecognized data type.", detail);
    }
  }
  if (attributes.nil == u"true"sv || attributes.nil == u"1"sv) {
    V_VT(out) = VT_NULL;
    return;
  }
  CountValues(accessor, accessor.Text().size() / 8);
  const HRESULT hr = ConvertBuiltInText(*code, accessor.Text(), out);
  if (hr == E_OUTOFMEMORY) RaiseInternalError(detail);
  if (FAILED(hr)) refuse();
}

}  // namespace qxsoap
