// Event sources and event reports, written to syslog or to a sink.
#include <syslog.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

#include "platform/runtime_guard.h"
#include "platform/string_conversion.h"
#include "qxcom/eventlog.h"

namespace {

struct EventSource {
  std::string name;
};

// Open sources, so that a stale or foreign handle is refused, not followed.
std::mutex sourcesMutex;
std::unordered_set<EventSource*> openSources;

std::mutex sinkMutex;
QxEventSink currentSink = nullptr;
void* currentSinkContext = nullptr;

bool IsKnownType(WORD type) {
  switch (type) {
    case EVENTLOG_SUCCESS:
    case EVENTLOG_ERROR_TYPE:
    case EVENTLOG_WARNING_TYPE:
    case EVENTLOG_INFORMATION_TYPE:
    case EVENTLOG_AUDIT_SUCCESS:
    case EVENTLOG_AUDIT_FAILURE:
      return true;
    default:
      return false;
  }
}

int SyslogPriority(WORD type) {
  switch (type) {
    case EVENTLOG_ERROR_TYPE:
    case EVENTLOG_AUDIT_FAILURE:
      return LOG_ERR;
    case EVENTLOG_WARNING_TYPE:
      return LOG_WARNING;
    default:
      return LOG_INFO;
  }
}

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

HANDLE OpenSource(std::string name) {
  auto source = std::make_unique<EventSource>(EventSource{std::move(name)});
  std::lock_guard lock(sourcesMutex);
  openSources.insert(source.get());
  return source.release();
}

// Copies the name of an open source into *name; false for any other handle.
bool SourceName(HANDLE handle, std::string* name) {
  std::lock_guard lock(sourcesMutex);
  auto found = openSources.find(static_cast<EventSource*>(handle));
  if (found == openSources.end()) return false;
  *name = (*found)->name;
  return true;
}

// Checks the report arguments and writes the event with the strings already
// joined; the A and W forms differ only in how they join.
BOOL Report(HANDLE handle, WORD type, WORD category, DWORD eventId, const std::string& text,
            DWORD dataSize, LPVOID data) {
  std::string source;
  if (!SourceName(handle, &source)) return Fail(ERROR_INVALID_HANDLE);
  if (!IsKnownType(type) || (!data && dataSize != 0)) return Fail(ERROR_INVALID_PARAMETER);
  QxEventSink sink;
  void* context;
  {
    std::lock_guard lock(sinkMutex);
    sink = currentSink;
    context = currentSinkContext;
  }
  if (sink) {
    sink(source.c_str(), type, category, eventId, text.c_str(), data, dataSize, context);
  } else {
    syslog(SyslogPriority(type), "%s: %s", source.c_str(), text.c_str());
  }
  return TRUE;
}

template <typename Char>
bool AnyNull(WORD count, const Char* const* strings) {
  for (WORD i = 0; i < count; ++i) {
    if (!strings[i]) return true;
  }
  return false;
}

void AppendAsUtf8(const char* text, std::string& out) { out.append(text); }
void AppendAsUtf8(const char16_t* text, std::string& out) { qxcom::AppendUtf16AsUtf8(text, out); }

// RegisterEventSource in either form: the name is kept as UTF-8.
template <typename Char>
HANDLE RegisterSource(const Char* server, const Char* source) {
  if (server || !source || !*source) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto open = [&] {
    std::string name;
    AppendAsUtf8(source, name);
    return OpenSource(std::move(name));
  };
  return qxcom::Guarded(HANDLE(nullptr), open, ERROR_NOT_ENOUGH_MEMORY);
}

// ReportEvent in either form: the strings are joined with spaces as UTF-8.
template <typename Char>
BOOL ReportStrings(HANDLE source, WORD type, WORD category, DWORD eventId, WORD stringCount,
                   DWORD dataSize, const Char* const* strings, LPVOID data) {
  if (stringCount != 0 && (!strings || AnyNull(stringCount, strings))) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  auto joinAndReport = [&] {
    std::string text;
    for (WORD i = 0; i < stringCount; ++i) {
      if (i != 0) text.push_back(' ');
      AppendAsUtf8(strings[i], text);
    }
    return Report(source, type, category, eventId, text, dataSize, data);
  };
  return qxcom::Guarded(BOOL(FALSE), joinAndReport, ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace

HANDLE RegisterEventSourceA(LPCSTR server, LPCSTR source) {
  return RegisterSource(server, source);
}

HANDLE RegisterEventSourceW(LPCWSTR server, LPCWSTR source) {
  return RegisterSource(server, source);
}

BOOL ReportEventA(HANDLE source, WORD type, WORD category, DWORD eventId, PSID, WORD stringCount,
                  DWORD dataSize, LPCSTR* strings, LPVOID data) {
  return ReportStrings(source, type, category, eventId, stringCount, dataSize, strings, data);
}

BOOL ReportEventW(HANDLE source, WORD type, WORD category, DWORD eventId, PSID, WORD stringCount,
                  DWORD dataSize, LPCWSTR* strings, LPVOID data) {
  return ReportStrings(source, type, category, eventId, stringCount, dataSize, strings, data);
}

BOOL DeregisterEventSource(HANDLE source) {
  std::unique_ptr<EventSource> closing;
  {
    std::lock_guard lock(sourcesMutex);
    auto found = openSources.find(static_cast<EventSource*>(source));
    if (found == openSources.end()) return Fail(ERROR_INVALID_HANDLE);
    closing.reset(*found);
    openSources.erase(found);
  }
  return TRUE;
}

void QxSetEventSink(QxEventSink sink, void* context) {
  std::lock_guard lock(sinkMutex);
  currentSink = sink;
  currentSinkContext = context;
}
