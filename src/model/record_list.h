// model/record_list.h: an ordered list of heap records owned by the list, with
// the add, count, cursor, find and remove operations every message list uses.
#ifndef QXSOAP_MODEL_RECORD_LIST_H_
#define QXSOAP_MODEL_RECORD_LIST_H_

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "model/cursor.h"
#include "qxcom/types.h"

namespace qxsoap {

template <typename Record>
class RecordList {
 public:
  // Builds a default record, lets `fill` complete it and appends it. `fill`
  // returns an HRESULT (the content copy). Returns S_OK when appended, the
  // failing HRESULT of `fill`, or S_FALSE when memory for the record ran out;
  // the list is unchanged unless S_OK.
  template <typename Fill>
  HRESULT AppendNew(Fill&& fill) {
    try {
      auto record = std::make_unique<Record>();
      if (HRESULT hr = fill(*record); FAILED(hr)) return hr;
      records_.push_back(std::move(record));
      return S_OK;
    } catch (const std::bad_alloc&) {
      return S_FALSE;
    }
  }

  // Number of records as the automation count (0 for an empty list).
  LONG Count() const { return static_cast<LONG>(records_.size()); }

  // Record 0 with `position` set to 0, or null (position untouched) for an
  // empty list. The record stays owned by the list and is valid until the
  // list changes.
  const Record* First(LONG& position) const { return Handed(FirstIndex(records_.size()), position); }

  // The record after `position` (unsigned arithmetic, see cursor.h) with
  // `position` moved to it, or null with `position` untouched at the end.
  const Record* Next(LONG& position) const {
    return Handed(NextIndex(position, records_.size()), position);
  }

  // Index of the first record that satisfies `matches`, or nothing.
  template <typename Predicate>
  std::optional<size_t> FindIndex(Predicate&& matches) const {
    for (size_t i = 0; i < records_.size(); ++i) {
      if (matches(*records_[i])) return i;
    }
    return std::nullopt;
  }

  Record& At(size_t index) { return *records_[index]; }
  const Record& At(size_t index) const { return *records_[index]; }

  // Removes record `index`; the records behind it move up by one.
  std::unique_ptr<Record> RemoveAt(size_t index) {
    std::unique_ptr<Record> removed = std::move(records_[index]);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    return removed;
  }

  // Removes the records before index `end` that satisfy `matches`, in one
  // pass; the others keep their order.
  template <typename Predicate>
  void RemoveBefore(size_t end, Predicate&& matches) {
    const auto last = records_.begin() + static_cast<std::ptrdiff_t>(end);
    records_.erase(std::remove_if(records_.begin(), last,
                                  [&](const std::unique_ptr<Record>& record) { return matches(*record); }),
                   last);
  }

  void Clear() { records_.clear(); }

  // Read-only walk in list order, for the serializer and the checks.
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  const Record* Handed(std::optional<size_t> index, LONG& position) const {
    if (!index) return nullptr;
    position = static_cast<LONG>(*index);
    return records_[*index].get();
  }

  std::vector<std::unique_ptr<Record>> records_;
};

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_RECORD_LIST_H_
