// The automation class qxsoapmsg2: the object a host creates for one message
// exchange. It owns one MessageHandler and turns every Iqxsoapmsg2 method's
// automation arguments into the handler's types and back; IDispatch runs
// through the method table (dispatch.h), so a late-bound call reaches the
// same method as a call through the vtable.
#ifndef QXSOAP_FRAME_AUTOMATION_OBJECT_H_
#define QXSOAP_FRAME_AUTOMATION_OBJECT_H_

#include <memory>

#include "frame/message_handler.h"
#include "qxsoapmsg.h"

namespace qxsoap {

class qxsoapmsg2 final : public Iqxsoapmsg2 {
 public:
  // Creates an object and stores its interface `iid` in *object (null on
  // failure). With an `outer` object the new one is aggregated: only
  // IUnknown may be asked for (CLASS_E_NOAGGREGATION otherwise), *object is
  // then the inner, non-delegating IUnknown, and every other interface
  // delegates its IUnknown calls to `outer`. E_POINTER for a null `object`,
  // E_FAIL when the object or its handler cannot be allocated,
  // E_NOINTERFACE for an interface the class does not have. Each living
  // object holds one module lock.
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object);

  // Answers IUnknown, IDispatch and Iqxsoapmsg2; E_NOINTERFACE (and a null
  // *object) for anything else, E_POINTER for a null `object`. Delegated to
  // the outer object when aggregated.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID reserved, LPOLESTR* names, UINT count,
                                          LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID reserved, LCID locale, WORD flags,
                                   DISPPARAMS* args, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override;

#define QX_IN(type, name) type name
#define QX_OUT(type, name) type* name
#define QX_INOUT(type, name) type* name
#define QX_RETVAL(type, name) type* name
#define QX_METHOD(id, name, params) HRESULT STDMETHODCALLTYPE name params override;
#include "resources/methods.def"
#undef QX_METHOD
#undef QX_IN
#undef QX_OUT
#undef QX_INOUT
#undef QX_RETVAL

 private:
  // The object's own IUnknown: the one that counts references and answers
  // the interface query. Counts without atomics (apartment model); the
  // Release that brings the count to 0 destroys the object, and a Release
  // at 0 does nothing.
  class Inner final : public IUnknown {
   public:
    explicit Inner(qxsoapmsg2& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

   private:
    qxsoapmsg2& owner_;
    ULONG refCount_ = 0;
  };

  // The shapes the Iqxsoapmsg2 methods share (automation_adapters.h); each
  // method names the handler call and its converted arguments.
  template <typename Read, typename At, typename... Outs>
  HRESULT HandOutFrom(Read read, At&& at, VARIANT_BOOL* result, const Outs&... outs);
  template <typename Add, typename... Args>
  HRESULT AddWithContent(Add add, VARIANT_BOOL* result, const Args&... args);
  template <typename Call, typename... Args>
  HRESULT Answer(Call call, VARIANT_BOOL* result, const Args&... args);
  template <typename Call, typename... Args>
  HRESULT Run(Call call, const Args&... args);
  template <typename Count>
  HRESULT Number(Count count, LONG* number);

  qxsoapmsg2(IUnknown* outer, std::unique_ptr<MessageHandler> handler);
  ~qxsoapmsg2();

  Inner inner_;
  IUnknown* controlling_;  // the outer object, or inner_ when not aggregated
  std::unique_ptr<MessageHandler> handler_;
};

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_AUTOMATION_OBJECT_H_
