// Out-parameters of Iqxsoapmsg2 written from the handler's records.
#include "frame/automation_values.h"

namespace qxsoap {

void OutWriter::Text(std::u16string_view text, BSTR* out) {
  *out = SysAllocStringLen(text.data(), UINT(text.size()));
  if (!*out) Keep(E_OUTOFMEMORY);
}

HRESULT HandOutHeader(const HeaderElem* block, const HeaderOuts& outs, VARIANT_BOOL* result) {
  OutWriter out;
  out.Content(block, outs.content);
  out.Flag(block != nullptr, result);
  if (!block) return out.Result();
  out.Text(block->namespaceURI, outs.namespaceURI);
  out.Text(block->name, outs.name);
  out.Flag(block->mustUnderstand, outs.mustUnderstand);
  out.Text(block->actorURI, outs.actorURI);
  if (outs.relay) out.Flag(block->relay, outs.relay);
  return out.Result();
}

HRESULT HandOutLiteralHeader(const HeaderElemLiteral* block, const LiteralHeaderOuts& outs,
                             VARIANT_BOOL* result) {
  OutWriter out;
  out.Flag(block != nullptr, result);
  if (!block) return S_OK;
  out.Text(block->namespaceURI, outs.namespaceURI);
  out.Text(block->name, outs.name);
  out.Text(block->literalXML, outs.literalXML);
  out.Flag(block->mustUnderstand, outs.mustUnderstand);
  out.Text(block->actorURI, outs.actorURI);
  if (outs.relay) out.Flag(block->relay, outs.relay);
  out.Text(block->encodingStyle, outs.encodingStyle);
  return out.Result();
}

HRESULT HandOutParam(const MethodParam* param, BSTR* namespaceURI, BSTR* name, VARIANT* content,
                     VARIANT_BOOL* isInParam, VARIANT_BOOL* isOutParam, VARIANT_BOOL* result) {
  OutWriter out;
  out.Content(param, content);
  out.Flag(param != nullptr, result);
  if (!param) return out.Result();
  out.Text(param->namespaceURI, namespaceURI);
  out.Text(param->name, name);
  out.Flag(param->isInParam, isInParam);
  out.Flag(param->isOutParam, isOutParam);
  return out.Result();
}

HRESULT HandOutDetail(const ElemRecord* detail, BSTR* namespaceURI, BSTR* name,
                      VARIANT* content, VARIANT_BOOL* result) {
  OutWriter out;
  out.Content(detail, content);
  out.Flag(detail != nullptr, result);
  if (!detail) return out.Result();
  out.Text(detail->namespaceURI, namespaceURI);
  out.Text(detail->name, name);
  return out.Result();
}

HRESULT HandOutAttachment(const DimeAttachment* attachment, const AttachmentOuts& outs,
                          VARIANT_BOOL* result) {
  OutWriter out;
  out.Flag(attachment != nullptr, result);
  if (!attachment) return S_OK;
  if (outs.id) out.Text(attachment->WideId(), outs.id);
  out.Text(attachment->WideType(), outs.type);
  out.Number(attachment->tnf, outs.tnf);
  *outs.storage = attachment->HandOutStorage();
  if (!attachment->HandOutOptions(outs.options)) out.Keep(E_OUTOFMEMORY);
  return out.Result();
}

}  // namespace qxsoap
