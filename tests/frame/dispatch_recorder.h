// A test double of Iqxsoapmsg2 expanded from the interface description:
// every method records its name and returns `result` (or throws what
// `thrown` throws, when set), and IDispatch goes
// through the same InvokeMember as the real class. A late-bound call that
// lands in the right slot records the method's own name.
#ifndef QXSOAP_TESTS_FRAME_DISPATCH_RECORDER_H_
#define QXSOAP_TESTS_FRAME_DISPATCH_RECORDER_H_

#include <string>
#include <vector>

#include "frame/dispatch.h"
#include "qxsoapmsg.h"

namespace qxsoap::test {

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

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_FRAME_DISPATCH_RECORDER_H_
