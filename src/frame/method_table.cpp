// The method table of Iqxsoapmsg2, expanded from resources/methods.def, and
// the look-ups every described interface shares.
#include "frame/method_table.h"

#include <iterator>
#include <type_traits>

#include "frame/dispatch_thunk.h"
#include "qxcom/server.h"

namespace qxsoap {
namespace {

#define QX_INTERFACE Iqxsoapmsg2
#define QX_DESCRIPTION "resources/methods.def"
#define QX_TABLE kMethods
#include "frame/describe_interface.inc"
#undef QX_INTERFACE
#undef QX_DESCRIPTION
#undef QX_TABLE

static_assert(std::size(kMethods) == kMethodCount, "Iqxsoapmsg2 has 101 methods");

constexpr DispatchInterface kIqxsoapmsg2 = {kMethods, kQxsoapmsg2ProgId};

}  // namespace

const DispatchInterface& Iqxsoapmsg2Interface() { return kIqxsoapmsg2; }

const MethodInfo* DispatchInterface::Find(DISPID id) const {
  return id >= 1 && size_t(id) <= methods.size() ? &methods[id - 1] : nullptr;
}

const MethodInfo* DispatchInterface::Find(std::u16string_view name) const {
  for (const MethodInfo& method : methods) {
    if (qxcom::NamesMatch(method.name, name)) return &method;
  }
  return nullptr;
}

}  // namespace qxsoap
