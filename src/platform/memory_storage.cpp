// The storage object of the memory storage and QxCreateMemoryStorage. Each
// storage object is a view, with its own access mode, of StorageData that
// every object opened on the same storage shares.
#include <utility>

#include "platform/memory_storage_internal.h"
#include "qxcom/owned.h"

namespace qxcom {
namespace {

constexpr size_t kMaxNameLength = 31;

char16_t FoldAscii(char16_t unit) { return unit >= u'a' && unit <= u'z' ? unit - 32 : unit; }

bool IsReservedNameUnit(OLECHAR unit) {
  return unit == u'\\' || unit == u'/' || unit == u':' || unit == u'!';
}

// Copies `name` into *out when it is a valid element name. Reads at most one
// unit past the longest valid name, so an unterminated buffer is not run off.
HRESULT ReadName(const OLECHAR* name, std::u16string* out) {
  if (name == nullptr) return STG_E_INVALIDNAME;
  size_t length = 0;
  while (length <= kMaxNameLength && name[length] != 0) {
    if (IsReservedNameUnit(name[length])) return STG_E_INVALIDNAME;
    ++length;
  }
  if (length == 0 || length > kMaxNameLength) return STG_E_INVALIDNAME;
  out->assign(name, length);
  return S_OK;
}

// What creating and opening an element needs to know about each kind: the
// shared data, the call that makes an object over it, and where an entry
// keeps it.
template <typename Object>
struct ElementKind;

template <>
struct ElementKind<IStream> {
  using Data = StreamData;
  static constexpr auto kMake = &NewMemoryStream;
  static constexpr auto kMember = &StorageEntry::stream;
};

template <>
struct ElementKind<IStorage> {
  using Data = StorageData;
  static constexpr auto kMake = &NewMemoryStorage;
  static constexpr auto kMember = &StorageEntry::storage;
};

class MemoryStorage final : public RefCounted<MemoryStorage, IStorage> {
 public:
  static bool Answers(REFIID iid) { return iid == IID_IStorage; }

  MemoryStorage(std::shared_ptr<StorageData> data, std::u16string name, DWORD mode)
      : data_(std::move(data)), name_(std::move(name)), mode_(mode) {}

  HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR* name, DWORD mode, DWORD reserved1,
                                         DWORD reserved2, IStream** stream) override {
    return CreateElement(name, mode, reserved1 != 0 || reserved2 != 0, stream);
  }

  HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR* name, void* reserved1, DWORD mode,
                                       DWORD reserved2, IStream** stream) override {
    return OpenElement(name, mode, reserved1 != nullptr || reserved2 != 0, stream);
  }

  HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR* name, DWORD mode, DWORD reserved1,
                                          DWORD reserved2, IStorage** storage) override {
    return CreateElement(name, mode, reserved1 != 0 || reserved2 != 0, storage);
  }

  HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR* name, IStorage* priority, DWORD mode,
                                        SNB exclude, DWORD reserved,
                                        IStorage** storage) override {
    bool unsupported = priority != nullptr || exclude != nullptr || reserved != 0;
    return OpenElement(name, mode, unsupported, storage);
  }

  HRESULT STDMETHODCALLTYPE CopyTo(DWORD, const IID*, SNB, IStorage*) override {
    return STG_E_UNIMPLEMENTEDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*,
                                          DWORD) override {
    return STG_E_UNIMPLEMENTEDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }

  HRESULT STDMETHODCALLTYPE EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                                         IEnumSTATSTG** elements) override {
    if (elements == nullptr) return STG_E_INVALIDPOINTER;
    *elements = nullptr;
    if (reserved1 != 0 || reserved2 != nullptr || reserved3 != 0) return STG_E_INVALIDPARAMETER;
    if (!AllowsRead(mode_)) return STG_E_ACCESSDENIED;
    return Guarded(STG_E_INSUFFICIENTMEMORY, [&] {
      std::vector<ElementStat> snapshot;
      for (const auto& [name, entry] : data_->entries) snapshot.push_back(StatOfEntry(name, entry));
      return NewElementEnumerator(std::move(snapshot), elements);
    });
  }

  HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR* name) override {
    std::u16string key;
    if (HRESULT hr = PrepareChange(name, &key); FAILED(hr)) return hr;
    return data_->entries.erase(key) == 0 ? STG_E_FILENOTFOUND : S_OK;
  }

  HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR* oldName,
                                          const OLECHAR* newName) override {
    return Guarded(STG_E_INSUFFICIENTMEMORY, [&] {
      std::u16string from, to;
      if (HRESULT hr = PrepareChange(oldName, &from); FAILED(hr)) return hr;
      if (HRESULT hr = ReadName(newName, &to); FAILED(hr)) return hr;
      auto found = data_->entries.find(from);
      if (found == data_->entries.end()) return STG_E_FILENOTFOUND;
      if (data_->entries.count(to) != 0) return STG_E_FILEALREADYEXISTS;
      StorageEntry entry = found->second;
      data_->entries.emplace(to, entry);  // before the erase: a failure loses nothing
      data_->entries.erase(found);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*,
                                            const FILETIME*) override {
    return STG_E_UNIMPLEMENTEDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) override {
    if (!AllowsWrite(mode_)) return STG_E_ACCESSDENIED;
    data_->clsid = clsid;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetStateBits(DWORD bits, DWORD mask) override {
    if (!AllowsWrite(mode_)) return STG_E_ACCESSDENIED;
    data_->stateBits = (bits & mask) | (data_->stateBits & ~mask);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD statFlag) override {
    return StatObject(stat, statFlag, [&] {
      return ElementStat{.name = name_,
                         .type = STGTY_STORAGE,
                         .mode = mode_,
                         .clsid = data_->clsid,
                         .stateBits = data_->stateBits};
    });
  }

 private:
  // Creates element `name` of the kind `Object` names, replacing one of that
  // name when `mode` has STGM_CREATE, and hands out an object on it.
  // `unsupported` is true when the caller used a reserved argument.
  template <typename Object>
  HRESULT CreateElement(const OLECHAR* name, DWORD mode, bool unsupported, Object** object) {
    using Kind = ElementKind<Object>;
    return ElementCall(object, unsupported, [&] {
      std::u16string key;
      if (HRESULT hr = PrepareCreate(name, mode, &key); FAILED(hr)) return hr;
      auto data = std::make_shared<typename Kind::Data>();
      ComPtr<Object> made;
      if (HRESULT hr = Kind::kMake(data, key, mode, made.put()); FAILED(hr)) return hr;
      StorageEntry entry;
      entry.*Kind::kMember = std::move(data);
      data_->entries.insert_or_assign(key, std::move(entry));
      *object = made.release();
      return S_OK;
    });
  }

  // Opens the existing element `name`, which must be of the kind `Object`
  // names.
  template <typename Object>
  HRESULT OpenElement(const OLECHAR* name, DWORD mode, bool unsupported, Object** object) {
    using Kind = ElementKind<Object>;
    return ElementCall(object, unsupported, [&] {
      const StorageEntry* entry;
      if (HRESULT hr = PrepareOpen(name, mode, &entry); FAILED(hr)) return hr;
      const auto& data = entry->*Kind::kMember;
      if (!data) return STG_E_FILENOTFOUND;
      return Kind::kMake(data, StoredName(name), mode, object);
    });
  }

  // The checks each create and open makes before `work` runs: a non-null out
  // pointer, cleared first, and no reserved argument in use.
  template <typename Object, typename Work>
  static HRESULT ElementCall(Object** object, bool unsupported, Work&& work) {
    if (object == nullptr) return STG_E_INVALIDPOINTER;
    *object = nullptr;
    if (unsupported) return STG_E_INVALIDPARAMETER;
    return Guarded(STG_E_INSUFFICIENTMEMORY, work);
  }

  // Checks a change to this storage's element list: writable, valid name.
  HRESULT PrepareChange(const OLECHAR* name, std::u16string* key) const {
    if (!AllowsWrite(mode_)) return STG_E_ACCESSDENIED;
    return ReadName(name, key);
  }

  // Checks a create; an existing element of that name is replaced only with
  // STGM_CREATE.
  HRESULT PrepareCreate(const OLECHAR* name, DWORD mode, std::u16string* key) const {
    if (!IsValidAccess(mode)) return STG_E_INVALIDFLAG;
    if (HRESULT hr = PrepareChange(name, key); FAILED(hr)) return hr;
    bool exists = data_->entries.count(*key) != 0;
    if (exists && !(mode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
    return S_OK;
  }

  // Finds an element to open with `mode`, which may not ask for more access
  // than this storage has.
  HRESULT PrepareOpen(const OLECHAR* name, DWORD mode, const StorageEntry** entry) const {
    if (!IsValidAccess(mode)) return STG_E_INVALIDFLAG;
    if ((AllowsWrite(mode) && !AllowsWrite(mode_)) || (AllowsRead(mode) && !AllowsRead(mode_))) {
      return STG_E_ACCESSDENIED;
    }
    std::u16string key;
    if (HRESULT hr = ReadName(name, &key); FAILED(hr)) return hr;
    auto found = data_->entries.find(key);
    if (found == data_->entries.end()) return STG_E_FILENOTFOUND;
    *entry = &found->second;
    return S_OK;
  }

  // The name an element was created with (names match without regard to
  // case, Stat reports the stored spelling). Only called for found names.
  std::u16string StoredName(const OLECHAR* name) const {
    std::u16string key;
    ReadName(name, &key);
    return data_->entries.find(key)->first;
  }

  std::shared_ptr<StorageData> data_;
  std::u16string name_;
  DWORD mode_;
};

}  // namespace

bool ElementNameLess::operator()(const std::u16string& a, const std::u16string& b) const {
  size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    char16_t left = FoldAscii(a[i]);
    char16_t right = FoldAscii(b[i]);
    if (left != right) return left < right;
  }
  return a.size() < b.size();
}

bool IsValidAccess(DWORD mode) { return (mode & 3) != 3; }
bool AllowsRead(DWORD mode) { return (mode & 3) != STGM_WRITE; }
bool AllowsWrite(DWORD mode) { return (mode & 3) != STGM_READ; }

HRESULT NewMemoryStorage(std::shared_ptr<StorageData> data, std::u16string name, DWORD mode,
                         IStorage** out) {
  return Guarded(E_OUTOFMEMORY, [&] {
    *out = new MemoryStorage(std::move(data), std::move(name), mode);
    return S_OK;
  });
}

}  // namespace qxcom

extern "C" HRESULT QxCreateMemoryStorage(IStorage** storage) {
  if (storage == nullptr) return E_INVALIDARG;
  *storage = nullptr;
  return qxcom::Guarded(E_OUTOFMEMORY, [&] {
    return qxcom::NewMemoryStorage(std::make_shared<qxcom::StorageData>(), std::u16string(),
                                   STGM_READWRITE | STGM_SHARE_EXCLUSIVE, storage);
  });
}
