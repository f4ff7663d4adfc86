// Late binding of Iqxsoapmsg2: every method by name and by DISPID reaches
// the vtable slot of that name, and Invoke's argument rules.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
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

TEST(Dispatch, NamesOfParametersMapToTheirPositions) {
  OLECHAR method[] = u"addmethodparam", content[] = u"VARCONTENT", name[] = u"bstrName",
          retval[] = u"pResult", unknown[] = u"bogus";
  LPOLESTR names[] = {method, content, name, retval, unknown};
  DISPID ids[5] = {};
  EXPECT_EQ(GetMemberIds(Iqxsoapmsg2Interface(), names, 5, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 11);
  EXPECT_EQ(ids[1], 2);
  EXPECT_EQ(ids[2], 1);
  EXPECT_EQ(ids[3], DISPID_UNKNOWN) << "the retval is not an argument";
  EXPECT_EQ(ids[4], DISPID_UNKNOWN);
}

TEST(Dispatch, InvokeCallsOnlyWhatFitsTheMethod) {
  const struct {
    const char* why;
    DISPID member;
    WORD flags;
    std::vector<VARTYPE> argTypes;  // in DISPPARAMS order (last argument first)
    HRESULT expected;
    UINT argError;  // checked when the result names an argument
  } rows[] = {
      {"script hosts call methods as method or get", 2, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
       {}, S_OK, 0},
      {"DISPID 0 is not a method", 0, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND, 0},
      {"a property get alone is no method call", 2, DISPATCH_PROPERTYGET, {},
       DISP_E_MEMBERNOTFOUND, 0},
      {"too many arguments", 2, DISPATCH_METHOD, {VT_I4}, DISP_E_BADPARAMCOUNT, 0},
      {"too few arguments", 85, DISPATCH_METHOD, {}, DISP_E_BADPARAMCOUNT, 0},
      {"first argument of SetBodyElemLiteral is rgvarg[1]", 69, DISPATCH_METHOD,
       {VT_BSTR, VT_DISPATCH}, DISP_E_TYPEMISMATCH, 1},
      {"an out-parameter passed by value", 70, DISPATCH_METHOD, {VT_BSTR}, DISP_E_TYPEMISMATCH,
       0},
      {"a missing required argument", 17, DISPATCH_METHOD, {VT_ERROR}, DISP_E_PARAMNOTOPTIONAL,
       0},
      {"a missing first argument of SetBodyElemLiteral is rgvarg[1]", 69, DISPATCH_METHOD,
       {VT_BSTR, VT_ERROR}, DISP_E_PARAMNOTOPTIONAL, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    std::vector<VARIANTARG> args(row.argTypes.size());
    std::deque<qxcom::Bstr> strings;
    for (size_t i = 0; i < args.size(); ++i) {
      VariantInit(&args[i]);
      V_VT(&args[i]) = row.argTypes[i];
      if (row.argTypes[i] == VT_BSTR) V_BSTR(&args[i]) = strings.emplace_back(SysAllocString(u"x")).get();
      if (row.argTypes[i] == VT_ERROR) V_ERROR(&args[i]) = DISP_E_PARAMNOTFOUND;
    }
    DISPPARAMS params{args.data(), nullptr, UINT(args.size()), 0};
    DispatchRecorder recorder;
    UINT argError = 99;
    EXPECT_EQ(recorder.Invoke(row.member, IID_NULL, 0, row.flags, &params, nullptr, nullptr,
                              &argError),
              row.expected);
    if (row.expected == DISP_E_TYPEMISMATCH || row.expected == DISP_E_PARAMNOTOPTIONAL) {
      EXPECT_EQ(argError, row.argError);
    }
    EXPECT_EQ(recorder.called.size(), SUCCEEDED(row.expected) ? 1u : 0u)
        << "nothing runs when the call is refused";
  }
}

TEST(Dispatch, NamedArgumentsFillTheirParameters) {
  // SetBodyElemLiteral(bstrLiteralXML, bstrEncodingStyle) with the second
  // given by name first in rgvarg and the first given by position.
  DispatchRecorder recorder;
  qxcom::Bstr style(SysAllocString(u"style")), xml(SysAllocString(u"<x/>"));
  VARIANTARG args[2];
  V_VT(&args[0]) = VT_BSTR;
  V_BSTR(&args[0]) = style.get();
  V_VT(&args[1]) = VT_BSTR;
  V_BSTR(&args[1]) = xml.get();
  DISPID named[] = {1};
  DISPPARAMS params{args, named, 2, 1};
  EXPECT_EQ(recorder.Invoke(69, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);

  DISPID twice[] = {0, 0};
  DISPPARAMS duplicate{args, twice, 2, 2};
  UINT argError = 99;
  EXPECT_EQ(recorder.Invoke(69, IID_NULL, 0, DISPATCH_METHOD, &duplicate, nullptr, nullptr,
                            &argError),
            DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(argError, 1u);
  EXPECT_EQ(recorder.called.size(), 1u);
}

// A failed method is reported through EXCEPINFO (or as itself without
// one); no exception escapes Invoke.
TEST(Dispatch, FailuresOfTheMethodBecomeHresults) {
  const struct {
    const char* why;
    HRESULT result;
    void (*thrown)();
    HRESULT expected;
  } rows[] = {
      {"a failed method", E_OUTOFMEMORY, nullptr, DISP_E_EXCEPTION},
      {"memory ran out", S_OK, [] { throw std::bad_alloc(); }, E_OUTOFMEMORY},
      {"a fault record that no entry point caught (freed, or a leak is reported)", S_OK,
       [] { throw new QXSOAPFault(FaultKind::kReceiver, u"stray", false); }, E_UNEXPECTED},
      {"anything else", S_OK, [] { throw 42; }, E_UNEXPECTED},
  };
  DISPPARAMS none{};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    DispatchRecorder recorder;
    recorder.result = row.result;
    recorder.thrown = row.thrown;
    EXCEPINFO exception{};
    EXPECT_EQ(recorder.Invoke(14, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, &exception,
                              nullptr),
              row.expected);
    SysFreeString(exception.bstrSource);
    EXPECT_EQ(recorder.called.size(), 1u);
    if (row.expected == DISP_E_EXCEPTION) {
      EXPECT_EQ(exception.scode, row.result);
    }
  }
  DispatchRecorder recorder;
  recorder.result = E_OUTOFMEMORY;
  EXPECT_EQ(recorder.Invoke(14, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            E_OUTOFMEMORY)
      << "without EXCEPINFO the HRESULT itself";
}

}  // namespace
}  // namespace qxsoap
