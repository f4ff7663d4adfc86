// support/com_objects.h: attachment storage objects for tests, and a way to
// read how many references an object holds.
#ifndef QXSOAP_TESTS_SUPPORT_COM_OBJECTS_H_
#define QXSOAP_TESTS_SUPPORT_COM_OBJECTS_H_

#include "qxcom/owned.h"
#include "qxcom/storage.h"

namespace qxsoap::test {

// A new memory-backed storage with one reference, owned by the result (null
// when the platform cannot make one).
inline qxcom::ComPtr<IStorage> NewStorage() {
  qxcom::ComPtr<IStorage> storage;
  QxCreateMemoryStorage(storage.put());
  return storage;
}

// The number of references `object` holds: Release reports what is left
// after the AddRef it balances.
inline ULONG RefCountOf(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_SUPPORT_COM_OBJECTS_H_
