// DIME attachments: option bytes, adding and handing out.
#include "model/dime_attachment.h"

#include <cstring>

#include "model/utf8_units.h"

namespace qxsoap {
namespace {

constexpr size_t kOptionHead = 4;

uint16_t ReadBigEndian16(const BYTE* at) { return static_cast<uint16_t>((at[0] << 8) | at[1]); }

void AppendBigEndian16(std::vector<BYTE>& out, size_t value) {
  out.push_back(static_cast<BYTE>(value >> 8));
  out.push_back(static_cast<BYTE>(value & 0xFF));
}

SAFEARRAY* ByteArrayOf(const VARIANT& value) {
  if (V_VT(&value) == (VT_ARRAY | VT_UI1)) return V_ARRAY(&value);
  if (V_VT(&value) == (VT_BYREF | VT_ARRAY | VT_UI1) && V_ARRAYREF(&value)) {
    return *V_ARRAYREF(&value);
  }
  return nullptr;
}

// The options carried by `value`, or none when it is not a readable byte
// array.
std::vector<DimeOption> OptionsFrom(const VARIANT* value) {
  SAFEARRAY* array = value ? ByteArrayOf(*value) : nullptr;
  if (!array || SafeArrayGetDim(array) != 1) return {};
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return {};
  std::vector<DimeOption> options =
      ReadDimeOptions({static_cast<const BYTE*>(data), array->rgsabound[0].cElements});
  SafeArrayUnaccessData(array);
  return options;
}

}  // namespace

std::vector<DimeOption> ReadDimeOptions(std::span<const BYTE> bytes) {
  std::vector<DimeOption> options;
  while (bytes.size() >= kOptionHead) {
    const uint16_t type = ReadBigEndian16(bytes.data());
    const uint16_t length = ReadBigEndian16(bytes.data() + 2);
    bytes = bytes.subspan(kOptionHead);
    if (bytes.size() < length) break;
    options.push_back({type, {bytes.begin(), bytes.begin() + length}});
    bytes = bytes.subspan(length);
  }
  return options;
}

std::vector<BYTE> WriteDimeOptions(const std::vector<DimeOption>& options) {
  std::vector<BYTE> bytes;
  for (const DimeOption& option : options) {
    AppendBigEndian16(bytes, option.type);
    AppendBigEndian16(bytes, option.data.size());
    bytes.insert(bytes.end(), option.data.begin(), option.data.end());
  }
  return bytes;
}

std::u16string DimeAttachment::WideId() const { return DecodeUnitsUtf8(id); }

std::u16string DimeAttachment::WideType() const { return DecodeUnitsUtf8(type); }

IUnknown* DimeAttachment::HandOutStorage() const { return qxcom::ComPtr<IStorage>(storage).release(); }

bool DimeAttachment::HandOutOptions(VARIANT* out) const {
  if (!out) return false;
  // A reference to a VARIANT (a late-bound caller's variable) receives the
  // array as its new value; a reference to an array variable gets the array
  // stored where it refers. A reference to any other type cannot hold an
  // array and is refused rather than overwritten with a pointer.
  if (V_VT(out) == (VT_BYREF | VT_VARIANT)) {
    if (!V_VARIANTREF(out) || FAILED(VariantClear(V_VARIANTREF(out)))) return false;
    return HandOutOptions(V_VARIANTREF(out));
  }
  const bool intoArrayReference = V_ISBYREF(out) != 0;
  // Compared whole, not by bits: VT_UI1's bits alone name a one-byte variable.
  const VARTYPE referenced = V_VT(out) & ~VT_BYREF;
  if (intoArrayReference && referenced != (VT_ARRAY | VT_UI1) && referenced != VT_EMPTY) return false;
  if (intoArrayReference && !V_ARRAYREF(out)) return false;

  const std::vector<BYTE> bytes = WriteDimeOptions(options);
  qxcom::SafeArrayPtr array = qxcom::CopyToByteVector(bytes);
  if (!array.get()) return false;
  if (intoArrayReference) {
    SafeArrayDestroy(*V_ARRAYREF(out));
    *V_ARRAYREF(out) = array.release();
    V_VT(out) = VT_BYREF | VT_ARRAY | VT_UI1;
  } else {
    VariantClear(out);  // a VARIANT [out] is always valid: what it held is freed
    V_ARRAY(out) = array.release();
    V_VT(out) = VT_ARRAY | VT_UI1;
  }
  return true;
}

bool AttachmentList::Add(std::u16string_view id, std::u16string_view type, LONG tnf,
                         IUnknown* object, const VARIANT* options) {
  if (!object) return false;
  qxcom::ComPtr<IStorage> storage;
  if (FAILED(object->QueryInterface(IID_IStorage, reinterpret_cast<void**>(storage.put()))) ||
      !storage) {
    return false;
  }
  return records_.AppendNew([&](DimeAttachment& attachment) {
    attachment.storage = std::move(storage);
    attachment.id = EncodeUnitsUtf8(id);
    attachment.type = EncodeUnitsUtf8(type);
    attachment.tnf = tnf;
    attachment.options = OptionsFrom(options);
    return S_OK;
  }) == S_OK;
}

const DimeAttachment* AttachmentList::Find(std::u16string_view id) const {
  const std::string wanted = EncodeUnitsUtf8(id);
  std::optional<size_t> index =
      records_.FindIndex([&](const DimeAttachment& attachment) { return attachment.id == wanted; });
  return index ? &records_.At(*index) : nullptr;
}

}  // namespace qxsoap
