// The fault state operations.
#include "model/fault_state.h"

#include <iterator>

#include "model/cursor.h"

namespace qxsoap {

void FaultState::SetFault11(std::u16string_view code, std::u16string_view codeNS,
                            std::u16string_view faultString, std::u16string_view node,
                            bool needDetail) {
  faultCode = code;
  faultCodeNS = codeNS;
  this->faultString = faultString;
  faultNode = node;
  this->needDetail = needDetail;
  faultSubcode.clear();
  faultSubcodeNS.clear();
  isFault = true;
}

void FaultState::SetFault12(std::u16string_view code, std::u16string_view codeNS,
                            std::u16string_view subcode, std::u16string_view subcodeNS,
                            const ReasonTexts& reasons, std::u16string_view node, bool needDetail) {
  faultCode = code;
  faultCodeNS = codeNS;
  faultSubcode = subcode;
  faultSubcodeNS = subcodeNS;
  reasonTexts = reasons;
  lastReason_.reset();
  faultNode = node;
  this->needDetail = needDetail;
  isFault = true;
}

void FaultState::Clear() {
  faultDetailElems.Clear();
  faultHeaders.Clear();
  faultCode.clear();
  faultCodeNS.clear();
  faultSubcode.clear();
  faultSubcodeNS.clear();
  faultString.clear();
  faultNode.clear();
  reasonTexts.clear();
  lastReason_.reset();
  needDetail = false;
  isFault = false;
  faultRaisedHere = true;
}

void FaultState::AddReasonText(std::u16string_view text, std::u16string_view langId) {
  reasonTexts.insert_or_assign(std::u16string(langId), std::u16string(text));
  lastReason_.reset();
}

std::optional<std::u16string_view> FaultState::FindReasonText(std::u16string_view langId) const {
  auto entry = reasonTexts.find(langId);
  if (entry == reasonTexts.end()) return std::nullopt;
  return entry->second;
}

std::optional<ReasonText> FaultState::FirstReasonText(LONG& position) const {
  return ReasonAt(FirstIndex(reasonTexts.size()), position);
}

std::optional<ReasonText> FaultState::NextReasonText(LONG& position) const {
  return ReasonAt(NextIndex(position, reasonTexts.size()), position);
}

std::optional<ReasonText> FaultState::ReasonAt(std::optional<size_t> index, LONG& position) const {
  if (!index) return std::nullopt;
  ReasonTexts::const_iterator entry;
  if (lastReason_ && lastReason_->first == *index) {
    entry = lastReason_->second;
  } else if (lastReason_ && lastReason_->first + 1 == *index) {
    entry = std::next(lastReason_->second);
  } else {
    entry = std::next(reasonTexts.begin(), static_cast<std::ptrdiff_t>(*index));
  }
  lastReason_.emplace(*index, entry);
  position = static_cast<LONG>(*index);
  return ReasonText{entry->first, entry->second};
}

HRESULT FindFaultDetail(const RecordList<ElemRecord>& details, std::u16string_view namespaceURI,
                        std::u16string_view name, VARIANT* content, bool* found) {
  std::optional<size_t> index = details.FindIndex([&](const ElemRecord& entry) {
    return entry.namespaceURI == namespaceURI && entry.name == name;
  });
  *found = index.has_value();
  return HandOutContent(index ? &details.At(*index) : nullptr, content);
}

}  // namespace qxsoap
