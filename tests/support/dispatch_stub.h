// support/dispatch_stub.h: the IDispatch half of a test double that is only
// ever called early-bound.
#ifndef QXSOAP_TESTS_SUPPORT_DISPATCH_STUB_H_
#define QXSOAP_TESTS_SUPPORT_DISPATCH_STUB_H_

#include "qxcom.h"

namespace qxsoap::test {

// `Interface` (IDispatch or an interface derived from it) with IDispatch's
// own methods answering E_NOTIMPL.
template <typename Interface>
class DispatchStub : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SUPPORT_DISPATCH_STUB_H_
