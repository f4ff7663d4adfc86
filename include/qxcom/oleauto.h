// qxcom/oleauto.h: OLE Automation calls on BSTR, VARIANT and SAFEARRAY values,
// their coercions and GUID helpers, with Windows names and results.
//
// Threads: every function may be called from any thread; a value (a BSTR, a
// VARIANT, an array) is used by one thread at a time.
//
// Coercion locale. Windows coerces strings under a locale; qxcom always uses
// one invariant locale, whatever the process locale or the LCID passed:
//   - numbers read from text: optional blanks (space, tab, CR, LF, VT, FF)
//     around, optional sign, decimal digits; floating point, currency and
//     DECIMAL also take '.' as the decimal point and an exponent ("1.5e-3"),
//     floating point also "INF" and "NAN" in any letter case; integers
//     accept no fraction or exponent. Digits beyond the precision of
//     currency or DECIMAL are rounded half to even.
//   - numbers written as text: integers in plain decimal with a '-' for
//     negatives; R4 and R8 as the shortest text that reads back to the same
//     value ("0.1", "1e+21"; "INF", "-INF" and "NaN", the XML Schema
//     forms, for non-finite values);
//     currency and DECIMAL in plain decimal without trailing zeros ("12.5").
//   - booleans read from "true"/"false" in any letter case, or from numeric
//     text (non-zero is true); written as "True" and "False".
//   - dates read as ISO 8601: "yyyy-mm-dd", "hh:mm[:ss[.fff]]", and the two
//     joined by a blank or a 'T'; written rounded to the nearest second as
//     "yyyy-mm-dd hh:mm:ss", the date alone when the time is midnight, the
//     time alone on 1899-12-30 (so 0.0 is "00:00:00").
//   - a value outside the target's range is DISP_E_OVERFLOW; text that is
//     not a value of the target type is DISP_E_TYPEMISMATCH. Nothing wraps.
#ifndef QXCOM_OLEAUTO_H_
#define QXCOM_OLEAUTO_H_

#include "qxcom/types.h"
#include "qxcom/unknwn.h"

extern "C" {

// ---- BSTR ----

// Allocates a BSTR holding a copy of the null-terminated `text`. Returns
// nullptr for a null `text` or when memory runs out. Free with SysFreeString.
BSTR SysAllocString(const OLECHAR* text);

// Allocates a BSTR of `length` characters copied from `text` (which may hold
// nulls), followed by a terminating null the length does not count. When
// `text` is null the characters are zeroed for the caller to fill. Returns
// nullptr when memory runs out.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);

// Allocates a BSTR of `length` bytes copied from `bytes` (an odd length
// leaves a half character), zero-terminated. A null `bytes` leaves zeros.
BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length);

// Replaces *target with a copy of `text` (the Len form: `length` characters).
// A null `text` gives an empty string, or in the Len form keeps the old
// characters as far as they reach and zeroes the rest. `text` may point into
// *target. Returns FALSE (and leaves *target) when memory runs out.
INT SysReAllocString(BSTR* target, const OLECHAR* text);
INT SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length);

// Frees a BSTR; a null BSTR is ignored.
void SysFreeString(BSTR text);

// Length in characters (byte length / 2); 0 for a null BSTR.
UINT SysStringLen(BSTR text);

// Length in bytes, without the terminating null; 0 for a null BSTR.
UINT SysStringByteLen(BSTR text);

// Stores a new BSTR with `left` followed by `right` (either may be null) in
// *result. E_INVALIDARG for a null `result`, E_OUTOFMEMORY when memory runs
// out.
HRESULT VarBstrCat(BSTR left, BSTR right, BSTR* result);

// ---- VARIANT ----

// Sets vt to VT_EMPTY; the rest is not touched and nothing is freed.
void VariantInit(VARIANTARG* value);

// Frees what `value` owns (a BSTR, an array, an interface reference; a
// VT_BYREF value owns nothing) and leaves VT_EMPTY. DISP_E_BADVARTYPE for a
// type tag that is not a VARIANT type (nothing is freed then),
// DISP_E_ARRAYISLOCKED for a locked array.
HRESULT VariantClear(VARIANTARG* value);

// Clears `dest`, then stores a deep copy of `source`: BSTRs duplicated,
// arrays copied element by element (nested VARIANTs deep-copied), interfaces
// AddRef'd. A VT_BYREF value is copied as the pointer. The copy is made
// before `dest` is cleared, so `source` may live inside `dest`. When the copy
// fails `dest` is left VT_EMPTY; when `dest` cannot be cleared (a bad type
// tag, a locked array) it keeps its value and that error is returned.
// `dest == source` is a no-op.
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source);

// As VariantCopy, but a VT_BYREF source is dereferenced: `dest` receives a
// deep copy of the value it points at (VT_BYREF|VT_VARIANT one level deep).
HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* source);

