#include "parse/message_parser.h"

#include <new>
#include <string>

#include "frame/message_handler.h"
#include "model/fault_message.h"
#include "model/fault_record.h"

namespace qxsoap {
namespace {

std::u16string DecimalText(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

void MessageParser::ReadEnvelope(MessageHandler& handler, DocumentHandler& document) {
  tree_.reset();
  dispatcher_.SetRootHandler(&document);
  const std::span<const BYTE> bytes = handler.GetBuffer();
  try {
    document_.Parse(bytes.data(), bytes.size(), &dispatcher_);
  } catch (int line) {
    RaiseFault(FaultKind::kSender,
               FormatFaultMessage(u"XML Parser: Parse Error on Line %s.", {DecimalText(line)}),
               false);
  } catch (QXSOAPFault*) {
    handler.SetSOAPVersion(document.soapVersion);
    throw;
  } catch (const std::bad_alloc&) {
    RaiseInternalError(false);
  }
  tree_ = document_.DetachRoot();
  handler.SetSOAPVersion(document.soapVersion);
  if (!document.envelopeFound) {
    tree_.reset();
    RaiseFault(FaultKind::kSender, u"SOAP Envelope not found in message.", false);
  }
}

const AccessorHandler* MessageParser::ResolveReference(std::u16string_view href) const {
  if (href.starts_with(u'#')) href.remove_prefix(1);
  for (const IdRegistry* ids : {BodyIds(), HeaderIds()}) {
    if (!ids) continue;
    if (const AccessorHandler* found = ids->Find(href)) return found;
  }
  return nullptr;
}

}  // namespace qxsoap
