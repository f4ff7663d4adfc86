// support/counted_object.h: a minimal COM object for tests that hand the
// handler an object and check the references it keeps. It can pretend to
// offer IStorage: the handler only keeps and hands back attachment objects,
// it never calls their storage methods.
#ifndef QXSOAP_TESTS_SUPPORT_COUNTED_OBJECT_H_
#define QXSOAP_TESTS_SUPPORT_COUNTED_OBJECT_H_

#include "qxcom/owned.h"
#include "qxcom/unknwn.h"

namespace qxsoap::test {

class CountedObject final : public IUnknown {
 public:
  // A new object with one reference, owned by the returned pointer.
  // `answersStorage` decides whether QueryInterface(IID_IStorage) succeeds.
  static qxcom::ComPtr<CountedObject> Create(bool answersStorage) {
    return qxcom::ComPtr<CountedObject>::Adopt(new CountedObject(answersStorage));
  }

  ULONG RefCount() const { return references_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && !(answersStorage_ && iid == IID_IStorage)) return E_NOINTERFACE;
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  explicit CountedObject(bool answersStorage) : answersStorage_(answersStorage) {}
  ~CountedObject() = default;

  bool answersStorage_;
  ULONG references_ = 1;
};

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SUPPORT_COUNTED_OBJECT_H_
