// qxcom/eventlog.h: the Windows event log calls, writing to the system log.
//
// Each event becomes one syslog(3) message, "<source>: <text>", where <text>
// is the insertion strings joined by one blank. The source is written as a
// prefix rather than passed to openlog, so that a host's own openlog ident
// and facility stay as the host set them. Event types map to priorities:
// EVENTLOG_ERROR_TYPE and EVENTLOG_AUDIT_FAILURE to LOG_ERR,
// EVENTLOG_WARNING_TYPE to LOG_WARNING, the others to LOG_INFO. Category,
// event identifier and raw data have no place in a syslog line and are
// passed only to an event sink (below); the user SID is ignored.
//
// Threads: every function may be called from any thread; an event source
// handle may be shared between threads. Failures set the calling thread's
// last error (qxcom/winerror.h); running out of memory fails any call with
// ERROR_NOT_ENOUGH_MEMORY.
#ifndef QXCOM_EVENTLOG_H_
#define QXCOM_EVENTLOG_H_

#include "qxcom/types.h"
#include "qxcom/winerror.h"

typedef void* HANDLE;
typedef void* PSID;

#define EVENTLOG_SUCCESS 0x0000
#define EVENTLOG_ERROR_TYPE 0x0001
#define EVENTLOG_WARNING_TYPE 0x0002
#define EVENTLOG_INFORMATION_TYPE 0x0004
#define EVENTLOG_AUDIT_SUCCESS 0x0008
#define EVENTLOG_AUDIT_FAILURE 0x0010

extern "C" {

// Opens the event source `source` on the local computer. `server` must be
// null (there is no remote event log). Returns a handle to pass to
// ReportEvent and to close with DeregisterEventSource, or null with
// ERROR_INVALID_PARAMETER for a non-null `server` or a null or empty
// `source`. The W form takes the names as UTF-16.
HANDLE RegisterEventSourceA(LPCSTR server, LPCSTR source);
HANDLE RegisterEventSourceW(LPCWSTR server, LPCWSTR source);

// Writes one event of `type` (an EVENTLOG_* value) with the `stringCount`
// insertion strings of `strings` and `dataSize` bytes of raw `data`. `sid`
// is ignored. Returns TRUE when the event was handed to the system log or
// the sink; FALSE with ERROR_INVALID_HANDLE for a handle that is not an
// open event source, ERROR_INVALID_PARAMETER for an unknown type, a null
// `strings` with a non-zero count, a null string in it, or null `data` with
// a non-zero size. The W form converts its strings to UTF-8 (lone
// surrogates become U+FFFD).
BOOL ReportEventA(HANDLE source, WORD type, WORD category, DWORD eventId, PSID sid,
                  WORD stringCount, DWORD dataSize, LPCSTR* strings, LPVOID data);
BOOL ReportEventW(HANDLE source, WORD type, WORD category, DWORD eventId, PSID sid,
                  WORD stringCount, DWORD dataSize, LPCWSTR* strings, LPVOID data);

// Closes an event source handle. FALSE with ERROR_INVALID_HANDLE for a
// handle that is not open (closing twice included).
BOOL DeregisterEventSource(HANDLE source);

// Receives events instead of the system log: the source name, the type,
// category and identifier, the text (insertion strings joined by a blank,
// UTF-8), the raw data and the context given to QxSetEventSink. The
// pointers are valid during the call only.
typedef void (*QxEventSink)(const char* source, WORD type, WORD category, DWORD eventId,
                            const char* text, const void* data, DWORD dataSize, void* context);

// Sends every later event to `sink` with `context`; a null `sink` restores
// the system log. Not part of the Windows API: for tests and for hosts with
// their own logging. A report that is in progress on another thread may
// still reach the previous sink.
void QxSetEventSink(QxEventSink sink, void* context);

}  // extern "C"

#endif  // QXCOM_EVENTLOG_H_
