// qxcom/registry.h: the Windows registry calls over a file-based store, with
// the key and value model of the Windows registry and its error codes.
//
// Model. Three predefined roots, HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE, each its own tree (HKEY_CLASSES_ROOT is not a merged
// view of the other two). A key has subkeys and values; key and value names
// are compared without regard to letter case, as on Windows, and keep the
// case they were created with. The default value of a key is the value with
// the empty name (a null name in the calls). Values are typed bytes stored
// exactly as given; REG_SZ, REG_EXPAND_SZ and REG_DWORD are written readably.
// Key names are 1 to 255 characters without a backslash or a control
// character, keys at most 512 levels deep; value names up to 16383
// characters.
//
// Store. One UTF-8 text file: $QXCOM_REGISTRY when set and not empty, else
// $XDG_CONFIG_HOME/qxcom/registry, else $HOME/.config/qxcom/registry
// (QxGetRegistryFile tells which). A missing file is an empty registry.
// When the path is a symbolic link, its target is the store: it is read,
// locked and replaced in place of the link, which stays. Every call reads
// the file afresh; a change locks the sidecar file "<store>.lock" (flock),
// reads the file, changes it, writes a temporary file beside it, syncs it
// and renames it over the store, so that readers see the old or the new
// file whole and concurrent writers, in this process or others, lose none
// of each other's changes; QxRunRegistryTransaction makes many changes one.
// A rewritten store keeps the permission bits of the file it replaces; a
// new store is created 0600, and missing directories above it 0700.
// A file that cannot be read or parsed gives ERROR_BADDB and is left
// untouched: that includes anything but a regular file (a FIFO or a device
// is never read, so no call blocks on it), a file larger than 64 MiB and a
// file without its end line (one cut short). A failed write gives
// ERROR_ACCESS_DENIED, ERROR_DISK_FULL (also for contents past 64 MiB) or
// ERROR_REGISTRY_IO_FAILED. REG_OPTION_VOLATILE keys are stored like the
// others.
//
// File format, line by line ('#' starts a comment line; blank lines are
// ignored; a change rewrites the file without them):
//
//   qxcom registry 2
//   [HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32]
//   @=sz:"/usr/lib/x86_64-linux-gnu/libqxsoapmsg.so"
//   "ThreadingModel"=sz:"Apartment"
//   "Port"=dword:00001f90
//   "Blob"=hex(3):01,ff,00
//   end
//
// The first line names the format; the line `end` closes it and nothing may
// follow. An empty file is an empty registry. Files of the earlier format
// "qxcom registry 1", which had no end line, are read too and rewritten in
// the current format by the next change. A key line gives the full path of
// a key (parents are implied). A value line belongs to the key above it:
// `@` or a quoted name, '=', then the type and data: `sz:` and `expand_sz:`
// a quoted text (the data without its one terminating null), `dword:` eight
// hex digits, `hex(t):` the bytes of any other value (t is the type in
// hex). Quoted texts escape `\\`, `\"`, `\n`, `\r`, `\t`; other control
// characters and lone surrogates are written `\uXXXX` (one UTF-16 unit).
//
// Handles. An open key handle names its key by path: after the key is
// deleted, calls through it give ERROR_KEY_DELETED. Handles are checked:
// a closed or foreign handle gives ERROR_INVALID_HANDLE. A handle's access
// mask is enforced (KEY_QUERY_VALUE to read values, KEY_SET_VALUE to change
// them, KEY_CREATE_SUB_KEY to create subkeys, KEY_ENUMERATE_SUB_KEYS to
// enumerate); the predefined roots and the handles of RegOpenKeyW and
// RegCreateKeyW have all access.
//
// Threads: every call may be made from any thread; a handle may be shared.
// A call that runs out of memory returns ERROR_OUTOFMEMORY.
#ifndef QXCOM_REGISTRY_H_
#define QXCOM_REGISTRY_H_

#include "qxcom/types.h"
#include "qxcom/winerror.h"

typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
struct _SECURITY_ATTRIBUTES;
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// The predefined roots, with their 64-bit Windows handle values.
#define HKEY_CLASSES_ROOT ((HKEY)(intptr_t)(int32_t)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(intptr_t)(int32_t)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(intptr_t)(int32_t)0x80000002)

// Value types.
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

// Access rights.
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0xF003F
#define MAXIMUM_ALLOWED 0x02000000

// RegCreateKeyEx options and dispositions.
#define REG_OPTION_NON_VOLATILE 0x0
#define REG_OPTION_VOLATILE 0x1
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

extern "C" {

// Opens `subKey` below `key`, creating it and any missing parents, and
// stores a new handle in *result (null on failure); `disposition`, when not
// null, receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. A null or
// empty `subKey` opens `key` itself again. `reserved`, `keyClass` and
// `security` are ignored; `access` is the new handle's access mask.
// ERROR_INVALID_PARAMETER for a null `result`, an unknown option or a bad
// key name, ERROR_BAD_PATHNAME for an empty path component (a trailing
// backslash is allowed), ERROR_ACCESS_DENIED when `key` lacks
// KEY_CREATE_SUB_KEY and a key must be created, ERROR_INVALID_PARAMETER
// for a key deeper than 512 levels. Close with RegCloseKey.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition);
LONG RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result);

