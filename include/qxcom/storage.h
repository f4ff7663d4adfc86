// qxcom/storage.h: structured storage interfaces (ISequentialStream, IStream,
// IStorage, IEnumSTATSTG) with the Windows vtable layout, their flags and
// records, and a memory-backed storage that hosts and tests can hand to the
// handler as an attachment.
//
// Threads: QxCreateMemoryStorage may be called from any thread. A storage,
// its streams and enumerators are used by one thread at a time; their
// reference counts alone may be changed from any thread.
#ifndef QXCOM_STORAGE_H_
#define QXCOM_STORAGE_H_

#include "qxcom/types.h"
#include "qxcom/unknwn.h"

// 64-bit offsets and sizes, readable as two 32-bit halves.
typedef union _LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
} LARGE_INTEGER;

typedef union _ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  };
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
} ULARGE_INTEGER;

// A null-terminated list of element names to exclude.
typedef OLECHAR** SNB;

// What Stat and IEnumSTATSTG::Next report about an element. pwcsName is
// allocated with CoTaskMemAlloc (null with STATFLAG_NONAME); the caller frees
// it with CoTaskMemFree.
typedef struct tagSTATSTG {
  LPOLESTR pwcsName;
  DWORD type;  // STGTY_*
  ULARGE_INTEGER cbSize;
  FILETIME mtime;
  FILETIME ctime;
  FILETIME atime;
  DWORD grfMode;  // STGM_* the element was opened with
  DWORD grfLocksSupported;
  CLSID clsid;
  DWORD grfStateBits;
  DWORD reserved;
} STATSTG;

// Access, sharing and creation modes.
#define STGM_DIRECT 0x00000000L
#define STGM_TRANSACTED 0x00010000L
#define STGM_SIMPLE 0x08000000L
#define STGM_READ 0x00000000L
#define STGM_WRITE 0x00000001L
#define STGM_READWRITE 0x00000002L
#define STGM_SHARE_DENY_NONE 0x00000040L
#define STGM_SHARE_DENY_READ 0x00000030L
#define STGM_SHARE_DENY_WRITE 0x00000020L
#define STGM_SHARE_EXCLUSIVE 0x00000010L
#define STGM_PRIORITY 0x00040000L
#define STGM_DELETEONRELEASE 0x04000000L
#define STGM_NOSCRATCH 0x00100000L
#define STGM_CREATE 0x00001000L
#define STGM_CONVERT 0x00020000L
#define STGM_FAILIFTHERE 0x00000000L
#define STGM_NOSNAPSHOT 0x00200000L
#define STGM_DIRECT_SWMR 0x00400000L

// Element types (STATSTG::type).
#define STGTY_STORAGE 1
#define STGTY_STREAM 2
#define STGTY_LOCKBYTES 3
#define STGTY_PROPERTY 4

// Stat flags.
#define STATFLAG_DEFAULT 0
#define STATFLAG_NONAME 1
#define STATFLAG_NOOPEN 2

// Seek origins.
#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2

// Commit flags.
#define STGC_DEFAULT 0
#define STGC_OVERWRITE 1
#define STGC_ONLYIFCURRENT 2
#define STGC_DANGEROUSLYCOMMITMERELYTODISKCACHE 4
#define STGC_CONSOLIDATE 8

// Region lock types.
#define LOCK_WRITE 1
#define LOCK_EXCLUSIVE 2
#define LOCK_ONLYONCE 4

#define STG_E_MEDIUMFULL ((HRESULT)0x80030070L)
#define STG_E_INVALIDFLAG ((HRESULT)0x800300FFL)

extern "C" {
extern const IID IID_ISequentialStream;
}

// Reads and writes bytes at a current position.
struct ISequentialStream : IUnknown {
  // Copies up to `count` bytes into `buffer` and stores the number copied in
  // *read (when `read` is not null); fewer at the end of the stream, S_OK.
  virtual HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) = 0;
  // Writes `count` bytes, growing the stream as needed; *written (when not
  // null) receives the number written.
  virtual HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) = 0;
};

// A seekable stream of bytes.
struct IStream : ISequentialStream {
  virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                        ULARGE_INTEGER* newPosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyTo(IStream* dest, ULARGE_INTEGER count,
                                          ULARGE_INTEGER* read, ULARGE_INTEGER* written) = 0;
  virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
  virtual HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count,
                                              DWORD lockType) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count,
                                                DWORD lockType) = 0;
  virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD statFlag) = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IStream** clone) = 0;
};

// Walks the elements of a storage.
struct IEnumSTATSTG : IUnknown {
  // Fills up to `count` records; S_OK when all were filled, S_FALSE at the
  // end. *fetched may be null only when `count` is 1.
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, STATSTG* records, ULONG* fetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumSTATSTG** clone) = 0;
};

// A directory of named streams and storages.
struct IStorage : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR* name, DWORD mode, DWORD reserved1,
                                                DWORD reserved2, IStream** stream) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR* name, void* reserved1, DWORD mode,
                                              DWORD reserved2, IStream** stream) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR* name, DWORD mode,
                                                 DWORD reserved1, DWORD reserved2,
                                                 IStorage** storage) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR* name, IStorage* priority,
                                               DWORD mode, SNB exclude, DWORD reserved,
                                               IStorage** storage) = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyTo(DWORD excludeCount, const IID* excludeIids,
                                          SNB exclude, IStorage* dest) = 0;
  virtual HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR* name, IStorage* dest,
                                                 const OLECHAR* newName, DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumElements(DWORD reserved1, void* reserved2,
                                                DWORD reserved3, IEnumSTATSTG** elements) = 0;
  virtual HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR* oldName,
                                                 const OLECHAR* newName) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR* name, const FILETIME* created,
                                                   const FILETIME* accessed,
                                                   const FILETIME* modified) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetStateBits(DWORD bits, DWORD mask) = 0;
  virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD statFlag) = 0;
};

// Creates an empty, unnamed, read-write storage held in memory and stores it
// with one reference in *storage (the caller releases it); on failure
// *storage is null. E_INVALIDARG for a null `storage`, E_OUTOFMEMORY when
// memory runs out.
//
// The storage answers QueryInterface for IUnknown and IStorage. It works in
// direct mode: a write is visible at once, so Commit and Revert succeed and
// do nothing. Element names are 1 to 31 characters without '\', '/', ':' or
// '!', compared without regard to ASCII letter case. Supported: CreateStream,
// OpenStream, CreateStorage, OpenStorage, DestroyElement, RenameElement,
// EnumElements, SetClass, SetStateBits, Stat; its streams support Read,
// Write, Seek, SetSize, CopyTo, Stat and Clone, and hold at most 2 GiB - 1
// bytes (STG_E_MEDIUMFULL beyond). CopyTo and MoveElementTo of the storage,
// SetElementTimes and region locks return STG_E_UNIMPLEMENTEDFUNCTION.
// An element stays readable through objects opened on it after it is
// destroyed, but is no longer reachable from the storage.
extern "C" HRESULT QxCreateMemoryStorage(IStorage** storage);

#endif  // QXCOM_STORAGE_H_
