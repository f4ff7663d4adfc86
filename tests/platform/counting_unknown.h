// A COM object test double that counts its references, so that tests can
// check that copies AddRef and frees Release exactly once each.
#ifndef QXSOAP_TESTS_PLATFORM_COUNTING_UNKNOWN_H_
#define QXSOAP_TESTS_PLATFORM_COUNTING_UNKNOWN_H_

#include "platform/test_server/test_server.h"
#include "qxcom.h"
#include "support/dispatch_stub.h"

// Lives on the test's stack: the count is observed, the object never deletes
// itself. Starts with one reference, the test's own.
class CountingUnknown : public qxsoap::test::DispatchStub<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return AnswerQuery<IDispatch>(this, iid, IID_IDispatch, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  ULONG references() const { return references_; }

 private:
  ULONG references_ = 1;
};

#endif  // QXSOAP_TESTS_PLATFORM_COUNTING_UNKNOWN_H_
