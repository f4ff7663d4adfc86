// Late-bound calls of described interfaces: one template, Thunk<&method>,
// serves every method of every one. The interface and the C++ parameter
// types come from the member pointer; the
// directions (out, in/out, retval) from the method's ParamInfo. Each
// parameter gets a slot that converts its VARIANTARG before the call and,
// unless the caller's own variable was passed on, writes the out value back
// after it.
#ifndef QXSOAP_FRAME_DISPATCH_THUNK_H_
#define QXSOAP_FRAME_DISPATCH_THUNK_H_

#include <limits>
#include <tuple>
#include <type_traits>
#include <utility>

#include "frame/method_table.h"
#include "qxcom/owned.h"

namespace qxsoap {

// The VARIANT type and field of each parameter type of the interface.
template <typename T>
struct AutomationType;
template <>
struct AutomationType<BSTR> {
  static constexpr VARTYPE kType = VT_BSTR;
  static BSTR& Field(VARIANT& v) { return v.bstrVal; }
};
template <>
struct AutomationType<VARIANT_BOOL> {
  static constexpr VARTYPE kType = VT_BOOL;
  static VARIANT_BOOL& Field(VARIANT& v) { return v.boolVal; }
};
template <>
struct AutomationType<LONG> {
  static constexpr VARTYPE kType = VT_I4;
  static LONG& Field(VARIANT& v) { return v.lVal; }
};
template <>
struct AutomationType<IDispatch*> {
  static constexpr VARTYPE kType = VT_DISPATCH;
  static IDispatch*& Field(VARIANT& v) { return v.pdispVal; }
};
template <>
struct AutomationType<IUnknown*> {
  static constexpr VARTYPE kType = VT_UNKNOWN;
  static IUnknown*& Field(VARIANT& v) { return v.punkVal; }
};
template <>
struct AutomationType<VARIANT> {
  static constexpr VARTYPE kType = VT_VARIANT;
};

// Moves a value between a VARIANT and a parameter of type T; the source is
// left empty, so exactly one side owns it.
template <typename T>
void TakeValue(VARIANT& from, T& to) {
  to = AutomationType<T>::Field(from);
  VariantInit(&from);
}
template <typename T>
void GiveValue(T& from, VARIANT& to) {
  V_VT(&to) = AutomationType<T>::kType;
  AutomationType<T>::Field(to) = std::exchange(from, T{});
}
template <>
inline void TakeValue<VARIANT>(VARIANT& from, VARIANT& to) {
  to = from;
  VariantInit(&from);
}
template <>
inline void GiveValue<VARIANT>(VARIANT& from, VARIANT& to) {
  to = from;
  VariantInit(&from);
}

// What a local [out] value starts as: one that no method hands out, so a
// local still holding it after the call was not written. Strings and
// interfaces are handed out as fresh pointers, never the address of this
// mark, and flags only as VARIANT_TRUE or VARIANT_FALSE. A LONG has no value
// to spare: positions are never negative, but a host may store any TNF, and
// the one of LONG_MIN would leave a caller's VARIANT as it was.
inline constexpr OLECHAR kUnwrittenMark[1] = {};
template <typename T>
T Unwritten();
template <>
inline BSTR Unwritten<BSTR>() {
  return const_cast<BSTR>(kUnwrittenMark);
}
template <>
inline IUnknown* Unwritten<IUnknown*>() {
  return reinterpret_cast<IUnknown*>(Unwritten<BSTR>());
}
template <>
inline VARIANT_BOOL Unwritten<VARIANT_BOOL>() {
  return 0x5A5A;
}
template <>
inline LONG Unwritten<LONG>() {
  return std::numeric_limits<LONG>::min();
}

// Stores in `into` the value of `arg` as `type` (VT_BYREF dereferenced).
HRESULT CoerceArgument(const VARIANTARG* arg, VARTYPE type, qxcom::Variant& into);
// S_OK when `target` can receive an out value of `type`: VT_BYREF | type or
// VT_BYREF | VT_VARIANT with a non-null reference; DISP_E_TYPEMISMATCH else.
HRESULT CheckOutTarget(const VARIANTARG* target, VARTYPE type);
// The Invoke result for a method that returned the failure `hr`; `source`
// names the class in the EXCEPINFO.
HRESULT MethodFailed(HRESULT hr, const OLECHAR* source, EXCEPINFO* exception);
// The Invoke result for an argument that could not be converted.
HRESULT ArgumentFailed(HRESULT hr);

// An [in] parameter passed by value.
template <typename T>
class InSlot {
 public:
  HRESULT Load(const ParamInfo&, VARIANTARG* arg) {
    return CoerceArgument(arg, AutomationType<T>::kType, value_);
  }
  T Get() { return AutomationType<T>::Field(*value_.get()); }
  void Finish(bool, VARIANT*) {}

 private:
  qxcom::Variant value_;
};

// A VARIANT passed by value: handed on as it stands (the method copies what
// it keeps); a VT_BYREF argument is passed as the value it references.
template <>
class InSlot<VARIANT> {
 public:
  HRESULT Load(const ParamInfo&, VARIANTARG* arg) {
    if (!V_ISBYREF(arg)) {
      source_ = arg;
      return S_OK;
    }
    if (!V_BYREF(arg)) return DISP_E_TYPEMISMATCH;  // a reference to nothing
    if (V_VT(arg) == (VT_BYREF | VT_VARIANT)) {
      source_ = V_VARIANTREF(arg);
      return S_OK;
    }
    source_ = held_.get();
    return VariantCopyInd(held_.get(), arg);
  }
  VARIANT Get() { return *source_; }
  void Finish(bool, VARIANT*) {}

