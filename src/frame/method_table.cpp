// The method table, expanded from resources/methods.def. The description
// also checks the interface declared in qxsoapmsg.h: every method must have
// exactly the signature the description gives it.
#include "frame/method_table.h"

#include <array>
#include <iterator>
#include <type_traits>

#include "frame/dispatch_thunk.h"

namespace qxsoap {
namespace {

#define QX_UNPAREN(...) __VA_ARGS__

// Each method's signature as the description spells it.
#define QX_IN(type, name) type
#define QX_OUT(type, name) type*
#define QX_INOUT(type, name) type*
#define QX_RETVAL(type, name) type*
#define QX_METHOD(id, name, params)                                                  \
  static_assert(std::is_same_v<decltype(&Iqxsoapmsg2::name),                        \
                               HRESULT(STDMETHODCALLTYPE Iqxsoapmsg2::*) params>, \
                #name " in qxsoapmsg.h differs from its description");
#include "resources/methods.def"
#undef QX_METHOD
#undef QX_IN
#undef QX_OUT
#undef QX_INOUT
#undef QX_RETVAL

template <typename... Params>
constexpr std::array<ParamInfo, sizeof...(Params)> MakeParams(Params... params) {
  return {params...};
}

// Each method's parameters as data.
#define QX_IN(type, name) ParamInfo{u"" #name, AutomationType<type>::kType, Direction::kIn}
#define QX_OUT(type, name) ParamInfo{u"" #name, AutomationType<type>::kType, Direction::kOut}
#define QX_INOUT(type, name) ParamInfo{u"" #name, AutomationType<type>::kType, Direction::kInOut}
#define QX_RETVAL(type, name) \
  ParamInfo{u"" #name, AutomationType<type>::kType, Direction::kRetval}
#define QX_METHOD(id, name, params) constexpr auto kParamsOf##name = MakeParams(QX_UNPAREN params);
#include "resources/methods.def"
#undef QX_METHOD

constexpr MethodInfo kMethods[] = {
#define QX_METHOD(id, name, params) \
  MethodInfo{id, u"" #name, kParamsOf##name, &Thunk<&Iqxsoapmsg2::name>::Call},
#include "resources/methods.def"
#undef QX_METHOD
};
#undef QX_IN
#undef QX_OUT
#undef QX_INOUT
#undef QX_RETVAL
#undef QX_UNPAREN

constexpr bool InDispidOrder() {
  for (size_t i = 0; i < std::size(kMethods); ++i) {
    if (kMethods[i].id != DISPID(i + 1)) return false;
  }
  return true;
}

constexpr bool RetvalOnlyLast() {
  for (const MethodInfo& method : kMethods) {
    for (size_t i = 0; i + 1 < method.params.size(); ++i) {
      if (method.params[i].direction == Direction::kRetval) return false;
    }
  }
  return true;
}

static_assert(std::size(kMethods) == kMethodCount && InDispidOrder(),
              "DISPIDs run from 1 to 101 in slot order");
static_assert(RetvalOnlyLast(), "a retval is always the last parameter");

char16_t FoldCase(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? unit + 32 : unit; }

}  // namespace

std::span<const MethodInfo> Methods() { return kMethods; }

const MethodInfo* FindMethod(DISPID id) {
  return id >= 1 && size_t(id) <= std::size(kMethods) ? &kMethods[id - 1] : nullptr;
}

const MethodInfo* FindMethod(std::u16string_view name) {
  for (const MethodInfo& method : kMethods) {
    if (NamesMatch(method.name, name)) return &method;
  }
  return nullptr;
}

bool NamesMatch(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace qxsoap
