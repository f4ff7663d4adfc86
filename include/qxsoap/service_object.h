// qxsoap/service_object.h: a SOAP service written as a plain C++ class with
// one method table, served as an automation object (IUnknown + IDispatch)
// from a loadable module of its own, which `qxsoap serve --service PROGID`
// creates by ProgID and calls by operation name.
//
//   class Calculator {
//    public:
//     qxcom::Variant Add(qxsoap::service::Arguments& args) {
//       qxcom::Variant a = args.As(0, VT_I4), b = args.As(1, VT_I4);
//       if (V_I4(b.get()) == 0) throw qxsoap::service::ServiceError(E_INVALIDARG, u"b is 0");
//       qxcom::Variant sum;
//       V_VT(sum.get()) = VT_I4;
//       V_I4(sum.get()) = V_I4(a.get()) + V_I4(b.get());
//       return sum;
//     }
//   };
//   constexpr qxsoap::service::Method<Calculator> kCalculatorMethods[] = {
//       {u"add", {u"a", u"b"}, &Calculator::Add},
//   };
//   const CLSID CLSID_Calculator = {...};  // a GUID of your own
//   constexpr qxsoap::service::ServiceClass kClasses[] = {
//       {&CLSID_Calculator, u"example.Calculator", u"example.Calculator.1",
//        u"Calculator service",
//        &qxsoap::service::CreateServiceObject<Calculator, kCalculatorMethods>},
//   };
//   QXSOAP_SERVICE_MODULE(kClasses)
//
// Build the file as a shared library linked with qxsoap::qxsoapservice
// (CMake) and register it once with `qxsoap register path/to/libcalc.so`.
//
// Calls. Method DISPIDs are 1, 2, ... in table order; GetIDsOfNames finds
// methods and their parameters by name in any letter case (a parameter's
// id is its 0-based position). Invoke takes DISPATCH_METHOD calls with
// exactly the table's parameters (positional arguments in the usual
// reverse order of DISPPARAMS::rgvarg, named arguments by position).
// Out-parameters are passed as VT_BYREF | VT_VARIANT and written with
// Arguments::SetOut. Errors Invoke returns: DISP_E_MEMBERNOTFOUND (no such
// DISPID, or not a method call), DISP_E_UNKNOWNINTERFACE (reserved IID not
// IID_NULL), DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTFOUND,
// DISP_E_PARAMNOTOPTIONAL, DISP_E_TYPEMISMATCH and DISP_E_OVERFLOW (with
// the argument's rgvarg index in *argError), and DISP_E_EXCEPTION for a
// ServiceError or any other C++ exception out of the method: EXCEPINFO
// (when given) then holds its scode (E_OUTOFMEMORY for std::bad_alloc,
// E_FAIL for another std::exception, E_UNEXPECTED for anything else), its
// description and, as bstrSource, the class's ProgID. No exception leaves
// the object.
//
// Threads: objects follow the apartment model (one thread at a time);
// different objects may be used on different threads at once.
#ifndef QXSOAP_SERVICE_OBJECT_H_
#define QXSOAP_SERVICE_OBJECT_H_

#include <array>
#include <atomic>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include <qxcom.h>
#include <qxcom/server.h>

namespace qxsoap::service {

// The most parameters one method may declare.
inline constexpr size_t kMaxParams = 16;

// The error a service method throws to fail its call with a fault: Invoke
// returns DISP_E_EXCEPTION with `scode` and `description` in EXCEPINFO.
class ServiceError : public std::exception {
 public:
  ServiceError(HRESULT scode, std::u16string description)
      : scode_(scode), description_(std::move(description)) {}
  HRESULT scode() const { return scode_; }
  const std::u16string& description() const { return description_; }
  const char* what() const noexcept override { return "service error"; }

 private:
  HRESULT scode_;
  std::u16string description_;
};

// Thrown by Arguments when an argument does not fit the method: Invoke
// returns `hr` (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW, ...) itself and the
// argument's rgvarg index in *argError. Methods need not catch it.
struct ArgumentError {
  HRESULT hr;
  UINT argIndex;
};

// The arguments of one call, in the method's declaration order. Valid for
// the duration of the call.
class Arguments {
 public:
  Arguments(VARIANTARG* const* args, const UINT* argIndex, size_t count)
      : args_(args), argIndex_(argIndex), count_(count) {}

