// Automation interfaces as data: one MethodInfo per method, in slot order,
// expanded from a description file (resources/methods.def for Iqxsoapmsg2)
// by frame/describe_interface.inc. Invoke, GetIDsOfNames, the type
// information and the registered interface description all read a table.
#ifndef QXSOAP_FRAME_METHOD_TABLE_H_
#define QXSOAP_FRAME_METHOD_TABLE_H_

#include <array>
#include <span>
#include <string_view>

#include "qxsoapmsg.h"

namespace qxsoap {

enum class Direction : unsigned char { kIn, kOut, kInOut, kRetval };

struct ParamInfo {
  const char16_t* name;
  VARTYPE type;  // the base type: VT_BSTR, VT_BOOL, VT_I4, VT_VARIANT, VT_DISPATCH, VT_UNKNOWN
  Direction direction;
};

struct MethodInfo;

// The arguments of one late-bound call, matched to the method's parameters:
// args[i] is the VARIANTARG of parameter i (null for the retval) and
// argIndex[i] its index in DISPPARAMS::rgvarg, which error reports name.
struct BoundCall {
  static constexpr size_t kMaxParams = 10;
  const MethodInfo* method = nullptr;
  VARIANTARG* args[kMaxParams] = {};
  UINT argIndex[kMaxParams] = {};
  VARIANT* result = nullptr;        // may be null: the retval is dropped
  EXCEPINFO* exception = nullptr;   // may be null
  UINT* argError = nullptr;         // may be null
  const OLECHAR* source = nullptr;  // EXCEPINFO::bstrSource of a failed method
};

// Converts the bound arguments, calls the method through its vtable slot on
// `target` (an object of the interface the method belongs to) and writes
// the out-parameters and the retval back.
using InvokeFn = HRESULT (*)(IDispatch& target, const BoundCall& call);

struct MethodInfo {
  DISPID id;
  const char16_t* name;
  std::span<const ParamInfo> params;  // in declaration order, the retval (if any) last
  InvokeFn invoke;

  // Parameters a late-bound caller passes in DISPPARAMS: all but the retval.
  size_t ArgCount() const {
    return !params.empty() && params.back().direction == Direction::kRetval ? params.size() - 1
                                                                           : params.size();
  }
};

// One dual interface served through IDispatch: its methods in slot order
// with DISPIDs 1, 2, ... and the name a failed late-bound call reports as
// its source (the class's ProgID).
struct DispatchInterface {
  std::span<const MethodInfo> methods;
  const OLECHAR* source;

  // The method with DISPID `id`, or null.
  const MethodInfo* Find(DISPID id) const;
  // The method named `name` in any letter case, or null.
  const MethodInfo* Find(std::u16string_view name) const;
};

// A method's parameters as an array, of any length (none included).
template <typename... Params>
constexpr std::array<ParamInfo, sizeof...(Params)> MakeParams(Params... params) {
  return {params...};
}

// The shape every description must have: DISPIDs 1, 2, ... in slot order,
// and a retval only as the last parameter. Checked at compile time.
constexpr bool IsWellFormed(std::span<const MethodInfo> methods) {
  for (size_t i = 0; i < methods.size(); ++i) {
    if (methods[i].id != DISPID(i + 1)) return false;
    for (size_t p = 0; p + 1 < methods[i].params.size(); ++p) {
      if (methods[i].params[p].direction == Direction::kRetval) return false;
    }
  }
  return true;
}

inline constexpr size_t kMethodCount = 101;
// The slot of DISPID 1: after IUnknown's three and IDispatch's four.
inline constexpr size_t kFirstMethodSlot = 7;

// Iqxsoapmsg2 as data.
const DispatchInterface& Iqxsoapmsg2Interface();

// Every method of Iqxsoapmsg2, in slot order (DISPID 1 first).
inline std::span<const MethodInfo> Methods() { return Iqxsoapmsg2Interface().methods; }

// The method of Iqxsoapmsg2 with DISPID `id`, or named `name` in any letter
// case; null when there is none.
inline const MethodInfo* FindMethod(DISPID id) { return Iqxsoapmsg2Interface().Find(id); }
inline const MethodInfo* FindMethod(std::u16string_view name) {
  return Iqxsoapmsg2Interface().Find(name);
}

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_METHOD_TABLE_H_
