// The stream object of the memory storage: a position over bytes that every
// object opened on the same stream shares.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/memory_storage_internal.h"

extern "C" const IID IID_ISequentialStream = {
    0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};

namespace qxcom {
namespace {

constexpr ULONGLONG kMaxStreamBytes = 0x7FFFFFFF;

class MemoryStream final : public RefCounted<MemoryStream, IStream> {
 public:
  static bool Answers(REFIID iid) { return iid == IID_IStream || iid == IID_ISequentialStream; }

  MemoryStream(std::shared_ptr<StreamData> data, std::u16string name, DWORD mode,
               ULONGLONG position)
      : data_(std::move(data)), name_(std::move(name)), mode_(mode), position_(position) {}

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
    if (buffer == nullptr && count != 0) return STG_E_INVALIDPOINTER;
    if (!AllowsRead(mode_)) return STG_E_ACCESSDENIED;
    const std::vector<BYTE>& bytes = data_->bytes;
    ULONGLONG available = position_ < bytes.size() ? bytes.size() - position_ : 0;
    ULONG copied = static_cast<ULONG>(std::min<ULONGLONG>(count, available));
    if (copied != 0) std::memcpy(buffer, bytes.data() + position_, copied);
    position_ += copied;
    if (read != nullptr) *read = copied;
    return S_OK;
  }

  // Writing past the end fills the gap with zeros.
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override {
    if (written != nullptr) *written = 0;
    if (buffer == nullptr && count != 0) return STG_E_INVALIDPOINTER;
    if (!AllowsWrite(mode_)) return STG_E_ACCESSDENIED;
    ULONGLONG end = position_ + count;
    if (end > kMaxStreamBytes) return STG_E_MEDIUMFULL;
    std::vector<BYTE>& bytes = data_->bytes;
    return Guarded(STG_E_INSUFFICIENTMEMORY, [&] {
      if (end > bytes.size()) bytes.resize(end);
      if (count != 0) std::memcpy(bytes.data() + position_, buffer, count);
      position_ = end;
      if (written != nullptr) *written = count;
      return S_OK;
    });
  }

  // A position past the end is allowed; one before the start is not.
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* newPosition) override {
    LONGLONG base;
    switch (origin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_); break;
      case STREAM_SEEK_END: base = static_cast<LONGLONG>(data_->bytes.size()); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    LONGLONG target;
    if (__builtin_add_overflow(base, move.QuadPart, &target) || target < 0) {
      return STG_E_INVALIDFUNCTION;
    }
    position_ = static_cast<ULONGLONG>(target);
    if (newPosition != nullptr) newPosition->QuadPart = position_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) override {
    if (!AllowsWrite(mode_)) return STG_E_ACCESSDENIED;
    if (newSize.QuadPart > kMaxStreamBytes) return STG_E_MEDIUMFULL;
    return Guarded(STG_E_INSUFFICIENTMEMORY, [&] {
      data_->bytes.resize(newSize.QuadPart);
      return S_OK;
    });
  }

  // Copies through a bounded buffer so that a huge `count` costs no memory.
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* dest, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) override {
    if (dest == nullptr) return STG_E_INVALIDPOINTER;
    ULONGLONG totalRead = 0;
    ULONGLONG totalWritten = 0;
    HRESULT hr = S_OK;
    BYTE chunk[4096];
    while (totalRead < count.QuadPart) {
      ULONG want = static_cast<ULONG>(std::min<ULONGLONG>(sizeof chunk, count.QuadPart - totalRead));
      ULONG got = 0;
      hr = Read(chunk, want, &got);
      if (FAILED(hr) || got == 0) break;
      totalRead += got;
      ULONG put = 0;
      hr = dest->Write(chunk, got, &put);
      totalWritten += put;
      if (FAILED(hr)) break;
    }
    if (read != nullptr) read->QuadPart = totalRead;
    if (written != nullptr) written->QuadPart = totalWritten;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }

  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_UNIMPLEMENTEDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_UNIMPLEMENTEDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD statFlag) override {
    return StatObject(stat, statFlag, [&] {
      return ElementStat{
          .name = name_, .type = STGTY_STREAM, .size = data_->bytes.size(), .mode = mode_};
    });
  }

  // The clone shares the bytes and starts at this stream's position; after
  // that the two positions move independently.
  HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override {
    if (clone == nullptr) return STG_E_INVALIDPOINTER;
    *clone = nullptr;
    return Guarded(E_OUTOFMEMORY, [&] {
      *clone = new MemoryStream(data_, name_, mode_, position_);
      return S_OK;
    });
  }

 private:
  std::shared_ptr<StreamData> data_;
  std::u16string name_;
  DWORD mode_;
  ULONGLONG position_;
};

}  // namespace

HRESULT NewMemoryStream(std::shared_ptr<StreamData> data, std::u16string name, DWORD mode,
                        IStream** out) {
  return Guarded(E_OUTOFMEMORY, [&] {
    *out = new MemoryStream(std::move(data), std::move(name), mode, 0);
    return S_OK;
  });
}

}  // namespace qxcom
