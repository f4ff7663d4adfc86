// decode/byte_arrays.h: reads the bytes of a decoded array after checking
// that it has the shape every decoder promises.
#ifndef QXSOAP_TESTS_DECODE_BYTE_ARRAYS_H_
#define QXSOAP_TESTS_DECODE_BYTE_ARRAYS_H_

#include <gtest/gtest.h>

#include <vector>

#include "qxcom/oleauto.h"

namespace qxsoap::test {

// The bytes of `array`, which must be one-dimensional, of VT_UI1 and start
// at index 0; a shape failure is reported and gives no bytes.
inline std::vector<BYTE> DecodedBytes(SAFEARRAY* array) {
  VARTYPE type = VT_EMPTY;
  LONG lower = -1;
  if (array == nullptr || SafeArrayGetDim(array) != 1 ||
      FAILED(SafeArrayGetVartype(array, &type)) || type != VT_UI1 ||
      FAILED(SafeArrayGetLBound(array, 1, &lower)) || lower != 0) {
    ADD_FAILURE() << "not a one-dimensional VT_UI1 array from index 0";
    return {};
  }
  void* data = nullptr;
  EXPECT_EQ(SafeArrayAccessData(array, &data), S_OK);
  const BYTE* first = static_cast<const BYTE*>(data);
  std::vector<BYTE> bytes(first, first + array->rgsabound[0].cElements);
  SafeArrayUnaccessData(array);
  return bytes;
}

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_DECODE_BYTE_ARRAYS_H_
