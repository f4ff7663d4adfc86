// model/role_set.h: the roles (SOAP 1.1 actors, SOAP 1.2 roles) this node
// plays, as an ordered set of URIs, and their automation array forms.
#ifndef QXSOAP_MODEL_ROLE_SET_H_
#define QXSOAP_MODEL_ROLE_SET_H_

#include <set>
#include <string>
#include <string_view>

#include "qxcom/types.h"

namespace qxsoap {

class RoleSet {
 public:
  // Adds one role; a role already present stays once, and is not copied
  // again.
  void Add(std::u16string_view role) {
    if (!Contains(role)) roles_.emplace(role);
  }

  // Exact, case-sensitive membership.
  bool Contains(std::u16string_view role) const { return roles_.find(role) != roles_.end(); }

  size_t Size() const { return roles_.size(); }

  // Adds every string of `roles`, a one-dimensional array of VARIANTs
  // (VT_ARRAY | VT_VARIANT, also by reference) whose elements hold BSTRs
  // (also by reference; a null BSTR is the empty role). Returns true when
  // all were added, also for an empty array. Returns false and adds nothing
  // for a null `roles`, any other type, another rank, or when one element
  // holds anything but a string: a half-applied role list would silently
  // change which header blocks this node takes.
  bool AddFrom(const VARIANT* roles);

  // Stores in *out (cleared first) a new VT_ARRAY | VT_VARIANT array, lower
  // bound 0, one VT_BSTR per role in ascending code-unit order; no roles give
  // an empty array. The caller owns it. Returns E_POINTER for a null `out`,
  // E_OUTOFMEMORY (and leaves *out VT_EMPTY) when the array cannot be made.
  HRESULT HandOut(VARIANT* out) const;

 private:
  std::set<std::u16string, std::less<>> roles_;
};

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_ROLE_SET_H_