  size_t size() const { return count_; }
  // Argument `i` as passed, read through VT_BYREF | VT_VARIANT. The caller
  // keeps ownership.
  const VARIANT& operator[](size_t i) const;
  // A deep copy of argument `i`, any VT_BYREF read through. Throws
  // ArgumentError when it cannot be copied.
  qxcom::Variant Copy(size_t i) const;
  // Argument `i` converted to `type` with VariantChangeType (a value
  // already of that type is copied). Throws ArgumentError with the
  // conversion's HRESULT when it does not convert.
  qxcom::Variant As(size_t i, VARTYPE type) const;
  // Writes a copy of `value` to out-argument `i`, which must be
  // VT_BYREF | VT_VARIANT (its old value is cleared first). Throws
  // ArgumentError(DISP_E_TYPEMISMATCH) for any other argument, or with the
  // copy's HRESULT when it fails.
  void SetOut(size_t i, const VARIANT& value);
  // Throws ArgumentError(hr) naming argument `i`: for a method's own checks.
  [[noreturn]] void Reject(size_t i, HRESULT hr) const;

 private:
  VARIANTARG* const* args_;
  const UINT* argIndex_;
  size_t count_;
};

// One operation of `Service`: its name, its parameter names in order (the
// unused entries null) and the member function that runs it. The function
// returns the call's result (VT_EMPTY for none).
template <typename Service>
struct Method {
  const char16_t* name;
  std::array<const char16_t*, kMaxParams> params;
  qxcom::Variant (Service::*run)(Arguments& args);
};

// The lock count of one module: one lock per living object and per
// outstanding IClassFactory::LockServer(TRUE). DllCanUnloadNow answers S_OK
// at 0. Safe from any thread.
class ModuleLock {
 public:
  void Lock() { ++count_; }
  // Takes one lock off; never below 0 (a stray LockServer(FALSE)).
  void Unlock() {
    LONG count = count_.load();
    while (count > 0 && !count_.compare_exchange_weak(count, count - 1)) {
    }
  }
  LONG Count() const { return count_; }

 private:
  std::atomic<LONG> count_{0};
};

// What an object of a service class needs to know about one method.
struct MethodShape {
  std::u16string_view name;
  std::span<const char16_t* const> params;  // the non-null names only
};

// IUnknown and IDispatch of every service object; ServiceObject below
// supplies the table and the calls.
class DispatchObject : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // No type information: GetTypeInfoCount gives 0, GetTypeInfo
  // DISP_E_BADINDEX.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  // names[0] a method, the others its parameters; unknown names get
  // DISPID_UNKNOWN and the result DISP_E_UNKNOWNNAME.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID reserved, LPOLESTR* names, UINT count,
                                          LCID locale, DISPID* ids) override;
  // *result (when given) receives the method's result on success; its old
  // content is not freed, as for any [out, retval].
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID reserved, LCID locale, WORD flags,
                                   DISPPARAMS* args, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override;

 protected:
  DispatchObject(ModuleLock& lock, const OLECHAR* source) : lock_(lock), source_(source) {
    lock_.Lock();
  }
  virtual ~DispatchObject() { lock_.Unlock(); }

  virtual size_t MethodCount() const = 0;
  virtual MethodShape Shape(size_t method) const = 0;
  virtual qxcom::Variant Call(size_t method, Arguments& args) = 0;

 private:
  // Runs the method and turns what it throws into Invoke's result.
  HRESULT Run(size_t method, Arguments& args, VARIANT* result, EXCEPINFO* exception,
              UINT* argError) noexcept;

  std::atomic<ULONG> refCount_{0};
  ModuleLock& lock_;
  const OLECHAR* source_;
};

// A Service object served through `kTable`. Service must be default
// constructible; one is made per object.
template <typename Service, const auto& kTable>
class ServiceObject final : public DispatchObject {
 public:
  ServiceObject(ModuleLock& lock, const OLECHAR* source) : DispatchObject(lock, source) {}