// Coerces `source` to type `type` under the invariant locale (see top) and
// stores the result in `dest` (which may be `source`; `dest` is cleared
// first). `flags` accepts VARIANT_NOVALUEPROP, VARIANT_ALPHABOOL and
// VARIANT_LOCALBOOL for source compatibility; booleans are written as text
// "True"/"False" either way. A VT_BYREF source is dereferenced. Integer
// targets round half to even; VT_BOOL is -1 as a number and any non-zero
// number is true. VT_EMPTY converts to zero, empty text or false, and to
// VT_NULL; VT_NULL converts to nothing else; anything but VT_NULL may be
// converted to VT_EMPTY. VT_ERROR converts only to and from VT_I4 and
// VT_UI4, bit for bit. An interface converts only to the other interface
// type, by QueryInterface (a failed query returns its HRESULT); its default
// property value is never read. Arrays convert only to their own type (a
// copy). Results:
// DISP_E_OVERFLOW out of range, DISP_E_TYPEMISMATCH no conversion (for
// example VT_NULL or an interface to a number), DISP_E_BADVARTYPE unknown
// types. On failure `dest` is left unchanged, unless `dest` is `source`.
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* source, USHORT flags,
                          VARTYPE type);
HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* source, LCID locale,
                            USHORT flags, VARTYPE type);

#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02
#define VARIANT_NOUSEROVERRIDE 0x04
#define VARIANT_LOCALBOOL 0x10

// Reads a date (see top) into *result. DISP_E_TYPEMISMATCH for text that is
// not a date (or names a day that does not exist), DISP_E_OVERFLOW for a
// date outside years 100 to 9999, E_INVALIDARG for a null argument.
HRESULT VarDateFromStr(LPCOLESTR text, LCID locale, ULONG flags, DATE* result);

// Reads an unsigned 32-bit integer (see top) into *result. DISP_E_OVERFLOW
// outside 0 to 4294967295, E_INVALIDARG for a null argument; *result is
// untouched on failure.
HRESULT VarUI4FromStr(LPCOLESTR text, LCID locale, ULONG flags, ULONG* result);

// Writes a date as text (see top) into a new BSTR in *result, which the
// caller frees. DISP_E_OVERFLOW (and a null *result) outside years 100 to
// 9999, E_INVALIDARG for a null `result`.
HRESULT VarBstrFromDate(DATE value, LCID locale, ULONG flags, BSTR* result);

// ---- SAFEARRAY ----

// Creates an array of `dims` dimensions whose elements are of type `vt`
// (VT_UI1, VT_I2, VT_I4, VT_R4, VT_R8, VT_BSTR, VT_VARIANT, VT_UNKNOWN,
// VT_DISPATCH, ... any VARIANT base type). bounds[0] describes dimension 1.
// Elements start zeroed (empty VARIANTs, null BSTRs). Returns nullptr for a
// bad type, no dimensions, or when memory runs out.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds);

// One-dimensional shorthand: `count` elements from `lowerBound`.
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG count);

// Frees the elements (BSTRs freed, VARIANTs cleared, interfaces released)
// and the descriptor. DISP_E_ARRAYISLOCKED for a locked array, which is left
// whole; a null array is S_OK.
HRESULT SafeArrayDestroy(SAFEARRAY* array);

// Locks the array and stores its data pointer in *data; every successful
// call needs one SafeArrayUnaccessData.
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);

// Copies one element out into *element: a BSTR is duplicated, a VARIANT
// VariantCopy'd, an interface AddRef'd. indices[i] indexes dimension i + 1.
// DISP_E_BADINDEX out of bounds.
HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* element);

// Stores a copy of *element (same copying rules as GetElement), freeing the
// element it replaces. For a VT_BSTR array `element` is the BSTR itself, for
// interface arrays the interface pointer, otherwise a pointer to the value.
HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* element);

// Stores the address of an element in *element, without copying.
HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, LONG* indices, void** element);

// Number of dimensions; 0 for a null array.
UINT SafeArrayGetDim(SAFEARRAY* array);

// Size of one element in bytes; 0 for a null array.
UINT SafeArrayGetElemsize(SAFEARRAY* array);

// Bounds of dimension `dim` (1 = first declared). DISP_E_BADINDEX for a
// dimension outside 1..cDims.
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound);

// Element type of an array made by SafeArrayCreate.
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);

// Stores a deep copy of `source` in *copy (a null source gives a null copy).
HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy);

// ---- GUIDs ----

// Makes a new random (version 4) GUID.
HRESULT CoCreateGuid(GUID* guid);

// Writes "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hex into
// `text` and returns 39 (characters written, null included); returns 0 and
// writes nothing when `capacity` is below 39.
INT StringFromGUID2(REFGUID guid, LPOLESTR text, INT capacity);

// Reads a GUID in the braced form above (either letter case). Returns
// CO_E_CLASSSTRING for anything else.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
HRESULT IIDFromString(LPCOLESTR text, IID* iid);

}  // extern "C"

#endif  // QXCOM_OLEAUTO_H_
