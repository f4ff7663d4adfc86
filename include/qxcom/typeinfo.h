// qxcom/typeinfo.h: ITypeInfo and the descriptions it hands out (TYPEATTR,
// FUNCDESC, ELEMDESC, TYPEDESC, PARAMDESC), with the Windows names, field
// order and vtable order, so that a client that asks an automation object
// about its methods (IDispatch::GetTypeInfo) compiles and runs unchanged.
//
// Threads: a type description may be read from any thread; the structures
// it hands out belong to the caller until released through the same object.
#ifndef QXCOM_TYPEINFO_H_
#define QXCOM_TYPEINFO_H_

#include "qxcom/types.h"
#include "qxcom/unknwn.h"

typedef uintptr_t ULONG_PTR;
typedef DWORD HREFTYPE;

struct ITypeComp;
struct ITypeLib;
typedef struct tagVARDESC VARDESC;
typedef struct tagARRAYDESC ARRAYDESC;

// The member id that stands for the type itself (GetDocumentation) or for
// "no member".
#define MEMBERID_NIL DISPID_UNKNOWN

enum TYPEKIND {
  TKIND_ENUM = 0,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,
  TKIND_DISPATCH,
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION,
  TKIND_MAX
};

// TYPEATTR::wTypeFlags.
#define TYPEFLAG_FAPPOBJECT 0x1
#define TYPEFLAG_FCANCREATE 0x2
#define TYPEFLAG_FLICENSED 0x4
#define TYPEFLAG_FPREDECLID 0x8
#define TYPEFLAG_FHIDDEN 0x10
#define TYPEFLAG_FCONTROL 0x20
#define TYPEFLAG_FDUAL 0x40
#define TYPEFLAG_FNONEXTENSIBLE 0x80
#define TYPEFLAG_FOLEAUTOMATION 0x100
#define TYPEFLAG_FRESTRICTED 0x200
#define TYPEFLAG_FAGGREGATABLE 0x400
#define TYPEFLAG_FREPLACEABLE 0x800
#define TYPEFLAG_FDISPATCHABLE 0x1000
#define TYPEFLAG_FREVERSEBIND 0x2000
#define TYPEFLAG_FPROXY 0x4000

// A type: a base VARIANT type, or VT_PTR / VT_SAFEARRAY with the pointed-to
// type in lptdesc.
typedef struct tagTYPEDESC {
  union {
    struct tagTYPEDESC* lptdesc;
    ARRAYDESC* lpadesc;
    HREFTYPE hreftype;
  };
  VARTYPE vt;
} TYPEDESC;

typedef struct tagPARAMDESCEX {
  ULONG cBytes;
  VARIANTARG varDefaultValue;
} PARAMDESCEX, *LPPARAMDESCEX;

// PARAMDESC::wParamFlags.
#define PARAMFLAG_NONE 0x0
#define PARAMFLAG_FIN 0x1
#define PARAMFLAG_FOUT 0x2
#define PARAMFLAG_FLCID 0x4
#define PARAMFLAG_FRETVAL 0x8
#define PARAMFLAG_FOPT 0x10
#define PARAMFLAG_FHASDEFAULT 0x20
#define PARAMFLAG_FHASCUSTDATA 0x40

typedef struct tagPARAMDESC {
  LPPARAMDESCEX pparamdescex;  // null unless PARAMFLAG_FHASDEFAULT
  USHORT wParamFlags;
} PARAMDESC;

typedef struct tagIDLDESC {
  ULONG_PTR dwReserved;
  USHORT wIDLFlags;
} IDLDESC;

// A parameter or a return type: its type and, for parameters, its direction.
typedef struct tagELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  };
} ELEMDESC;

enum FUNCKIND { FUNC_VIRTUAL = 0, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH };
enum INVOKEKIND {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8
};
enum CALLCONV {
  CC_FASTCALL = 0,
  CC_CDECL = 1,
  CC_MSCPASCAL,
  CC_PASCAL = CC_MSCPASCAL,
  CC_MACPASCAL,
  CC_STDCALL,
  CC_FPFASTCALL,
  CC_SYSCALL,
  CC_MPWCDECL,
  CC_MPWPASCAL,
  CC_MAX
};

// One method: its member id (the DISPID), its parameters in declaration
// order, its return type and where it sits in the vtable.
typedef struct tagFUNCDESC {
  MEMBERID memid;
  SCODE* lprgscode;
  ELEMDESC* lprgelemdescParam;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  SHORT cParams;
  SHORT cParamsOpt;
  SHORT oVft;
  SHORT cScodes;
  ELEMDESC elemdescFunc;
  WORD wFuncFlags;
} FUNCDESC;

// The type as a whole: identifier, kind, member counts and flags.
typedef struct tagTYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  LPOLESTR lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
} TYPEATTR;

// The description of one type. Structures handed out by GetTypeAttr and
// GetFuncDesc are the caller's until passed back to ReleaseTypeAttr and
// ReleaseFuncDesc of the same object; strings handed out (GetNames,
// GetDocumentation) are new BSTRs the caller frees. Null out-pointers give
// E_POINTER (GetDocumentation skips the ones that are null, as on Windows);
// members the type does not have give TYPE_E_ELEMENTNOTFOUND; operations a
// description does not support give E_NOTIMPL.
struct ITypeInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** compiler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** function) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** variable) = 0;
  // Stores the member's name, then its parameter names, up to `capacity`
  // strings, and their number in *count.
  virtual HRESULT STDMETHODCALLTYPE GetNames(MEMBERID member, BSTR* names, UINT capacity,
                                             UINT* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* flags) = 0;
  // As IDispatch::GetIDsOfNames: names[0] a member, the rest its parameters.
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
  // As IDispatch::Invoke on `instance`, an object of this interface.
  virtual HRESULT STDMETHODCALLTYPE Invoke(PVOID instance, MEMBERID member, WORD flags,
                                           DISPPARAMS* args, VARIANT* result,
                                           EXCEPINFO* exception, UINT* argError) = 0;
  // Name, documentation string, help context and help file of a member, or
  // of the type itself for MEMBERID_NIL.
  virtual HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID member, BSTR* name,
                                                     BSTR* documentation, DWORD* helpContext,
                                                     BSTR* helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID member, INVOKEKIND kind, BSTR* dll,
                                                BSTR* name, WORD* ordinal) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE type, ITypeInfo** info) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID member, INVOKEKIND kind,
                                                    PVOID* address) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid,
                                                   PVOID* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMops(MEMBERID member, BSTR* marshalling) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** library, UINT* index) = 0;
  virtual void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attributes) = 0;
  virtual void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* function) = 0;
  virtual void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* variable) = 0;
};

#endif  // QXCOM_TYPEINFO_H_
