// STATSTG records of the memory storage and the enumerator EnumElements
// hands out.
#include <cstring>
#include <utility>

#include "platform/memory_storage_internal.h"
#include "qxcom/runtime.h"

namespace qxcom {
namespace {

// A snapshot of a storage's elements taken when EnumElements is called;
// later changes to the storage do not show.
class ElementEnumerator final : public RefCounted<ElementEnumerator, IEnumSTATSTG> {
 public:
  static bool Answers(REFIID iid) { return iid == IID_IEnumSTATSTG; }

  ElementEnumerator(std::shared_ptr<const std::vector<ElementStat>> elements, size_t next)
      : elements_(std::move(elements)), next_(next) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, STATSTG* records, ULONG* fetched) override {
    if (records == nullptr) return STG_E_INVALIDPOINTER;
    if (fetched == nullptr && count != 1) return STG_E_INVALIDPARAMETER;
    ULONG filled = 0;
    while (filled < count && next_ < elements_->size()) {
      HRESULT hr = FillStat((*elements_)[next_], STATFLAG_DEFAULT, &records[filled]);
      if (FAILED(hr)) {
        FreeNames(records, filled);
        if (fetched != nullptr) *fetched = 0;
        return hr;
      }
      ++filled;
      ++next_;
    }
    if (fetched != nullptr) *fetched = filled;
    return filled == count ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    size_t left = elements_->size() - next_;
    if (count > left) {
      next_ = elements_->size();
      return S_FALSE;
    }
    next_ += count;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IEnumSTATSTG** clone) override {
    if (clone == nullptr) return STG_E_INVALIDPOINTER;
    *clone = nullptr;
    return Guarded(E_OUTOFMEMORY, [&] {
      *clone = new ElementEnumerator(elements_, next_);
      return S_OK;
    });
  }

 private:
  // Undoes the names of records already filled by a Next that fails.
  static void FreeNames(STATSTG* records, ULONG count) {
    for (ULONG i = 0; i < count; ++i) {
      CoTaskMemFree(records[i].pwcsName);
      records[i].pwcsName = nullptr;
    }
  }

  std::shared_ptr<const std::vector<ElementStat>> elements_;  // shared with clones
  size_t next_;
};

}  // namespace

ElementStat StatOfEntry(const std::u16string& name, const StorageEntry& entry) {
  ElementStat stat;
  stat.name = name;
  if (entry.stream) {
    stat.type = STGTY_STREAM;
    stat.size = entry.stream->bytes.size();
  } else {
    stat.type = STGTY_STORAGE;
    stat.clsid = entry.storage->clsid;
    stat.stateBits = entry.storage->stateBits;
  }
  return stat;
}

HRESULT FillStat(const ElementStat& element, DWORD statFlag, STATSTG* stat) {
  if (statFlag != STATFLAG_DEFAULT && statFlag != STATFLAG_NONAME) return STG_E_INVALIDFLAG;
  LPOLESTR name = nullptr;
  if (statFlag == STATFLAG_DEFAULT) {
    size_t bytes = (element.name.size() + 1) * sizeof(OLECHAR);
    name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (name == nullptr) return STG_E_INSUFFICIENTMEMORY;
    std::memcpy(name, element.name.c_str(), bytes);
  }
  *stat = STATSTG{};
  stat->pwcsName = name;
  stat->type = element.type;
  stat->cbSize.QuadPart = element.size;
  stat->grfMode = element.mode;
  stat->clsid = element.clsid;
  stat->grfStateBits = element.stateBits;
  return S_OK;
}

HRESULT NewElementEnumerator(std::vector<ElementStat> elements, IEnumSTATSTG** out) {
  return Guarded(E_OUTOFMEMORY, [&] {
    auto shared = std::make_shared<const std::vector<ElementStat>>(std::move(elements));
    *out = new ElementEnumerator(std::move(shared), 0);
    return S_OK;
  });
}

}  // namespace qxcom
