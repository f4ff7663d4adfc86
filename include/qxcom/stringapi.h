// qxcom/stringapi.h: conversion between UTF-16 text and multibyte text with
// the Windows calls and their buffer-size protocol.
//
// Code pages: every multibyte code page that qxcom knows is UTF-8. CP_ACP,
// CP_OEMCP and CP_THREAD_ACP behave exactly as CP_UTF8 (GetACP reports
// 65001), which is what Windows does when the system code page is UTF-8.
// Any other code page fails with ERROR_INVALID_PARAMETER.
//
// Threads: every function may be called from any thread. Failures set the
// calling thread's last error (qxcom/winerror.h); running out of memory
// fails a conversion with ERROR_NOT_ENOUGH_MEMORY.
#ifndef QXCOM_STRINGAPI_H_
#define QXCOM_STRINGAPI_H_

#include "qxcom/types.h"
#include "qxcom/winerror.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

// Fail instead of replacing ill-formed input with U+FFFD.
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080

extern "C" {

// The process's ANSI and OEM code pages: always CP_UTF8.
UINT GetACP();
UINT GetOEMCP();

// Converts `length` UTF-16 units of `text` (-1: up to and including its
// terminating null) to UTF-8 in `out`, which holds `capacity` bytes.
// With `capacity` 0, writes nothing and returns the bytes needed. Returns the
// bytes written (the null included when `length` was -1), or 0 on failure:
// ERROR_INVALID_PARAMETER for a null `text`, a `length` of 0 or below -1, a
// null `out` with a non-zero capacity, an unknown code page, or a non-null
// `defaultChar`/`usedDefaultChar` (UTF-8 has no default character);
// ERROR_INVALID_FLAGS for flags other than WC_ERR_INVALID_CHARS;
// ERROR_INSUFFICIENT_BUFFER when `capacity` is too small (nothing is
// written then); ERROR_NO_UNICODE_TRANSLATION for a lone
// surrogate under WC_ERR_INVALID_CHARS. Without that flag a lone surrogate
// becomes U+FFFD.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out,
                        int capacity, LPCSTR defaultChar, BOOL* usedDefaultChar);

// Converts `length` bytes of UTF-8 `text` (-1: up to and including its
// terminating null) to UTF-16 in `out`, which holds `capacity` units. The
// size protocol and the failures are those of WideCharToMultiByte (flags:
// MB_ERR_INVALID_CHARS). Each maximal ill-formed byte sequence becomes one
// U+FFFD unless MB_ERR_INVALID_CHARS asks for failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out,
                        int capacity);

}  // extern "C"

#endif  // QXCOM_STRINGAPI_H_
