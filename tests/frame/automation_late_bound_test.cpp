// Every method of the real class through IDispatch::Invoke: out-parameters
// written or left by the method itself (a caller's variable never freed or
// read first), each cursor method reading its own list, and wrong VARIANTs
// in every argument ending in an HRESULT.
#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>

#include "frame/late_bound_arguments.h"
#include "support/com_objects.h"

namespace qxsoap {
namespace {

using namespace std::string_view_literals;
using test::LateBoundArguments;

// Bytes that a call must neither read nor free: poisoned under
// AddressSanitizer, so a read is reported, and not a heap block, so a free
// aborts in any build.
class Untouchable {
 public:
  Untouchable() {
    std::memset(bytes_, 0xCC, sizeof bytes_);
    ASAN_POISON_MEMORY_REGION(bytes_, sizeof bytes_);
  }
  ~Untouchable() { ASAN_UNPOISON_MEMORY_REGION(bytes_, sizeof bytes_); }
  // Inside the block: a BSTR's length would be read just before it.
  void* Address() { return bytes_ + 16; }

 private:
  alignas(16) unsigned char bytes_[64];
};

bool IsArgumentOut(const ParamInfo& param) {
  return param.direction == Direction::kOut || param.direction == Direction::kInOut;
}

std::string Narrow(std::u16string_view text) { return {text.begin(), text.end()}; }

// The list a cursor method reads: its name without GetFirst/GetNext and
// without the "12" of the SOAP 1.2 forms.
std::u16string ListOf(std::u16string_view method) {
  method.remove_prefix(method.starts_with(u"GetFirst") ? 8 : 7);
  if (method.ends_with(u"12")) method.remove_suffix(2);
  return std::u16string(method);
}

// Two records in every list and a literal body. The first field of record 0
// names its list; record 1 is all "text", which the look-ups of
// LateBoundArguments ask for.
qxcom::ComPtr<Iqxsoapmsg2> FilledObject(IStorage* storage) {
  auto object = test::NewHandlerObject();
  std::deque<qxcom::Bstr> strings;
  auto s = [&](std::u16string_view v) {
    return strings.emplace_back(SysAllocStringLen(v.data(), UINT(v.size()))).get();
  };
  const qxcom::Variant content = test::LongVariant(7), none;
  BSTR t = s(u"text"), xml = s(u"<text/>");
  std::vector<VARIANT_BOOL> ok(17, VARIANT_FALSE);
  object->SetBodyElemLiteral(xml, t, &ok[16]);
  for (int record = 0; record < 2; ++record) {
    auto first = [&](std::u16string_view list) { return record == 0 ? s(list) : t; };
    VARIANT_BOOL* added = &ok[record * 8];
    object->AddHeaderElem(first(u"HeaderElem"), t, *content.get(), VARIANT_TRUE, nullptr, added++);
    object->AddHeaderElemLiteral(first(u"HeaderElemLiteral"), t, xml, VARIANT_TRUE, nullptr,
                                 nullptr, added++);
    object->AddFaultHeaderElem(first(u"FaultHeaderElem"), t, *content.get(), VARIANT_TRUE,
                               nullptr, added++);
    object->AddFaultHeaderElemLiteral(first(u"FaultHeaderElemLiteral"), t, xml, VARIANT_TRUE,
                                      nullptr, nullptr, added++);
    object->AddFaultDetailElem(first(u"FaultDetailElem"), t, *content.get(), added++);
    object->AddMethodParam(first(u"MethodParam"), t, *content.get(), VARIANT_TRUE, VARIANT_FALSE,
                           added++);
    object->AddDIMEAttachmentReq(first(u"DIMEAttachmentReq"), t, 3, storage, *none.get(), added++);
    object->AddDIMEAttachmentResp(first(u"DIMEAttachmentResp"), t, 3, storage, *none.get(),
                                  added++);
    object->AddSOAP12ReasonText(first(u"SOAP12ReasonText"), record == 0 ? s(u"en") : t);
  }
  EXPECT_TRUE(std::ranges::all_of(ok, [](VARIANT_BOOL b) { return b == VARIANT_TRUE; }));
  return object;
}

// On an object with empty lists and on one with records, through both
// VARIANT references and variables of the parameter's own type.
TEST(AutomationLateBound, OutsAreWrittenWhenFoundAndLeftOtherwiseNeverFreed) {
  Untouchable garbage;
  const qxcom::ComPtr<IStorage> storage = test::NewStorage();
  int cursorMethods = 0;
  for (const auto outs : {LateBoundArguments::kVariantRefs, LateBoundArguments::kOwnType}) {
    for (const bool filled : {false, true}) {
      for (const MethodInfo& method : Methods()) {
        if (std::ranges::none_of(method.params, IsArgumentOut)) continue;
        SCOPED_TRACE(Narrow(method.name) + (filled ? " with records" : " on empty lists") +
                     (outs == LateBoundArguments::kOwnType ? ", own types" : ", VARIANTs"));
        auto object = filled ? FilledObject(storage.get()) : test::NewHandlerObject();
        LateBoundArguments args(method, outs, garbage.Address());
        qxcom::Variant result;
        ASSERT_EQ(object->Invoke(method.id, IID_NULL, 0, DISPATCH_METHOD, args.get(),
                                 result.get(), nullptr, nullptr),
                  S_OK);
        const bool cursor = std::ranges::any_of(
            method.params, [](const ParamInfo& p) { return p.name == u"plPosition"sv; });
        if (cursor && filled) {
          ++cursorMethods;
          EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE) << "GetNext from -1 reads record 0";
          EXPECT_EQ(args.Text(0), ListOf(method.name));
        }
        size_t n = 0;
        for (const ParamInfo& param : method.params) {
          if (!IsArgumentOut(param)) continue;
          SCOPED_TRACE(Narrow(param.name));
          if (outs == LateBoundArguments::kVariantRefs && param.type != VT_VARIANT &&
              filled) {
            EXPECT_EQ(V_VT(&args.Value(n)), param.type);
          }
          const bool written = args.Written(n++);
          // A VARIANT content is written on every call, VT_EMPTY at the end.
          if (param.type != VT_VARIANT || filled) {
            EXPECT_EQ(written, filled);
          }
        }
      }
    }
  }
  EXPECT_EQ(cursorMethods, 2 * 26);
}

// Each is a VARIANT a careless or hostile client may send; the references
// and the array are null.
constexpr struct {
  const char* why;
  VARTYPE vt;
} kHostileRows[] = {
    {"a reference to nothing", VT_BYREF | VT_I4},
    {"a string reference to nothing", VT_BYREF | VT_BSTR},
    {"a VARIANT reference to nothing", VT_BYREF | VT_VARIANT},
    {"a byte array without an array", VT_ARRAY | VT_UI1},
    {"a null interface", VT_DISPATCH},
    {"SQL null", VT_NULL},
    {"a type tag that is no type", 0x0FFF},
};

TEST(AutomationLateBound, EveryArgumentOfEveryMethodSurvivesWrongVariants) {
  for (const MethodInfo& method : Methods()) {
    for (size_t param = 0; param < method.ArgCount(); ++param) {
      for (const auto& row : kHostileRows) {
        SCOPED_TRACE(testing::Message() << "DISPID " << method.id << " argument " << param
                                        << ": " << row.why);
        auto object = test::NewHandlerObject();
        LateBoundArguments args(method, LateBoundArguments::kVariantRefs, nullptr, param, row.vt);
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
