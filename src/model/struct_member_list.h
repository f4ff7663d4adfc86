// The members of the handler's own struct objects, in insertion order, as
// the serializer and the deserializer reach them beyond the StructObject
// interface: read in place, and appended by taking a value over rather than
// copying it. A struct object of any other implementation is used through
// StructObject alone.
//
// Threads: as the struct object that holds the list (apartment model).
#ifndef QXSOAP_MODEL_STRUCT_MEMBER_LIST_H_
#define QXSOAP_MODEL_STRUCT_MEMBER_LIST_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "qxcom/owned.h"

namespace qxsoap {

// The interface a struct object of this module answers with its member
// list (counting a reference on the object, as any query does), and no
// other object does.
extern const IID kIID_StructMemberList;

// A member's name and namespace. Immutable once made, so that the members
// of one name in many struct objects (the structs of one array, say) share
// a single copy; the count is atomic, as the objects may be released on
// different threads.
struct MemberName {
  std::u16string name;
  std::u16string namespaceURI;
};
using SharedMemberName = std::shared_ptr<const MemberName>;

class StructMemberList {
 public:
  struct Member {
    std::u16string_view Name() const { return names->name; }
    std::u16string_view NamespaceURI() const { return names->namespaceURI; }

    SharedMemberName names;  // never null
    qxcom::Variant value;
  };

  // The list of `object` when it is one of the module's own struct objects,
  // null for any other object. Valid while the caller holds its reference.
  static StructMemberList* Of(IUnknown* object);

  // In insertion order; a name may occur more than once.
  const std::vector<Member>& Members() const { return members_; }

  // Appends a member holding a copy of `value`, or of what it refers to
  // (the caller's variable may be gone by the time the member is read).
  // Returns the copy's failure, or E_OUTOFMEMORY.
  HRESULT Add(std::u16string_view name, std::u16string_view namespaceURI, const VARIANT& value);

  // Appends a member named by `names` (shared, not copied) that takes
  // `value` over, leaving it VT_EMPTY; a value that refers to another is
  // copied as Add does. E_OUTOFMEMORY when memory runs out, `value` then
  // unchanged.
  HRESULT Adopt(const SharedMemberName& names, VARIANT* value);

  // Makes room for `count` members in all, so that a list filled to a
  // known size grows once. E_OUTOFMEMORY when memory runs out.
  HRESULT Reserve(size_t count);

 private:
  // The last member, appended empty. Throws std::bad_alloc.
  Member& Append(SharedMemberName names);

  std::vector<Member> members_;
};

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_STRUCT_MEMBER_LIST_H_
