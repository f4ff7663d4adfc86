// The arguments a late-bound caller passes to one method of Iqxsoapmsg2.
#ifndef QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_
#define QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_

#include <deque>
#include <optional>
#include <vector>

#include "frame/method_table.h"
#include "qxcom/owned.h"

namespace qxsoap::test {

// The values a caller's out-variables hold before the call: a string and
// an interface pointer that must be neither read nor freed, a flag that is
// neither VARIANT_TRUE nor VARIANT_FALSE, a number no method writes. An
// [in, out] position holds -1 (GetNext then reads record 0).
struct OutMarks {
  void* garbage = nullptr;
  VARIANT_BOOL flag = 0x1234;
  LONG number = 0x5EED;
};

// A caller's variables behind one VT_BYREF | type out-argument; the field
// of the parameter's type is the one passed.
struct OwnVariable {
  BSTR text = nullptr;
  VARIANT_BOOL flag = 0;
  LONG number = 0;
  IUnknown* object = nullptr;
  qxcom::Variant value;
};

// A plausible value of each in-parameter's type and a by-reference argument
// for each out-parameter, in DISPPARAMS order, last argument first. By
// default an out is a VT_BYREF | VT_VARIANT reference to an empty VARIANT
// (the position one holding -1); with `hostile`, that parameter gets instead
// a VARIANT of type `hostileType` whose reference or array is null.
class LateBoundArguments {
 public:
  explicit LateBoundArguments(const MethodInfo& method, std::optional<size_t> hostile = {},
                              VARTYPE hostileType = VT_EMPTY)
      : LateBoundArguments(method, hostile, hostileType, nullptr) {}

  // Outs as VT_BYREF | type references to variables of the parameter's own
  // type, holding `marks` (a VARIANT holds a string).
  LateBoundArguments(const MethodInfo& method, const OutMarks& marks)
      : LateBoundArguments(method, {}, VT_EMPTY, &marks) {}

  DISPPARAMS* get() { return &params_; }
  // What the call wrote to its `n`th out-parameter, counting from 0.
  VARIANT& Out(size_t n) { return *targets_.at(n).get(); }
  // The caller's variables behind the `n`th out-parameter, with OutMarks.
  OwnVariable& Own(size_t n) { return variables_.at(n); }

 private:
  LateBoundArguments(const MethodInfo& method, std::optional<size_t> hostile,
                     VARTYPE hostileType, const OutMarks* marks) {
    const size_t count = method.ArgCount();
    args_.resize(count);
    for (size_t i = 0; i < count; ++i) {
      VARIANT& arg = args_[count - 1 - i];
      VariantInit(&arg);
      const ParamInfo& param = method.params[i];
      if (hostile == i) {
        V_VT(&arg) = hostileType;
        V_BYREF(&arg) = nullptr;
      } else if (param.direction != Direction::kIn && marks) {
        V_VT(&arg) = VT_BYREF | param.type;
        V_BYREF(&arg) = Mark(variables_.emplace_back(), param, *marks);
      } else if (param.direction != Direction::kIn) {
        VARIANT* target = targets_.emplace_back().get();
        if (param.direction == Direction::kInOut) {
          V_VT(target) = VT_I4;
          V_I4(target) = -1;
        }
        V_VT(&arg) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&arg) = target;
      } else if (param.type == VT_BSTR) {
        V_VT(&arg) = VT_BSTR;
        V_BSTR(&arg) = strings_.emplace_back(SysAllocString(u"text")).get();
      } else if (param.type == VT_BOOL || param.type == VT_I4) {
        V_VT(&arg) = param.type;
        V_I4(&arg) = 0;
      } else if (param.type == VT_DISPATCH || param.type == VT_UNKNOWN) {
        V_VT(&arg) = param.type;
        V_UNKNOWN(&arg) = nullptr;
      }
    }
    params_ = {args_.data(), nullptr, UINT(count), 0};
  }

  static void* Mark(OwnVariable& variable, const ParamInfo& param, const OutMarks& marks) {
    switch (param.type) {
      case VT_BSTR:
        variable.text = static_cast<BSTR>(marks.garbage);
        return &variable.text;
      case VT_UNKNOWN:
        variable.object = static_cast<IUnknown*>(marks.garbage);
        return &variable.object;
      case VT_BOOL:
        variable.flag = marks.flag;
        return &variable.flag;
      case VT_I4:
        variable.number = param.direction == Direction::kInOut ? -1 : marks.number;
        return &variable.number;
      default:
        V_VT(variable.value.get()) = VT_BSTR;
        V_BSTR(variable.value.get()) = SysAllocString(u"kept");
        return variable.value.get();
    }
  }

  std::vector<VARIANTARG> args_;
  std::deque<qxcom::Variant> targets_;
  std::deque<OwnVariable> variables_;
  std::deque<qxcom::Bstr> strings_;
  DISPPARAMS params_{};
};

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_
