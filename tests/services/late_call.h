// services/late_call.h: calls an automation object by method name as a
// late-bound client (or `qxsoap serve`) does, and builds the values the
// handler hands a service.
#ifndef QXSOAP_TESTS_SERVICES_LATE_CALL_H_
#define QXSOAP_TESTS_SERVICES_LATE_CALL_H_

#include <string>
#include <string_view>
#include <vector>

#include "qxcom.h"
#include "qxsoap/struct_object.h"
#include "support/variants.h"

namespace qxsoap::test {

// What one Invoke gave back. Owns the exception strings.
struct CallOutcome {
  HRESULT hr = E_FAIL;
  qxcom::Variant result;
  EXCEPINFO exception{};
  UINT argError = ~0u;

  CallOutcome() = default;
  CallOutcome(CallOutcome&& other) noexcept;
  CallOutcome& operator=(CallOutcome&&) = delete;
  ~CallOutcome();
  std::u16string Description() const;
  std::u16string Source() const;
};

// Looks `method` up with GetIDsOfNames and invokes it as DISPATCH_METHOD
// with `args` in declaration order (passed in DISPPARAMS in reverse order;
// the callee sees the caller's VARIANTs, out-arguments included). A name
// that is not found gives its HRESULT as the outcome.
CallOutcome CallByName(IDispatch& object, std::u16string_view method,
                       const std::vector<VARIANT*>& args);

// A one-dimensional VT_ARRAY | VT_VARIANT array holding copies of `items`.
qxcom::Variant VariantArray(const std::vector<const VARIANT*>& items);

// The items of a one-dimensional VT_ARRAY | VT_VARIANT value, copied.
std::vector<qxcom::Variant> ItemsOf(const VARIANT& array);
// A value as one line of text: "EMPTY", 'text' for a string, "I4:7",
// "R4:2.5", "DATE:..." and so on for the other simple types (their text as
// VariantChangeType gives it), "UI1[n]" for a byte array, "[a,b]" for a
// VT_VARIANT array, "{name=value;...}" for a struct object's members.
std::u16string Describe(const VARIANT& value);

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SERVICES_LATE_CALL_H_