 private:
  qxcom::Variant held_;
  VARIANT* source_ = nullptr;
};

// An [out], [in, out] or [out, retval] parameter. A VT_BYREF argument of
// the parameter's own type is the caller's variable and reaches the method
// as it is: the method writes it, or leaves it, exactly as it would an
// early-bound caller's, and never frees or reads an [out]'s old content.
// The retval and a VT_BYREF | VT_VARIANT argument go through a local value
// instead: the retval goes to the result when the call succeeds; the
// referenced VARIANT is cleared and receives the local only when the method
// changed it.
template <typename T>
class OutSlot {
 public:
  OutSlot() = default;
  OutSlot(const OutSlot&) = delete;  // Get() may point into the slot itself
  OutSlot& operator=(const OutSlot&) = delete;

  HRESULT Load(const ParamInfo& param, VARIANTARG* arg) {
    direction_ = param.direction;
    if (direction_ == Direction::kRetval) return S_OK;
    if (HRESULT hr = CheckOutTarget(arg, kType); FAILED(hr)) return hr;
    if (V_VT(arg) == (VT_BYREF | kType)) {
      into_ = static_cast<T*>(V_BYREF(arg));
      return S_OK;
    }
    if constexpr (kType != VT_VARIANT) {  // a VARIANT's own reference was taken above
      reference_ = V_VARIANTREF(arg);
      if (direction_ == Direction::kOut) {
        local_ = seed_ = Unwritten<T>();
        return S_OK;
      }
      qxcom::Variant in;
      if (HRESULT hr = CoerceArgument(arg, kType, in); FAILED(hr)) return hr;
      TakeValue(*in.get(), local_);
      seed_ = local_;
    }
    return S_OK;
  }
  T* Get() { return into_; }
  // Whatever the method wrote reaches the caller's reference even when the
  // call failed, as it does in the caller's own variable; only the retval
  // depends on success.
  void Finish(bool succeeded, VARIANT* result) {
    if (into_ != &local_) return;
    if (direction_ == Direction::kRetval) {
      qxcom::Variant value;
      GiveValue(local_, *value.get());
      if (succeeded && result) value.Detach(result);
      return;
    }
    if constexpr (kType != VT_VARIANT) {
      const bool written = local_ != seed_;
      if (!written && direction_ == Direction::kOut) return;  // nothing of ours to free
      qxcom::Variant value;
      GiveValue(local_, *value.get());  // an unchanged [in, out] copy is freed here
      if (!written) return;
      VariantClear(reference_);
      value.Detach(reference_);
    }
  }

 private:
  static constexpr VARTYPE kType = AutomationType<T>::kType;

  Direction direction_ = Direction::kRetval;
  T local_{};
  T seed_{};  // the local's value before the call
  T* into_ = &local_;
  VARIANT* reference_ = nullptr;
};

// Strings and interface pointers passed in are [in]; every other pointer is
// written.
template <typename P>
inline constexpr bool kIsOutPointer = std::is_pointer_v<P> && !std::is_same_v<P, BSTR> &&
                                      !std::is_same_v<P, IDispatch*> &&
                                      !std::is_same_v<P, IUnknown*>;

template <typename P>
using SlotFor = std::conditional_t<kIsOutPointer<P>, OutSlot<std::remove_pointer_t<P>>, InSlot<P>>;

template <auto Method>
struct Thunk;

template <typename Interface, typename... Params,
          HRESULT (STDMETHODCALLTYPE Interface::*Method)(Params...)>
struct Thunk<Method> {
  static_assert(std::is_base_of_v<IDispatch, Interface>);

  // `target` is an Interface: the table that holds this thunk belongs to it.
  static HRESULT Call(IDispatch& target, const BoundCall& call) {
    return CallWith(static_cast<Interface&>(target), call, std::index_sequence_for<Params...>{});
  }

 private:
  template <size_t... I>
  static HRESULT CallWith(Interface& target, const BoundCall& call,
                          std::index_sequence<I...>) {
    static_assert(sizeof...(Params) <= BoundCall::kMaxParams);
    std::tuple<SlotFor<Params>...> slots;
    HRESULT hr = S_OK;
    UINT failedArg = 0;
    [[maybe_unused]] auto load = [&](auto& slot, size_t index) {
      hr = slot.Load(call.method->params[index], call.args[index]);
      if (FAILED(hr)) failedArg = call.argIndex[index];
      return SUCCEEDED(hr);
    };
    if (!(load(std::get<I>(slots), I) && ...)) {
      if (call.argError) *call.argError = failedArg;
      return ArgumentFailed(hr);
    }
    hr = (target.*Method)(std::get<I>(slots).Get()...);
    (std::get<I>(slots).Finish(SUCCEEDED(hr), call.result), ...);
    return SUCCEEDED(hr) ? hr : MethodFailed(hr, call.source, call.exception);
  }
};

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_DISPATCH_THUNK_H_
