// A handler object as a host creates it, and the arguments a late-bound
// caller passes to one of its methods.
#ifndef QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_
#define QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

#include "frame/automation_object.h"
#include "frame/method_table.h"
#include "qxcom/owned.h"
#include "support/variants.h"

namespace qxsoap::test {

inline qxcom::ComPtr<Iqxsoapmsg2> NewHandlerObject() {
  void* object = nullptr;
  EXPECT_EQ(qxsoapmsg2::CreateInstance(nullptr, IID_Iqxsoapmsg2, &object), S_OK);
  return qxcom::ComPtr<Iqxsoapmsg2>::Adopt(static_cast<Iqxsoapmsg2*>(object));
}

// In DISPPARAMS order (last argument first): a plausible value of each
// in-parameter's type, and for each out-parameter a reference to a marked
// variable. With kVariantRefs that is a VARIANT holding "kept"; with kOwnType
// a variable of the parameter's own type holding `garbage` (a string or
// interface that must be neither read nor freed), 0x1234 (a flag that is
// neither VARIANT_TRUE nor VARIANT_FALSE) or 0x5EED. An [in, out] position
// holds -1, so GetNext reads record 0. With `hostile`, that argument is
// instead a VARIANT of type `hostileType` whose reference or array is null.
class LateBoundArguments {
 public:
  enum Outs { kVariantRefs, kOwnType };

  explicit LateBoundArguments(const MethodInfo& method, Outs outs = kVariantRefs,
                              void* garbage = nullptr, std::optional<size_t> hostile = {},
                              VARTYPE hostileType = VT_EMPTY)
      : garbage_(garbage) {
    const size_t count = method.ArgCount();
    args_.resize(count);
    for (size_t i = 0; i < count; ++i) {
      VARIANT& arg = args_[count - 1 - i];
      VariantInit(&arg);
      const ParamInfo& param = method.params[i];
      if (hostile == i || (param.direction == Direction::kIn && param.type != VT_BSTR &&
                           param.type != VT_VARIANT)) {
        // The hostile VARIANT; or a zero flag or number, a null interface.
        V_VT(&arg) = hostile == i ? hostileType : param.type;
        V_BYREF(&arg) = nullptr;
      } else if (param.direction != Direction::kIn) {
        Out& out = outs_.emplace_back();
        out.param = &param;
        out.type = outs == kOwnType ? param.type : VARTYPE(VT_VARIANT);
        out.text = static_cast<BSTR>(garbage);
        out.object = static_cast<IUnknown*>(garbage);
        const bool inOut = param.direction == Direction::kInOut;
        out.number = inOut ? -1 : 0x5EED;
        if (out.type == VT_VARIANT) out.value = inOut ? LongVariant(-1) : BstrVariant(u"kept");
        V_VT(&arg) = VT_BYREF | out.type;
        V_BYREF(&arg) = out.type == VT_BSTR      ? static_cast<void*>(&out.text)
                        : out.type == VT_UNKNOWN ? static_cast<void*>(&out.object)
                        : out.type == VT_BOOL    ? static_cast<void*>(&out.flag)
                        : out.type == VT_I4      ? static_cast<void*>(&out.number)
                                                 : static_cast<void*>(out.value.get());
      } else if (param.type == VT_BSTR) {
        V_VT(&arg) = VT_BSTR;
        V_BSTR(&arg) = strings_.emplace_back(SysAllocString(u"text")).get();
      }
    }
    params_ = {args_.data(), nullptr, UINT(count), 0};
  }

  DISPPARAMS* get() { return &params_; }
  // The VARIANT behind the `n`th out-parameter (kVariantRefs), counting from 0.
  const VARIANT& Value(size_t n) { return *outs_.at(n).value.get(); }

  // The text the call wrote to the `n`th out-parameter, a string or a VARIANT.
  std::u16string Text(size_t n) {
    const Out& out = outs_.at(n);
    if (out.type != VT_BSTR) return TextOf(*out.value.get());
    return out.text == garbage_ ? u"<not written>" : std::u16string(out.text, SysStringLen(out.text));
  }

  // Whether the call changed the `n`th out-parameter's mark; a string or
  // interface it wrote into a variable of its own type is freed.
  bool Written(size_t n) {
    Out& out = outs_.at(n);
    const bool inOut = out.param->direction == Direction::kInOut;
    switch (out.type) {
      case VT_BSTR:
        if (out.text == garbage_) return false;
        SysFreeString(out.text);
        return true;
      case VT_UNKNOWN:
        if (out.object == garbage_) return false;
        if (out.object) out.object->Release();
        return true;
      case VT_BOOL:
        if (out.flag == 0x1234) return false;
        EXPECT_TRUE(out.flag == VARIANT_TRUE || out.flag == VARIANT_FALSE);
        return true;
      case VT_I4:
        return out.number != (inOut ? -1 : 0x5EED);
      default:
        return inOut ? V_VT(out.value.get()) != VT_I4 || V_I4(out.value.get()) != -1
                     : TextOf(*out.value.get()) != u"kept";
    }
  }

 private:
  struct Out {
    const ParamInfo* param;
    VARTYPE type;  // of the referenced variable
    BSTR text = nullptr;
    IUnknown* object = nullptr;
    VARIANT_BOOL flag = 0x1234;
    LONG number = 0;
    qxcom::Variant value;
  };

  void* garbage_;
  std::vector<VARIANTARG> args_;
  std::deque<Out> outs_;
  std::deque<qxcom::Bstr> strings_;
  DISPPARAMS params_{};
};

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_FRAME_LATE_BOUND_ARGUMENTS_H_
