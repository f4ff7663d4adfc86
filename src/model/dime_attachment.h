// model/dime_attachment.h: one DIME attachment kept beside the envelope (its
// storage object, id, type, type name format and options), the byte format of
// its options, and the list the handler keeps of them.
#ifndef QXSOAP_MODEL_DIME_ATTACHMENT_H_
#define QXSOAP_MODEL_DIME_ATTACHMENT_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/record_list.h"
#include "qxcom/owned.h"
#include "qxcom/storage.h"

namespace qxsoap {

// One option of a DIME record; its length is data.size().
struct DimeOption {
  uint16_t type = 0;
  std::vector<BYTE> data;
};

// Reads option entries (2-byte type and 2-byte length, big-endian, then the
// data) from `bytes`. Reading stops, keeping what was read, when fewer than 4
// bytes remain or an entry's data runs past the end.
std::vector<DimeOption> ReadDimeOptions(std::span<const BYTE> bytes);

// Writes options back in the same format.
std::vector<BYTE> WriteDimeOptions(const std::vector<DimeOption>& options);

struct DimeAttachment {
  virtual ~DimeAttachment() = default;

  // The id and type as wide strings (decoded from UTF-8, see utf8_units.h).
  std::u16string WideId() const;
  std::u16string WideType() const;

  // The storage object for an out-parameter: the IStorage interface pointer
  // with one new reference that the caller releases, as automation callers
  // release every interface they receive. The record keeps its own.
  IUnknown* HandOutStorage() const;

  // Writes the options as a new one-dimensional VT_UI1 array (lower bound 0,
  // empty without options) into `out`, which then has type VT_ARRAY | VT_UI1
  // and owns the array. What `out` held is cleared first, as for every
  // VARIANT out-parameter. When `out` is VT_BYREF | VT_VARIANT the referred
  // VARIANT is cleared and receives the array; when it is VT_BYREF |
  // VT_ARRAY | VT_UI1 (or bare VT_BYREF) the array replaces (and destroys)
  // the one it refers to. Returns false, writing nothing, for a null `out`
  // or reference, a reference to another type, or when the array cannot be
  // made.
  bool HandOutOptions(VARIANT* out) const;

  qxcom::ComPtr<IStorage> storage;  // one reference, released with the record
  std::string id;                   // UTF-8
  std::string type;                 // UTF-8
  LONG tnf = 0;                     // type name format, kept unchanged
  std::vector<DimeOption> options;
};

class AttachmentList {
 public:
  // Appends an attachment. Returns false, adding nothing, when `object` is
  // null, does not offer IStorage, or memory runs out. `options` is a
  // VT_ARRAY | VT_UI1 VARIANT (also by reference); anything else, null
  // included, means no options, and malformed option bytes keep the entries
  // read before the fault. The list takes one reference of its own.
  bool Add(std::u16string_view id, std::u16string_view type, LONG tnf, IUnknown* object,
           const VARIANT* options);

  // The first attachment whose UTF-8 id equals that of `id`, or null.
  const DimeAttachment* Find(std::u16string_view id) const;

  LONG Count() const { return records_.Count(); }
  const DimeAttachment* First(LONG& position) const { return records_.First(position); }
  const DimeAttachment* Next(LONG& position) const { return records_.Next(position); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  RecordList<DimeAttachment> records_;
};

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_DIME_ATTACHMENT_H_
