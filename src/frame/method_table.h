// The automation interface as data: one MethodInfo per method of
// Iqxsoapmsg2, in slot order, expanded from resources/methods.def. Invoke,
// GetIDsOfNames, the type information and the registered interface
// description all read this table.
#ifndef QXSOAP_FRAME_METHOD_TABLE_H_
#define QXSOAP_FRAME_METHOD_TABLE_H_

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
};

// Converts the bound arguments, calls the method through its vtable slot on
// `target` and writes the out-parameters and the retval back.
using InvokeFn = HRESULT (*)(Iqxsoapmsg2& target, const BoundCall& call);

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

inline constexpr size_t kMethodCount = 101;
// The slot of DISPID 1: after IUnknown's three and IDispatch's four.
inline constexpr size_t kFirstMethodSlot = 7;

// Every method, in slot order (DISPID 1 first).
std::span<const MethodInfo> Methods();

// The method with DISPID `id`, or null.
const MethodInfo* FindMethod(DISPID id);

// The method named `name` in any letter case, or null.
const MethodInfo* FindMethod(std::u16string_view name);

// Names compare as automation clients expect: ASCII letters in any case.
bool NamesMatch(std::u16string_view a, std::u16string_view b);

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_METHOD_TABLE_H_
