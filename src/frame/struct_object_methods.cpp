// The method table of StructObject, expanded from
// resources/struct_object_methods.def.
#include <iterator>
#include <type_traits>

#include "frame/dispatch_thunk.h"
#include "frame/struct_object_component.h"

namespace qxsoap {
namespace {

#define QX_INTERFACE StructObject
#define QX_DESCRIPTION "resources/struct_object_methods.def"
#define QX_TABLE kStructMethods
#include "frame/describe_interface.inc"
#undef QX_INTERFACE
#undef QX_DESCRIPTION
#undef QX_TABLE

static_assert(std::size(kStructMethods) == 3, "AddMember, FirstMember and NextMember");

constexpr DispatchInterface kStructObject = {kStructMethods, kStructObjectProgId};

}  // namespace

const DispatchInterface& StructObjectInterface() { return kStructObject; }

}  // namespace qxsoap
