// Which header blocks the handler hands out, as the exchange's version,
// roles and next hop decide.
#include <gtest/gtest.h>

#include "frame/message_handler.h"
#include "xml/namespaces.h"
#include "support/variants.h"

namespace qxsoap {
namespace {

constexpr std::u16string_view kNs = u"urn:h";

TEST(HandlerHeaders, TargetingFollowsVersionRolesAndNextHop) {
  MessageHandler handler;
  ASSERT_EQ(handler.AddHeaderElem12(kNs, u"none", nullptr, false, SOAP12_ROLE_NONE, false, true), S_OK);
  ASSERT_EQ(handler.AddHeaderElem(kNs, u"end", nullptr, false, u""), S_OK);
  qxcom::Variant out;
  bool found = false;

  handler.SetSOAPVersion(12);
  handler.GetHeaderElem(kNs, u"none", out.get(), &found);
  EXPECT_TRUE(found);
  EXPECT_EQ(handler.GetNumHeaderElems(), 2) << "SOAP 1.2 none blocks stay";

  handler.SetNextHopURL(u"http://next/");
  handler.GetHeaderElem(kNs, u"end", out.get(), &found);
  EXPECT_FALSE(found) << "an intermediary leaves unaddressed blocks alone";
  qxcom::Variant roles = test::StringArrayVariant({u""});
  ASSERT_TRUE(handler.SetRoles(roles.get()));
  handler.GetHeaderElem(kNs, u"end", out.get(), &found);
  EXPECT_TRUE(found) << "unless the empty string is one of its roles";

  handler.SetSOAPVersion(11);
  handler.GetHeaderElem(kNs, u"none", out.get(), &found);
  EXPECT_TRUE(found);
  EXPECT_EQ(handler.GetNumHeaderElems(), 0) << "SOAP 1.1 has no none role: the block is consumed";
}

}  // namespace
}  // namespace qxsoap
