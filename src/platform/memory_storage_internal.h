// The pieces of the memory-backed storage shared by its storage, stream and
// enumerator objects: the element data they share, the reference counting
// they have in common, and the filling of STATSTG records.
#ifndef QXCOM_PLATFORM_MEMORY_STORAGE_INTERNAL_H_
#define QXCOM_PLATFORM_MEMORY_STORAGE_INTERNAL_H_

#include <atomic>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "qxcom/storage.h"

namespace qxcom {

// The bytes of one stream, shared by every stream object opened on it.
struct StreamData {
  std::vector<BYTE> bytes;
};

struct StorageData;

// One element of a storage: exactly one of the two is set.
struct StorageEntry {
  std::shared_ptr<StreamData> stream;
  std::shared_ptr<StorageData> storage;
};

// Orders names as structured storage compares them: ASCII letters without
// regard to case, everything else by code unit.
struct ElementNameLess {
  bool operator()(const std::u16string& a, const std::u16string& b) const;
};

// The contents of one storage, shared by every storage object opened on it.
struct StorageData {
  std::map<std::u16string, StorageEntry, ElementNameLess> entries;
  CLSID clsid{};
  DWORD stateBits = 0;
};

// What a STATSTG record says about one element.
struct ElementStat {
  std::u16string name;
  DWORD type = STGTY_STREAM;
  ULONGLONG size = 0;
  DWORD mode = 0;
  CLSID clsid{};
  DWORD stateBits = 0;
};

// The record of a storage entry as EnumElements lists it.
ElementStat StatOfEntry(const std::u16string& name, const StorageEntry& entry);

// Fills *stat from `element`. With STATFLAG_NONAME the name is left null,
// otherwise it is copied into memory from CoTaskMemAlloc. STG_E_INVALIDFLAG
// for an unknown flag, STG_E_INSUFFICIENTMEMORY when the name cannot be
// allocated; *stat is untouched on failure.
HRESULT FillStat(const ElementStat& element, DWORD statFlag, STATSTG* stat);

// True when `mode` names one of the three access modes.
bool IsValidAccess(DWORD mode);
bool AllowsRead(DWORD mode);
bool AllowsWrite(DWORD mode);

// Makes the COM objects over shared data; each stores one reference in *out.
HRESULT NewMemoryStream(std::shared_ptr<StreamData> data, std::u16string name, DWORD mode,
                        IStream** out);
HRESULT NewMemoryStorage(std::shared_ptr<StorageData> data, std::u16string name, DWORD mode,
                         IStorage** out);
HRESULT NewElementEnumerator(std::vector<ElementStat> elements, IEnumSTATSTG** out);

// IUnknown for an object that implements one interface `Interface` (and its
// bases, which `Derived::Answers(iid)` names besides IUnknown). Starts with
// one reference; the last Release deletes the object, so `Derived` must be
// final (the interfaces have no virtual destructor).
template <typename Derived, typename Interface>
class RefCounted : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || Derived::Answers(iid)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 private:
  std::atomic<ULONG> references_{1};
};

// Runs `make` and turns a failed allocation into `outOfMemory`, so that no
// exception leaves a COM method.
template <typename Make>
HRESULT Guarded(HRESULT outOfMemory, Make&& make) noexcept {
  try {
    return make();
  } catch (const std::bad_alloc&) {
    return outOfMemory;
  } catch (const std::length_error&) {
    return outOfMemory;
  }
}

// Stat of a storage or stream object: fills *stat from the record that
// `describe` builds. STG_E_INVALIDPOINTER for a null `stat`, otherwise as
// FillStat.
template <typename Describe>
HRESULT StatObject(STATSTG* stat, DWORD statFlag, Describe&& describe) noexcept {
  if (stat == nullptr) return STG_E_INVALIDPOINTER;
  return Guarded(STG_E_INSUFFICIENTMEMORY, [&] { return FillStat(describe(), statFlag, stat); });
}

}  // namespace qxcom

#endif  // QXCOM_PLATFORM_MEMORY_STORAGE_INTERNAL_H_
