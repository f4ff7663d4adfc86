// A tiny in-process server that the object-creation tests load by path:
// one class whose objects answer a number.
#ifndef QXSOAP_TESTS_PLATFORM_TEST_SERVER_TEST_SERVER_H_
#define QXSOAP_TESTS_PLATFORM_TEST_SERVER_TEST_SERVER_H_

#include "qxcom/unknwn.h"

// {5B0F6A52-3C1E-4D8B-9A07-2E1B4C6D8F10}
inline const CLSID kTestServerClass = {
    0x5B0F6A52, 0x3C1E, 0x4D8B, {0x9A, 0x07, 0x2E, 0x1B, 0x4C, 0x6D, 0x8F, 0x10}};

// {5B0F6A52-3C1E-4D8B-9A07-2E1B4C6D8F11}
inline const IID kTestValueInterface = {
    0x5B0F6A52, 0x3C1E, 0x4D8B, {0x9A, 0x07, 0x2E, 0x1B, 0x4C, 0x6D, 0x8F, 0x11}};

// QueryInterface for a test object with one interface `Interface` (IID
// `wanted`) besides IUnknown: stores `self` and takes a reference, or stores
// null and answers E_NOINTERFACE.
template <typename Interface>
HRESULT AnswerQuery(Interface* self, REFIID iid, REFIID wanted, void** object) {
  if (!object) return E_POINTER;
  bool known = iid == IID_IUnknown || iid == wanted;
  *object = known ? self : nullptr;
  if (!known) return E_NOINTERFACE;
  self->AddRef();
  return S_OK;
}

// The one interface of the test class besides IUnknown.
struct ITestValue : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetValue(LONG* value) = 0;
};

#endif  // QXSOAP_TESTS_PLATFORM_TEST_SERVER_TEST_SERVER_H_
