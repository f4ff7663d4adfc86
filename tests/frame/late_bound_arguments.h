// The arguments a late-bound caller passes to one method of Iqxsoapmsg2.
#ifndef QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_
#define QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_

#include <deque>
#include <optional>
#include <vector>

#include "frame/method_table.h"
#include "qxcom/owned.h"

namespace qxsoap::test {

// A plausible value of each in-parameter's type and a VT_BYREF | VT_VARIANT
// reference for each out-parameter (the in/out position holds -1), in
// DISPPARAMS order, last argument first. With `hostile`, that parameter gets
// instead a VARIANT of type `hostileType` whose reference or array is null.
class LateBoundArguments {
 public:
  explicit LateBoundArguments(const MethodInfo& method, std::optional<size_t> hostile = {},
                              VARTYPE hostileType = VT_EMPTY) {
    const size_t count = method.ArgCount();
    args_.resize(count);
    for (size_t i = 0; i < count; ++i) {
      VARIANT& arg = args_[count - 1 - i];
      VariantInit(&arg);
      const ParamInfo& param = method.params[i];
      if (hostile == i) {
        V_VT(&arg) = hostileType;
        V_BYREF(&arg) = nullptr;
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
  DISPPARAMS* get() { return &params_; }
  // What the call wrote to its `n`th out-parameter, counting from 0.
  const VARIANT& Out(size_t n) const { return *targets_.at(n).get(); }

 private:
  std::vector<VARIANTARG> args_;
  std::deque<qxcom::Variant> targets_;
  std::deque<qxcom::Bstr> strings_;
  DISPPARAMS params_{};
};

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_
