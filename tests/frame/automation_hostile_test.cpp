// Wrong VARIANTs through Invoke, in every argument of every method of the
// real class: each call ends with an HRESULT, never a crash or a leak.
#include <gtest/gtest.h>

#include "frame/automation_test_object.h"
#include "frame/late_bound_arguments.h"

namespace qxsoap {
namespace {

struct HostileRow {
  const char* why;
  VARTYPE vt;
};

// Each is a VARIANT a careless or hostile client may send; the references
// and the array are null.
constexpr HostileRow kHostileRows[] = {
    {"a reference to nothing", VT_BYREF | VT_I4},
    {"a string reference to nothing", VT_BYREF | VT_BSTR},
    {"a VARIANT reference to nothing", VT_BYREF | VT_VARIANT},
    {"a byte array without an array", VT_ARRAY | VT_UI1},
    {"a null interface", VT_DISPATCH},
    {"SQL null", VT_NULL},
    {"a type tag that is no type", 0x0FFF},
};

TEST(AutomationHostile, EveryArgumentOfEveryMethodSurvivesWrongVariants) {
  for (const MethodInfo& method : Methods()) {
    for (size_t param = 0; param < method.ArgCount(); ++param) {
      for (const HostileRow& row : kHostileRows) {
        SCOPED_TRACE(testing::Message() << "DISPID " << method.id << " argument " << param
                                        << ": " << row.why);
        auto object = test::NewHandlerObject();
        test::LateBoundArguments args(method, param, row.vt);
        qxcom::Variant result;
        EXCEPINFO exception{};
        UINT argError = 0;
        const HRESULT hr = object->Invoke(method.id, IID_NULL, 0, DISPATCH_METHOD, args.get(),
                                          result.get(), &exception, &argError);
        SysFreeString(exception.bstrSource);
        // A VARIANT parameter hands any value to the method, which may take
        // it; an interface parameter may be null. Everything else is refused.
        const ParamInfo& target = method.params[param];
        const bool mayPass =
            (target.type == VT_VARIANT && target.direction == Direction::kIn) ||
            (row.vt == VT_DISPATCH && (target.type == VT_DISPATCH || target.type == VT_UNKNOWN));
        if (!mayPass) {
          EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
        }
        if (hr == DISP_E_TYPEMISMATCH) {
          EXPECT_EQ(argError, method.ArgCount() - 1 - param) << "named in rgvarg order";
        }
      }
    }
  }
}

}  // namespace
}  // namespace qxsoap