// Opens the existing `subKey` below `key` and stores a new handle in *result
// (null on failure). A null or empty `subKey` opens `key` itself again.
// ERROR_FILE_NOT_FOUND when the key does not exist. Close with RegCloseKey.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegOpenKeyW(HKEY key, LPCWSTR subKey, PHKEY result);

// Closes a handle. Closing a predefined root does nothing and succeeds.
LONG RegCloseKey(HKEY key);

// Stores `size` bytes of `data` as the value `name` (null: the default
// value) of type `type`, replacing a value of that name. For REG_SZ the size
// should include the terminating null, as on Windows; the bytes are stored
// as given. ERROR_INVALID_PARAMETER for null `data` with a non-zero size or
// a name longer than 16383 characters.
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);

// Reads the value `name` (null: the default value). `type`, when not null,
// receives its type. With null `data`, *size receives the size in bytes;
// otherwise *size is the capacity of `data` in bytes: when the value fits,
// its bytes are copied and *size set to their count, else ERROR_MORE_DATA
// with *size set to the size needed. ERROR_FILE_NOT_FOUND when the value does
// not exist, ERROR_INVALID_PARAMETER for a non-null `reserved` or for
// non-null `data` with a null `size`.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);

// Removes the value `name` (null: the default value). ERROR_FILE_NOT_FOUND
// when it does not exist.
LONG RegDeleteValueW(HKEY key, LPCWSTR name);

// Removes the key `subKey` below `key` (an empty `subKey`: `key` itself) with
// its values. ERROR_ACCESS_DENIED when it has subkeys or is a predefined
// root, ERROR_FILE_NOT_FOUND when it does not exist, ERROR_INVALID_PARAMETER
// for a null `subKey`.
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

// Removes `subKey` below `key` with all its subkeys and values. With a null
// or empty `subKey`, removes the subkeys and values of `key` and keeps
// `key`. ERROR_FILE_NOT_FOUND when `subKey` does not exist.
LONG RegDeleteTreeW(HKEY key, LPCWSTR subKey);

// Stores the name of the subkey number `index` (0-based, in case-insensitive
// name order) in `name`, whose capacity *nameLength counts characters with
// the terminating null; on success *nameLength receives the length without
// it. ERROR_MORE_DATA when the name does not fit (nothing is changed),
// ERROR_NO_MORE_ITEMS when `index` is past the last subkey. Keys have no
// class: `keyClass` receives an empty string when there is room, and
// *classLength 0. `lastWrite`, when not null, is zeroed.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPWSTR keyClass, LPDWORD classLength, PFILETIME lastWrite);

// Describes a key for a walk over it. Each non-null out-parameter receives:
// *subkeyCount and *valueCount the numbers of subkeys and values,
// *maxSubkeyLength and *maxValueNameLength the longest subkey and value
// name in characters without the terminating null, *maxValueSize the
// largest value in bytes; keys have no class (`keyClass` receives an empty
// string when there is room, *classLength and *maxClassLength 0), no
// security descriptor (*securitySize 0) and no write time (zeroed).
// ERROR_INVALID_PARAMETER for a non-null `reserved`.
LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classLength, LPDWORD reserved,
                      LPDWORD subkeyCount, LPDWORD maxSubkeyLength, LPDWORD maxClassLength,
                      LPDWORD valueCount, LPDWORD maxValueNameLength, LPDWORD maxValueSize,
                      LPDWORD securitySize, PFILETIME lastWrite);

// Stores the name of the value number `index` (0-based, in the order the
// values were first set) and, as RegQueryValueExW does, its type and data.
// The name follows the protocol of RegEnumKeyExW; ERROR_MORE_DATA when the
// name or the data does not fit, ERROR_NO_MORE_ITEMS past the last value.
LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD size);

// Extensions, not part of the Windows API.

// The work of a transaction: registry calls made on the calling thread,
// returning ERROR_SUCCESS to keep their changes or an error to drop them.
typedef LONG (*QxRegistryWork)(void* context);

// Runs `work(context)` as one transaction on the store: the store is locked
// and read once, the registry calls that `work` makes on this thread read
// and change that copy, and when `work` returns ERROR_SUCCESS the result is
// written with one replace of the file; on an error nothing is written. So
// other processes and threads see all of the changes or none: their reads
// see the last file written, and their changes wait until the transaction
// ends (calls `work` makes on other threads included: `work` must not wait
// for such calls). Returns the error of `work`, ERROR_BUSY when a
// transaction is already running on this thread, or the read and write
// errors of single calls (see Store above).
LONG QxRunRegistryTransaction(QxRegistryWork work, void* context);

// Stores the path of the store file (UTF-8, with its terminating null; a
// symbolic link is not followed) in `path`, whose capacity in bytes is
// *size, and sets *size to the bytes stored. With a null `path`, *size
// receives the size needed. ERROR_MORE_DATA with *size set to the size
// needed when it does not fit, ERROR_INVALID_PARAMETER for a null `size`,
// ERROR_REGISTRY_IO_FAILED when there is no store path (no variable set and
// no home directory).
LONG QxGetRegistryFile(char* path, LPDWORD size);

}  // extern "C"

#endif  // QXCOM_REGISTRY_H_
