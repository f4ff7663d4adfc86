// The shapes the Iqxsoapmsg2 methods share: each method converts its
// arguments (Text, IsTrue) and hands one handler call to one of these, which
// runs it at the boundary and writes the automation result.
#ifndef QXSOAP_FRAME_AUTOMATION_ADAPTERS_H_
#define QXSOAP_FRAME_AUTOMATION_ADAPTERS_H_

#include <utility>

#include "frame/at_boundary.h"
#include "frame/automation_object.h"
#include "frame/automation_values.h"

namespace qxsoap {

// A list read: `read` takes `at` (the cursor, or the id looked up) and its
// record is handed out through HandOut with `outs`.
template <typename Read, typename At, typename... Outs>
HRESULT qxsoapmsg2::HandOutFrom(Read read, At&& at, VARIANT_BOOL* result, const Outs&... outs) {
  return AtBoundary(
      [&] { return HandOut((handler_.get()->*read)(std::forward<At>(at)), outs..., result); });
}

// An add that copies a content: the HRESULT convention of AddResult.
template <typename Add, typename... Args>
HRESULT qxsoapmsg2::AddWithContent(Add add, VARIANT_BOOL* result, const Args&... args) {
  return AtBoundary([&] { return AddResult((handler_.get()->*add)(args...), result); });
}

// A call whose yes or no is the method's *result; S_OK.
template <typename Call, typename... Args>
HRESULT qxsoapmsg2::Answer(Call call, VARIANT_BOOL* result, const Args&... args) {
  return AtBoundary([&] {
    *result = ToVariantBool((handler_.get()->*call)(args...));
    return S_OK;
  });
}

// A call with nothing to hand out; S_OK.
template <typename Call, typename... Args>
HRESULT qxsoapmsg2::Run(Call call, const Args&... args) {
  return AtBoundary([&] {
    (handler_.get()->*call)(args...);
    return S_OK;
  });
}

// A count or number read from the handler; S_OK.
template <typename Count>
HRESULT qxsoapmsg2::Number(Count count, LONG* number) {
  *number = (handler_.get()->*count)();
  return S_OK;
}

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_AUTOMATION_ADAPTERS_H_
