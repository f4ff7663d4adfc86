// Out-parameters of every method of the real class through
// IDispatch::Invoke: a caller's variable of the parameter's own type is
// written or left by the method itself, never freed or read first, and a
// VARIANT reference receives a value only when the method wrote one.
#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "frame/automation_test_object.h"
#include "frame/late_bound_arguments.h"
#include "support/com_objects.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

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

// An [out] or [in, out] parameter: one passed as an argument by reference.
bool IsArgumentOut(const ParamInfo& param) {
  return param.direction == Direction::kOut || param.direction == Direction::kInOut;
}

bool HasOuts(const MethodInfo& method) { return std::ranges::any_of(method.params, IsArgumentOut); }

std::string Narrow(std::u16string_view text) { return {text.begin(), text.end()}; }

// An object with one record in every list and a literal body, all named
// "text": the look-ups of LateBoundArguments ask for the namespace, name,
// id and language "text", so every method with out-parameters finds one.
qxcom::ComPtr<Iqxsoapmsg2> FilledObject(IStorage* storage) {
  auto object = test::NewHandlerObject();
  qxcom::Bstr text(SysAllocString(u"text")), xml(SysAllocString(u"<text/>"));
  const qxcom::Variant content = test::LongVariant(7), none;
  BSTR t = text.get();
  VARIANT_BOOL ok[9] = {};
  object->AddHeaderElem(t, t, *content.get(), VARIANT_TRUE, nullptr, &ok[0]);
  object->AddHeaderElemLiteral(t, t, xml.get(), VARIANT_TRUE, nullptr, nullptr, &ok[1]);
  object->AddFaultHeaderElem(t, t, *content.get(), VARIANT_TRUE, nullptr, &ok[2]);
  object->AddFaultHeaderElemLiteral(t, t, xml.get(), VARIANT_TRUE, nullptr, nullptr, &ok[3]);
  object->AddFaultDetailElem(t, t, *content.get(), &ok[4]);
  object->AddMethodParam(t, t, *content.get(), VARIANT_TRUE, VARIANT_FALSE, &ok[5]);
  object->AddDIMEAttachmentReq(t, t, 3, storage, *none.get(), &ok[6]);
  object->AddDIMEAttachmentResp(t, t, 3, storage, *none.get(), &ok[7]);
  object->SetBodyElemLiteral(xml.get(), t, &ok[8]);
  object->AddSOAP12ReasonText(t, t);
  EXPECT_TRUE(std::ranges::all_of(ok, [](VARIANT_BOOL added) { return added == VARIANT_TRUE; }));
  return object;
}

// Whether the call wrote the caller's variable behind a VT_BYREF | type
// argument; what it wrote is freed.
bool TakeOwnOut(test::OwnVariable& out, const ParamInfo& param, const test::OutMarks& marks) {
  switch (param.type) {
    case VT_BSTR:
      if (out.text == marks.garbage) return false;
      SysFreeString(out.text);
      return true;
    case VT_UNKNOWN:
      if (out.object == marks.garbage) return false;
      if (out.object) out.object->Release();
      return true;
    case VT_BOOL:
      if (out.flag == marks.flag) return false;
      EXPECT_TRUE(out.flag == VARIANT_TRUE || out.flag == VARIANT_FALSE);
      return true;
    case VT_I4:
      return out.number != (param.direction == Direction::kInOut ? -1 : marks.number);
    default:
      return test::TextOf(*out.value.get()) != u"kept";
  }
}

// Runs `check` (method, filled, object) for every method with
// out-parameters, on an object with empty lists and on one with a record
// in each.
template <typename Check>
void ForEachMethodWithOuts(Check&& check) {
  const qxcom::ComPtr<IStorage> storage = test::NewStorage();
  for (const bool filled : {false, true}) {
    for (const MethodInfo& method : Methods()) {
      if (!HasOuts(method)) continue;
      SCOPED_TRACE(Narrow(method.name) + (filled ? " with records" : " on empty lists"));
      auto object = filled ? FilledObject(storage.get()) : test::NewHandlerObject();
      check(method, filled, *object.get());
    }
  }
}

TEST(AutomationLateBoundOuts, OwnTypeVariablesAreWrittenOrLeftButNeverFreed) {
  Untouchable garbage;
  const test::OutMarks marks{garbage.Address()};
  ForEachMethodWithOuts([&](const MethodInfo& method, bool filled, Iqxsoapmsg2& object) {
    test::LateBoundArguments args(method, marks);
    qxcom::Variant result;
    ASSERT_EQ(object.Invoke(method.id, IID_NULL, 0, DISPATCH_METHOD, args.get(), result.get(),
                            nullptr, nullptr),
              S_OK);
    size_t n = 0;
    for (const ParamInfo& param : method.params) {
      if (!IsArgumentOut(param)) continue;
      SCOPED_TRACE(Narrow(param.name));
      const bool written = TakeOwnOut(args.Own(n++), param, marks);
      // A VARIANT content is written on every call, VT_EMPTY at the end.
      if (param.type != VT_VARIANT || filled) {
        EXPECT_EQ(written, filled);
      }
    }
  });
}

TEST(AutomationLateBoundOuts, VariantReferencesReceiveOnlyWhatWasWritten) {
  ForEachMethodWithOuts([](const MethodInfo& method, bool filled, Iqxsoapmsg2& object) {
    test::LateBoundArguments args(method);
    size_t n = 0;
    for (const ParamInfo& param : method.params) {
      if (!IsArgumentOut(param)) continue;
      VARIANT& out = args.Out(n++);  // the position keeps its -1
      if (param.direction == Direction::kOut) test::BstrVariant(u"kept").Detach(&out);
    }
    qxcom::Variant result;
    ASSERT_EQ(object.Invoke(method.id, IID_NULL, 0, DISPATCH_METHOD, args.get(), result.get(),
                            nullptr, nullptr),
              S_OK);
    n = 0;
    for (const ParamInfo& param : method.params) {
      if (!IsArgumentOut(param)) continue;
      SCOPED_TRACE(Narrow(param.name));
      const VARIANT& out = args.Out(n++);
      const bool kept = param.direction == Direction::kInOut
                            ? V_VT(&out) == VT_I4 && V_I4(&out) == -1
                            : test::TextOf(out) == u"kept";
      if (param.type != VT_VARIANT || filled) {
        EXPECT_EQ(!kept, filled);
      }
      if (!kept && param.type != VT_VARIANT) {
        EXPECT_EQ(V_VT(&out), param.type);
      }
    }
  });
}

}  // namespace
}  // namespace qxsoap
