// Out-parameters of Iqxsoapmsg2 written from the handler's records.
#include "frame/automation_values.h"

namespace qxsoap {

void OutWriter::Text(std::u16string_view text, BSTR* out) {
  *out = SysAllocStringLen(text.data(), UINT(text.size()));
  if (!*out) Keep(E_OUTOFMEMORY);
}

namespace {

void WriteFields(OutWriter& out, const ElemRecord& record, const NameOuts& outs) {
  out.Text(record.namespaceURI, outs.namespaceURI);
  out.Text(record.name, outs.name);
}

// Typed and literal blocks carry the same targeting fields.
template <typename Block>
void WriteFields(OutWriter& out, const Block& block, const HeaderOuts& outs) {
  WriteFields(out, static_cast<const ElemRecord&>(block), outs.names);
  out.Flag(block.mustUnderstand, outs.mustUnderstand);
  out.Text(block.actorURI, outs.actorURI);
  if (outs.relay) out.Flag(block.relay, outs.relay);
}

void WriteFields(OutWriter& out, const HeaderElemLiteral& block, const LiteralHeaderOuts& outs) {
  WriteFields(out, block, outs.header);
  out.Text(block.literalXML.Text(), outs.literalXML);
  out.Text(block.encodingStyle, outs.encodingStyle);
}

void WriteFields(OutWriter& out, const MethodParam& param, const ParamOuts& outs) {
  WriteFields(out, param, outs.names);
  out.Flag(param.isInParam, outs.isInParam);
  out.Flag(param.isOutParam, outs.isOutParam);
}

void WriteFields(OutWriter& out, const DimeAttachment& attachment, const AttachmentOuts& outs) {
  if (outs.id) out.Text(attachment.WideId(), outs.id);
  out.Text(attachment.WideType(), outs.type);
  out.Number(attachment.tnf, outs.tnf);
  *outs.storage = attachment.HandOutStorage();
  if (!attachment.HandOutOptions(outs.options)) out.Keep(E_OUTOFMEMORY);
}

void WriteFields(OutWriter& out, const ReasonText& reason, const ReasonOuts& outs) {
  out.Text(reason.text, outs.text);
  out.Text(reason.langId, outs.langId);
}

template <typename Record, typename Outs>
void WriteRecord(OutWriter& out, const Record* record, const Outs& outs, VARIANT_BOOL* result) {
  out.Flag(record != nullptr, result);
  if (record) WriteFields(out, *record, outs);
}

template <typename Record, typename Outs>
HRESULT HandOutRecord(const Record* record, const Outs& outs, VARIANT_BOOL* result) {
  OutWriter out;
  WriteRecord(out, record, outs, result);
  return out.Result();
}

// The content goes last: writing it releases what the caller's variable
// held, which may run host code that changes the list the record is in.
template <typename Record, typename Outs>
HRESULT HandOutWithContent(const Record* record, const Outs& outs, VARIANT* content,
                           VARIANT_BOOL* result) {
  OutWriter out;
  WriteRecord(out, record, outs, result);
  out.Content(record, content);
  return out.Result();
}

}  // namespace

HRESULT HandOut(const HeaderElem* block, const HeaderOuts& outs, VARIANT* content,
                VARIANT_BOOL* result) {
  return HandOutWithContent(block, outs, content, result);
}

HRESULT HandOut(const HeaderElemLiteral* block, const LiteralHeaderOuts& outs,
                VARIANT_BOOL* result) {
  return HandOutRecord(block, outs, result);
}

HRESULT HandOut(const MethodParam* param, const ParamOuts& outs, VARIANT* content,
                VARIANT_BOOL* result) {
  return HandOutWithContent(param, outs, content, result);
}

HRESULT HandOut(const ElemRecord* detail, const NameOuts& outs, VARIANT* content,
                VARIANT_BOOL* result) {
  return HandOutWithContent(detail, outs, content, result);
}

HRESULT HandOut(const DimeAttachment* attachment, const AttachmentOuts& outs,
                VARIANT_BOOL* result) {
  return HandOutRecord(attachment, outs, result);
}

HRESULT HandOut(const std::optional<ReasonText>& reason, const ReasonOuts& outs,
                VARIANT_BOOL* result) {
  return HandOutRecord(reason ? &*reason : nullptr, outs, result);
}

}  // namespace qxsoap
