// qxcom/winerror.h: Win32 error codes with their Windows values, and the
// calling thread's last-error value that the Win32-style calls of qxcom
// (text conversion, event log) set when they fail. Registry calls return
// their code directly, as on Windows.
#ifndef QXCOM_WINERROR_H_
#define QXCOM_WINERROR_H_

#include "qxcom/types.h"

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_WRITE_FAULT 29L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_BUSY 170L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_BADDB 1009L
#define ERROR_BADKEY 1010L
#define ERROR_REGISTRY_IO_FAILED 1016L
#define ERROR_KEY_DELETED 1018L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

#define FACILITY_WIN32 7
// The HRESULT that carries a Win32 error code (0 stays S_OK).
#define HRESULT_FROM_WIN32(code)                                   \
  ((HRESULT)(code) <= 0 ? (HRESULT)(code)                          \
                        : (HRESULT)(((uint32_t)(code) & 0x0000FFFF) | \
                                    (FACILITY_WIN32 << 16) | 0x80000000))

extern "C" {
// The calling thread's last error code: 0 until a call sets it. Each thread
// has its own.
DWORD GetLastError();
void SetLastError(DWORD code);
}

#endif  // QXCOM_WINERROR_H_
