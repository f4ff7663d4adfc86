// The object's identity and aggregation.
#include <gtest/gtest.h>

#include "frame/automation_test_object.h"
#include "qxsoapmsg.h"

namespace qxsoap {
namespace {

using test::NewHandlerObject;

// An outer object for aggregation: counts the references delegated to it.
class Outer final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  ULONG references = 1;
};

TEST(AutomationLifecycle, AnswersItsThreeInterfacesOnly) {
  auto object = NewHandlerObject();
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_Iqxsoapmsg2}) {
    void* found = nullptr;
    EXPECT_EQ(object->QueryInterface(*iid, &found), S_OK);
    EXPECT_EQ(found, static_cast<Iqxsoapmsg2*>(object.get())) << "one identity";
    object->Release();
  }
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST(AutomationLifecycle, AggregationDelegatesToTheOuterObject) {
  Outer outer;
  void* object = nullptr;
  EXPECT_EQ(qxsoapmsg2::CreateInstance(&outer, IID_Iqxsoapmsg2, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);

  ASSERT_EQ(qxsoapmsg2::CreateInstance(&outer, IID_IUnknown, &object), S_OK);
  auto* inner = static_cast<IUnknown*>(object);
  void* automation = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_Iqxsoapmsg2, &automation), S_OK);
  EXPECT_EQ(outer.references, 2u) << "the interface's reference belongs to the outer object";
  auto* handler = static_cast<Iqxsoapmsg2*>(automation);
  VARIANT_BOOL fault = VARIANT_TRUE;
  EXPECT_EQ(handler->IsSOAPFault(&fault), S_OK);
  EXPECT_EQ(fault, VARIANT_FALSE);
  void* viaOuter = reinterpret_cast<void*>(1);
  EXPECT_EQ(handler->QueryInterface(IID_IDispatch, &viaOuter), E_NOINTERFACE)
      << "the interface query is the outer object's";
  handler->Release();
  EXPECT_EQ(outer.references, 1u);
  EXPECT_EQ(inner->Release(), 0u);
}

}  // namespace
}  // namespace qxsoap
