// The per-thread last-error value of the Win32-style calls.
#include "qxcom/winerror.h"

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD code) { lastError = code; }
