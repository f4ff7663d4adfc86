// model/fault_state.h: the fault of the message, as set by a caught fault
// record, by the host or by a fault read from the next hop's response, with
// the detail entries and header blocks of the fault message.
#ifndef QXSOAP_MODEL_FAULT_STATE_H_
#define QXSOAP_MODEL_FAULT_STATE_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/elem_records.h"
#include "model/header_lists.h"
#include "model/record_list.h"

namespace qxsoap {

// SOAP 1.2 reason texts by language id, in language id order.
using ReasonTexts = std::map<std::u16string, std::u16string, std::less<>>;

// One reason text as handed out; the views are valid until the texts change.
struct ReasonText {
  std::u16string_view langId;
  std::u16string_view text;
};

struct FaultState {
  // Sets the SOAP 1.1 fault: code, code namespace, fault string, node and
  // need-detail from the arguments, the subcode emptied, `isFault` true. The
  // reason texts, `faultRaisedHere` and the fault lists stay.
  void SetFault11(std::u16string_view code, std::u16string_view codeNS,
                  std::u16string_view faultString, std::u16string_view node, bool needDetail);

  // Sets the SOAP 1.2 fault: code, subcode, their namespaces, node and
  // need-detail from the arguments, the reason texts replaced by `reasons`,
  // `isFault` true. `faultString`, `faultRaisedHere` and the lists stay.
  void SetFault12(std::u16string_view code, std::u16string_view codeNS, std::u16string_view subcode,
                  std::u16string_view subcodeNS, const ReasonTexts& reasons,
                  std::u16string_view node, bool needDetail);

  // Back to the start state: strings, reason texts and the three fault lists
  // emptied, `needDetail` and `isFault` false, `faultRaisedHere` true.
  void Clear();

  // Files `text` under `langId`, replacing a text already there. `isFault`
  // is not touched.
  void AddReasonText(std::u16string_view text, std::u16string_view langId);

  // The text filed under `langId`, or nothing.
  std::optional<std::u16string_view> FindReasonText(std::u16string_view langId) const;

  // The reason texts in language id order with the cursor rules of the
  // lists: the first entry (position set to 0), or the one after `position`
  // (position moved to it). Nothing, position untouched, past the end.
  std::optional<ReasonText> FirstReasonText(LONG& position) const;
  std::optional<ReasonText> NextReasonText(LONG& position) const;

  std::u16string faultCode;
  std::u16string faultCodeNS;
  std::u16string faultSubcode;
  std::u16string faultSubcodeNS;
  std::u16string faultString;
  std::u16string faultNode;
  ReasonTexts reasonTexts;
  bool needDetail = false;
  bool isFault = false;
  bool faultRaisedHere = true;  // false after a fault read from the next hop
  RecordList<ElemRecord> faultDetailElems;
  HeaderLists faultHeaders;  // faultHeaderElems and faultHeaderElemsLiteral

 private:
  std::optional<ReasonText> ReasonAt(std::optional<size_t> index, LONG& position) const;

  // The text last handed out and its index: a map reaches an index only by
  // stepping from its start, and a walk with NextReasonText would do that
  // for every text. Forgotten whenever the texts change.
  mutable std::optional<std::pair<size_t, ReasonTexts::const_iterator>> lastReason_;
};

// Writes the content of the first detail entry with this namespace and name
// into *content (cleared first; VT_EMPTY when none matches); the entry stays.
// *found tells whether one matched. Returns the HRESULT of the copy.
HRESULT FindFaultDetail(const RecordList<ElemRecord>& details, std::u16string_view namespaceURI,
                        std::u16string_view name, VARIANT* content, bool* found);

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_FAULT_STATE_H_
