// A qxsoapmsg2 created through the class as a host creates it, held by the
// test. Released when the test ends.
#ifndef QXSOAP_TESTS_FRAME_AUTOMATION_TEST_OBJECT_H_
#define QXSOAP_TESTS_FRAME_AUTOMATION_TEST_OBJECT_H_

#include <gtest/gtest.h>

#include "frame/automation_object.h"
#include "qxcom/owned.h"

namespace qxsoap::test {

inline qxcom::ComPtr<Iqxsoapmsg2> NewHandlerObject() {
  void* object = nullptr;
  EXPECT_EQ(qxsoapmsg2::CreateInstance(nullptr, IID_Iqxsoapmsg2, &object), S_OK);
  return qxcom::ComPtr<Iqxsoapmsg2>::Adopt(static_cast<Iqxsoapmsg2*>(object));
}

}  // namespace qxsoap::test

#endif  // QXSOAP_TESTS_FRAME_AUTOMATION_TEST_OBJECT_H_
