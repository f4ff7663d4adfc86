// The handler's header, parameter and attachment lists as the exchange's
// version, roles, next hop and phase shape them.
#include <gtest/gtest.h>

#include "frame/message_handler.h"
#include "xml/namespaces.h"
#include "support/com_objects.h"
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

TEST(HandlerHeaders, LiteralBlocksKeepTheirRoleAndRelayAndClearWithTheTypedOnes) {
  MessageHandler handler;
  ASSERT_TRUE(handler.AddHeaderElemLiteral12(kNs, u"b", u"<b/>", false, u"urn:role", true, u""));
  LONG position = -1;
  const HeaderElemLiteral* block = handler.GetNextHeaderElemLiteral(position);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->actorURI, u"urn:role");
  EXPECT_TRUE(block->relay);
  EXPECT_FALSE(block->received) << "added by the host";
  handler.ClearHeaderElems();
  EXPECT_EQ(handler.GetNumHeaderElemsLiteral(), 0);
  std::u16string xml = u"untouched";
  EXPECT_FALSE(handler.GetHeaderElemLiteral(kNs, u"b", &xml));
  EXPECT_EQ(xml, u"untouched");
}

TEST(HandlerParams, ClearMethodParamsAlsoDropsTheLiteralBody) {
  MessageHandler handler;
  qxcom::Variant value = test::BstrVariant(u"v");
  ASSERT_EQ(handler.AddMethodParam(u"", u"a", value.get(), true, false), S_OK);
  ASSERT_TRUE(handler.SetBodyElemLiteral(u"<Body/>", u"urn:enc"));
  ASSERT_TRUE(handler.SetBodyElemLiteral(u"<Body>2</Body>", u""));
  std::u16string body;
  ASSERT_TRUE(handler.GetBodyElemLiteral(&body));
  EXPECT_EQ(body, u"<Body>2</Body>") << "the second body replaces the first";

  handler.ClearMethodParams();
  EXPECT_EQ(handler.GetNumMethodParams(), 0);
  body = u"untouched";
  EXPECT_FALSE(handler.GetBodyElemLiteral(&body));
  EXPECT_EQ(body, u"untouched");
}

TEST(HandlerAttachments, RequestAndResponseListsAreSeparate) {
  const qxcom::ComPtr<IStorage> storage = test::NewStorage();
  MessageHandler handler;
  ASSERT_TRUE(handler.AddDIMEAttachmentReq(u"cid:1", u"text/plain", 1, storage.get(), nullptr));
  EXPECT_NE(handler.GetDIMEAttachmentReq(u"cid:1"), nullptr);
  EXPECT_EQ(handler.GetDIMEAttachmentResp(u"cid:1"), nullptr);
  EXPECT_EQ(handler.GetNumReqAttachments(), 1);
  EXPECT_EQ(handler.GetNumRespAttachments(), 0);
  LONG position = 5;
  EXPECT_EQ(handler.GetFirstDIMEAttachmentResp(position), nullptr);
  EXPECT_EQ(position, 5);
  handler.SetRequestPhase(true);
  EXPECT_EQ(handler.PhaseAttachments().Count(), 1) << "the request list in the request phase";
  handler.SetRequestPhase(false);
  EXPECT_EQ(handler.PhaseAttachments().Count(), 0) << "the response list outside it";
}

}  // namespace
}  // namespace qxsoap
