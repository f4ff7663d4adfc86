// qxcom/owned.h: owners for platform handles, so that every BSTR, array,
// VARIANT and interface reference is freed on every path, early returns and
// exceptions included. Not part of the Windows API; the C++ counterpart of
// ATL's CComBSTR, CComVariant and CComPtr for hosts and for qxsoap itself.
#ifndef QXCOM_OWNED_H_
#define QXCOM_OWNED_H_

#include <cstring>
#include <span>
#include <string_view>
#include <utility>

#include "qxcom/oleauto.h"

namespace qxcom {

// Owns one handle freed by `Free`. Move-only.
template <typename Handle, auto Free>
class Owned {
 public:
  explicit Owned(Handle handle = Handle{}) : handle_(handle) {}
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  Owned& operator=(Owned other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~Owned() {
    if (handle_) Free(handle_);
  }
  Handle get() const { return handle_; }
  // Gives up ownership: the caller frees the handle now.
  Handle release() { return std::exchange(handle_, Handle{}); }

 private:
  Handle handle_;
};

inline void DestroySafeArray(SAFEARRAY* array) { SafeArrayDestroy(array); }

using Bstr = Owned<BSTR, &SysFreeString>;
using SafeArrayPtr = Owned<SAFEARRAY*, &DestroySafeArray>;

// A BSTR holding a copy of `text` for one call's [in] argument. The callee
// of an [in] BSTR reads it and neither keeps nor frees it, so a text of up
// to kInlineUnits units is laid out as a BSTR inside this object (the byte
// length in the 4 bytes before the first unit, a terminating null after
// the last) and costs no allocation; a longer one is allocated. get() is
// null when that allocation fails. Neither copied nor moved: get() points
// into the object.
class ArgumentBstr {
 public:
  static constexpr size_t kInlineUnits = 64;

  explicit ArgumentBstr(std::u16string_view text) {
    if (text.size() > kInlineUnits) {
      heap_ = Bstr(SysAllocStringLen(text.data(), UINT(text.size())));
      text_ = heap_.get();
      return;
    }
    const UINT bytes = UINT(text.size() * sizeof(OLECHAR));
    std::memcpy(block_ + kLengthAt, &bytes, sizeof bytes);
    text_ = block_ + kTextAt;
    if (!text.empty()) std::memcpy(text_, text.data(), bytes);
    text_[text.size()] = u'\0';
  }
  ArgumentBstr(const ArgumentBstr&) = delete;
  ArgumentBstr& operator=(const ArgumentBstr&) = delete;

  BSTR get() const { return text_; }

 private:
  // The units start 8-byte aligned, as an allocated BSTR's do, after a
  // 4-unit head whose last two units hold the length.
  static constexpr size_t kLengthAt = 2;
  static constexpr size_t kTextAt = 4;

  alignas(8) OLECHAR block_[kTextAt + kInlineUnits + 1];
  Bstr heap_;
  BSTR text_;
};

// A VT_UI1 vector of `count` bytes from index 0 for the caller to write,
// every byte of it: unlike SafeArrayCreateVector's they are not zeroed
// first, which for a message of megabytes would write it twice. Null when
// memory runs out.
SafeArrayPtr NewUnfilledByteVector(ULONG count);

// A VT_UI1 vector from index 0 holding a copy of `bytes`. Null when memory
// runs out or `bytes` holds more than a ULONG counts.
SafeArrayPtr CopyToByteVector(std::span<const BYTE> bytes);

// A VARIANT that is VariantInit'ed on construction and VariantClear'ed on
// destruction. Move-only; `Detach` hands the value to a caller's VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant& operator=(Variant&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  // An empty value holds nothing to free: no call for it.
  ~Variant() {
    if (V_VT(&value_) != VT_EMPTY) VariantClear(&value_);
  }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT* operator->() { return &value_; }
  const VARIANT* operator->() const { return &value_; }
  // Moves the value into *out (which must hold nothing to free) and leaves
  // this VT_EMPTY.
  void Detach(VARIANT* out) {
    *out = value_;
    VariantInit(&value_);
  }

 private:
  VARIANT value_;
};

// One counted reference to a COM interface: AddRef on copy, Release on
// destruction. `Adopt` takes a reference that is already counted.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(Interface* object) : object_(object) {  // NOLINT: implicit, as CComPtr
    if (object_) object_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.object_) {}
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() {
    if (object_) object_->Release();
  }
  static ComPtr Adopt(Interface* counted) {
    ComPtr result;
    result.object_ = counted;
    return result;
  }
  Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // The address to pass as an out-parameter; releases what is held first.
  Interface** put() {
    *this = ComPtr();
    return &object_;
  }
  // Gives up the reference: the caller releases it.
  Interface* release() { return std::exchange(object_, nullptr); }

 private:
  Interface* object_ = nullptr;
};

}  // namespace qxcom

#endif  // QXCOM_OWNED_H_
