// A COM object test double that counts its references, so that tests can
// check that copies AddRef and frees Release exactly once each.
#ifndef QXSOAP_TESTS_PLATFORM_COUNTING_UNKNOWN_H_
#define QXSOAP_TESTS_PLATFORM_COUNTING_UNKNOWN_H_

#include "platform/test_server/test_server.h"
#include "qxcom.h"

// Lives on the test's stack: the count is observed, the object never deletes
// itself. Starts with one reference, the test's own.
class CountingUnknown : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return AnswerQuery<IDispatch>(this, iid, IID_IDispatch, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  ULONG references() const { return references_; }

 private:
  ULONG references_ = 1;
};

#endif  // QXSOAP_TESTS_PLATFORM_COUNTING_UNKNOWN_H_
