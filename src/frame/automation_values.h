// The argument conventions of Iqxsoapmsg2, in one place: BSTRs in (a null
// BSTR is empty), VARIANT_BOOLs in (true only for VARIANT_TRUE), and the
// out-parameters written from the handler's records.
#ifndef QXSOAP_FRAME_AUTOMATION_VALUES_H_
#define QXSOAP_FRAME_AUTOMATION_VALUES_H_

#include <optional>
#include <string_view>

#include "model/dime_attachment.h"
#include "model/elem_records.h"
#include "model/fault_state.h"
#include "qxcom/oleauto.h"

namespace qxsoap {

// The text of a BSTR argument, embedded nulls included; empty for null.
inline std::u16string_view Text(BSTR text) { return {text ? text : u"", SysStringLen(text)}; }

// A VARIANT_BOOL argument: 1 and every value other than -1 are false.
inline bool IsTrue(VARIANT_BOOL flag) { return flag == VARIANT_TRUE; }

inline VARIANT_BOOL ToVariantBool(bool flag) { return flag ? VARIANT_TRUE : VARIANT_FALSE; }

// The automation result of an add with a content: S_OK appended (true),
// S_FALSE no memory for the record (false, with S_OK), or the failing
// HRESULT of the content copy (false).
inline HRESULT AddResult(HRESULT hr, VARIANT_BOOL* result) {
  *result = ToVariantBool(hr == S_OK);
  return hr == S_FALSE ? S_OK : hr;
}

// Writes out-parameters and keeps the first failure: a string that cannot
// be allocated (E_OUTOFMEMORY) or a content copy that fails.
class OutWriter {
 public:
  // A new BSTR holding `text`; an empty text gives an allocated empty BSTR.
  void Text(std::u16string_view text, BSTR* out);
  void Flag(bool flag, VARIANT_BOOL* out) { *out = ToVariantBool(flag); }
  void Number(LONG number, LONG* out) { *out = number; }
  // A deep copy of the record's content, VT_EMPTY for a null record.
  void Content(const ElemRecord* record, VARIANT* out) { Keep(HandOutContent(record, out)); }
  void Keep(HRESULT hr) {
    if (SUCCEEDED(hr_)) hr_ = hr;
  }
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_ = S_OK;
};

// A new BSTR holding `text` in *out; E_OUTOFMEMORY when none can be made.
inline HRESULT HandOutText(std::u16string_view text, BSTR* out) {
  OutWriter writer;
  writer.Text(text, out);
  return writer.Result();
}

// The out-parameters one list record fills. Every HandOut below writes
// *result (whether there is a record) and the fields only when there is one;
// the forms with a `content` write it on every call, VT_EMPTY at the end of
// the list. The HRESULT is S_OK or the first failure of a string or content
// copy.
struct NameOuts {
  BSTR* namespaceURI;
  BSTR* name;
};
struct HeaderOuts {
  NameOuts names;
  VARIANT_BOOL* mustUnderstand;
  BSTR* actorURI;
  VARIANT_BOOL* relay;  // null for the SOAP 1.1 forms, which have none
};
struct LiteralHeaderOuts {
  HeaderOuts header;
  BSTR* literalXML;
  BSTR* encodingStyle;
};
struct ParamOuts {
  NameOuts names;
  VARIANT_BOOL* isInParam;
  VARIANT_BOOL* isOutParam;
};
struct AttachmentOuts {
  BSTR* id;  // null for the look-ups by id
  BSTR* type;
  LONG* tnf;
  IUnknown** storage;  // a new reference the caller releases
  VARIANT* options;
};
struct ReasonOuts {
  BSTR* text;
  BSTR* langId;
};

HRESULT HandOut(const HeaderElem* block, const HeaderOuts& outs, VARIANT* content,
                VARIANT_BOOL* result);
HRESULT HandOut(const HeaderElemLiteral* block, const LiteralHeaderOuts& outs,
                VARIANT_BOOL* result);
HRESULT HandOut(const MethodParam* param, const ParamOuts& outs, VARIANT* content,
                VARIANT_BOOL* result);
// A fault detail entry.
HRESULT HandOut(const ElemRecord* detail, const NameOuts& outs, VARIANT* content,
                VARIANT_BOOL* result);
HRESULT HandOut(const DimeAttachment* attachment, const AttachmentOuts& outs, VARIANT_BOOL* result);
HRESULT HandOut(const std::optional<ReasonText>& reason, const ReasonOuts& outs,
                VARIANT_BOOL* result);

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_AUTOMATION_VALUES_H_
