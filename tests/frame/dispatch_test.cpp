// Late binding of Iqxsoapmsg2: every method by name and by DISPID reaches
// the vtable slot of that name; which calls Invoke runs, and how their
// failures come back.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "frame/dispatch.h"
#include "frame/late_bound_arguments.h"
#include "frame/type_info.h"
#include "model/fault_record.h"
#include "qxsoapmsg.h"

namespace qxsoap {
namespace {

// A test double of Iqxsoapmsg2 expanded from the interface description:
// every method records its name and returns `result` (or throws what
// `thrown` throws, when set), and IDispatch goes through the same
// InvokeMember as the real class.
class DispatchRecorder final : public Iqxsoapmsg2 {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return GetMemberIds(Iqxsoapmsg2Interface(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID reserved, LCID, WORD flags,
                                   DISPPARAMS* args, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override {
    return InvokeMember(Iqxsoapmsg2Interface(), *this, member, reserved, flags, args, result,
                        exception, argError);
  }

#define QX_IN(type, name) type
#define QX_OUT(type, name) type*
#define QX_INOUT(type, name) type*
#define QX_RETVAL(type, name) type*
#define QX_METHOD(id, name, params)                   \
  HRESULT STDMETHODCALLTYPE name params override {    \
    called.push_back(u"" #name);                      \
    if (thrown) thrown();                             \
    return result;                                    \
  }
#include "resources/methods.def"
#undef QX_METHOD
#undef QX_IN
#undef QX_OUT
#undef QX_INOUT
#undef QX_RETVAL

  std::vector<std::u16string> called;
  HRESULT result = S_OK;
  void (*thrown)() = nullptr;
};

// The vtable slot a pointer to a virtual member names, as the Itanium C++
// ABI (g++ on Linux) encodes it: one plus the slot's byte offset.
template <typename Method>
size_t SlotOf(Method method) {
  struct Encoded {
    uintptr_t pointer;
    ptrdiff_t adjustment;
  };
  static_assert(sizeof(Method) == sizeof(Encoded));
  Encoded encoded;
  std::memcpy(&encoded, &method, sizeof encoded);
  return (encoded.pointer - 1) / sizeof(void*);
}

TEST(Dispatch, EveryMethodSitsInTheSlotItsDispidNames) {
#define QX_METHOD(id, name, params) \
  EXPECT_EQ(SlotOf(&Iqxsoapmsg2::name), kFirstMethodSlot + (id) - 1) << #name;
#include "resources/methods.def"
#undef QX_METHOD
}

TEST(Dispatch, EveryMethodByNameAndDispidReachesItsSlot) {
  for (const MethodInfo& method : Methods()) {
    SCOPED_TRACE(std::string(method.name, method.name + std::char_traits<char16_t>::length(method.name)));
    std::u16string upper(method.name);
    for (char16_t& unit : upper) unit = unit >= u'a' && unit <= u'z' ? unit - 32 : unit;
    LPOLESTR names[] = {upper.data()};
    DISPID id = 0;
    ASSERT_EQ(GetMemberIds(Iqxsoapmsg2Interface(), names, 1, &id), S_OK) << "names match in any letter case";
    EXPECT_EQ(id, method.id);

    DispatchRecorder recorder;
    test::LateBoundArguments args(method);
    qxcom::Variant result;
    ASSERT_EQ(recorder.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, args.get(), result.get(), nullptr,
                              nullptr),
              S_OK);
    test::LateBoundArguments again(method);
    ASSERT_EQ(InterfaceTypeInfo().Invoke(&recorder, id, DISPATCH_METHOD, again.get(), nullptr,
                                         nullptr, nullptr),
              S_OK)
        << "the type information invokes through the same table";
    ASSERT_EQ(recorder.called.size(), 2u);
    EXPECT_EQ(recorder.called[0], method.name);
    EXPECT_EQ(recorder.called[1], method.name);
  }
}

// Only a method call runs (a script host's method-or-get included); a
// failed method is reported through EXCEPINFO, or as itself without one, and
// no exception escapes Invoke.
TEST(Dispatch, InvokeRunsOnlyMethodCallsAndReportsTheirFailures) {
  const struct {
    const char* why;
    DISPID member;
    WORD flags;
    VARTYPE arg;  // the one argument, if not VT_EMPTY: member 70's out-parameter
    HRESULT result;
    void (*thrown)();
    HRESULT expected;
  } rows[] = {
      {"method or get", 2, DISPATCH_METHOD | DISPATCH_PROPERTYGET, VT_EMPTY, S_OK, nullptr, S_OK},
      {"DISPID 0 is not a method", 0, DISPATCH_METHOD, VT_EMPTY, S_OK, nullptr,
       DISP_E_MEMBERNOTFOUND},
      {"a property get alone is no method call", 2, DISPATCH_PROPERTYGET, VT_EMPTY, S_OK, nullptr,
       DISP_E_MEMBERNOTFOUND},
      {"a string out-parameter passed by value", 70, DISPATCH_METHOD, VT_BSTR, S_OK, nullptr,
       DISP_E_TYPEMISMATCH},
      {"a string out-parameter into a number", 70, DISPATCH_METHOD, VT_BYREF | VT_I4, S_OK,
       nullptr, DISP_E_TYPEMISMATCH},
      {"a failed method", 2, DISPATCH_METHOD, VT_EMPTY, E_OUTOFMEMORY, nullptr, DISP_E_EXCEPTION},
      {"memory ran out", 2, DISPATCH_METHOD, VT_EMPTY, S_OK, [] { throw std::bad_alloc(); },
       E_OUTOFMEMORY},
      {"a fault record that no entry point caught (freed, or a leak is reported)", 2,
       DISPATCH_METHOD, VT_EMPTY, S_OK,
       [] { throw new QXSOAPFault(FaultKind::kReceiver, u"stray", false); }, E_UNEXPECTED},
      {"anything else", 2, DISPATCH_METHOD, VT_EMPTY, S_OK, [] { throw 42; }, E_UNEXPECTED},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    DispatchRecorder recorder;
    recorder.result = row.result;
    recorder.thrown = row.thrown;
    LONG number = 0;
    qxcom::Bstr text(SysAllocString(u"x"));
    VARIANTARG arg;
    V_VT(&arg) = row.arg;
    if (row.arg == VT_BSTR) V_BSTR(&arg) = text.get();
    else V_I4REF(&arg) = &number;
    DISPPARAMS params{&arg, nullptr, row.arg == VT_EMPTY ? 0u : 1u, 0};
    EXCEPINFO exception{};
    EXPECT_EQ(recorder.Invoke(row.member, IID_NULL, 0, row.flags, &params, nullptr, &exception,
                              nullptr),
              row.expected);
    SysFreeString(exception.bstrSource);
    const bool refused = row.expected == DISP_E_MEMBERNOTFOUND || row.expected == DISP_E_TYPEMISMATCH;
    EXPECT_EQ(recorder.called.size(), refused ? 0u : 1u) << "nothing runs when the call is refused";
    EXPECT_EQ(exception.scode, row.expected == DISP_E_EXCEPTION ? row.result : S_OK);
  }
  DispatchRecorder recorder;
  recorder.result = E_OUTOFMEMORY;
  DISPPARAMS none{};
  EXPECT_EQ(recorder.Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            E_OUTOFMEMORY)
      << "without EXCEPINFO the HRESULT itself";
}

}  // namespace
}  // namespace qxsoap