 private:
  size_t MethodCount() const override { return std::size(kTable); }
  MethodShape Shape(size_t method) const override {
    const auto& params = kTable[method].params;
    size_t count = 0;
    while (count < params.size() && params[count]) ++count;
    return {kTable[method].name, std::span<const char16_t* const>(params.data(), count)};
  }
  qxcom::Variant Call(size_t method, Arguments& args) override {
    return (service_.*kTable[method].run)(args);
  }

  Service service_;
};

// Queries the new object `created` (no references yet) for `iid`; a failed
// query frees it. E_NOINTERFACE for an interface it does not have.
HRESULT QueryNewObject(DispatchObject* created, REFIID iid, void** object);

// The creation function of a ServiceClass: a new object queried for `iid`.
// CLASS_E_NOAGGREGATION for an `outer` object, E_POINTER for a null
// `object`, E_OUTOFMEMORY when it cannot be made (Service's constructor
// threw included), E_NOINTERFACE.
template <typename Service, const auto& kTable>
HRESULT CreateServiceObject(ModuleLock& lock, const OLECHAR* progId, IUnknown* outer, REFIID iid,
                            void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  try {
    return QueryNewObject(new ServiceObject<Service, kTable>(lock, progId), iid, object);
  } catch (...) {  // Service's constructor, or no memory
    return E_OUTOFMEMORY;
  }
}

// One class a module serves: its identifier, version-independent and
// versioned ProgIDs (the first resolves to the second through CurVer), a
// description, and its creation function.
struct ServiceClass {
  const CLSID* clsid;
  const OLECHAR* progId;
  const OLECHAR* versionedProgId;
  const OLECHAR* description;
  HRESULT (*create)(ModuleLock& lock, const OLECHAR* progId, IUnknown* outer, REFIID iid,
                    void** object);
};

// The module exports, for QXSOAP_SERVICE_MODULE.
// DllGetClassObject: a new class factory of the class `clsid` queried for
// `iid` (IUnknown or IClassFactory); CLASS_E_CLASSNOTAVAILABLE for a class
// the module does not serve.
HRESULT GetClassObject(std::span<const ServiceClass> classes, ModuleLock& lock, REFCLSID clsid,
                       REFIID iid, void** object);
// DllRegisterServer: for each class, its ProgIDs (with CurVer) and
// CLSID\{clsid} (description, ProgID, VersionIndependentProgID,
// Programmable, InprocServer32 = the path of the module holding
// `moduleAddress`, ThreadingModel Apartment), all in one registry
// transaction. E_FAIL when the module's path cannot be found.
HRESULT RegisterClasses(std::span<const ServiceClass> classes, const void* moduleAddress);
// DllUnregisterServer: removes what RegisterClasses wrote; the shared CLSID
// key stays.
HRESULT UnregisterClasses(std::span<const ServiceClass> classes);

}  // namespace qxsoap::service

// Defines the four exports of a service module serving `classes` (an array
// of ServiceClass). Use once per module, at namespace scope. The module
// finds its own path through a symbol of its own, so a registration made
// from a program that links another module names this one.
#define QXSOAP_SERVICE_MODULE(classes)                                                        \
  namespace {                                                                                 \
  qxsoap::service::ModuleLock qxsoapModuleLock;                                               \
  }                                                                                           \
  extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {           \
    return qxsoap::service::GetClassObject(classes, qxsoapModuleLock, clsid, iid, object);    \
  }                                                                                           \
  extern "C" HRESULT DllCanUnloadNow() { return qxsoapModuleLock.Count() == 0 ? S_OK : S_FALSE; } \
  extern "C" HRESULT DllRegisterServer() {                                                    \
    return qxsoap::service::RegisterClasses(classes, &qxsoapModuleLock);                    \
  }                                                                                           \
  extern "C" HRESULT DllUnregisterServer() { return qxsoap::service::UnregisterClasses(classes); }

#endif  // QXSOAP_SERVICE_OBJECT_H_
