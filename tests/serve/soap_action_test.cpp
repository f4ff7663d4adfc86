// The Content-Type and SOAPAction a client sends decide the SOAP version the
// server expects and the action the handler checks. The plainest cases of
// each version are serve_test.py's.
#include <gtest/gtest.h>

#include "host/serve/soap_action.h"

namespace qxsoap::host {
namespace {

struct MediaRow {
  const char* why;
  const char* header;
  bool parses;
  const char* type;
  int version;
  const char* action;  // the action parameter, when there is one
};

constexpr MediaRow kMediaRows[] = {
    {"letter case of the type is not significant", "Text/XML", true, "text/xml", 11, nullptr},
    {"an unquoted action is a token", "application/soap+xml;action=urn:x", true, "application/soap+xml", 12, "urn:x"},
    {"parameter names are not case-sensitive", "application/soap+xml; ACTION=\"u\"", true, "application/soap+xml",
     12, "u"},
    {"escapes inside a quoted value", "application/soap+xml; action=\"a\\\"b\"", true, "application/soap+xml", 12,
     "a\"b"},
    {"a trailing semicolon is tolerated", "text/xml;", true, "text/xml", 11, nullptr},
    {"other types are not SOAP", "application/json", true, "application/json", 0, nullptr},
    {"no subtype", "text", false, nullptr, 0, nullptr},
    {"a quoted value that never closes", "application/soap+xml; action=\"urn:a", false, nullptr, 0, nullptr},
    {"junk after the type", "text/xml junk", false, nullptr, 0, nullptr},
};

TEST(MediaType, ReadsTypeAndParameters) {
  for (const MediaRow& row : kMediaRows) {
    SCOPED_TRACE(row.why);
    const std::optional<MediaType> media = ParseMediaType(row.header);
    ASSERT_EQ(media.has_value(), row.parses);
    if (!media) continue;
    EXPECT_EQ(media->type, row.type);
    EXPECT_EQ(SoapVersionOf(*media), row.version);
    const auto action = media->parameters.find("action");
    EXPECT_EQ(action == media->parameters.end() ? "(none)" : action->second, row.action ? row.action : "(none)");
  }
}

struct ActionRow {
  const char* why;
  int version;
  const char* contentType;
  const char* soapAction;  // null: no header
  const char* expected;
};

constexpr ActionRow kActionRows[] = {
    {"SOAP 1.1: an empty quoted action is the empty string", 11, "text/xml", "\"\"", ""},
    {"SOAP 1.1: an unquoted action as sent", 11, "text/xml", "urn:a#b", "urn:a#b"},
    {"SOAP 1.1: no header is the empty string", 11, "text/xml", nullptr, ""},
    {"SOAP 1.1 ignores an action parameter", 11, "text/xml; action=\"urn:p\"", "\"urn:h\"", "urn:h"},
    {"SOAP 1.2: the parameter wins over a header", 12, "application/soap+xml; action=urn:p", "\"urn:h\"", "urn:p"},
    {"SOAP 1.2: the header when there is no parameter", 12, "application/soap+xml", "\"urn:h\"", "urn:h"},
    {"a lone quote is not a quoted action", 11, "text/xml", "\"", "\""},
};

TEST(SoapAction, FromTheHeadersOfEachVersion) {
  for (const ActionRow& row : kActionRows) {
    SCOPED_TRACE(row.why);
    const std::optional<MediaType> media = ParseMediaType(row.contentType);
    ASSERT_TRUE(media);
    EXPECT_EQ(SoapActionOf(row.version, *media, row.soapAction), row.expected);
  }
}

}  // namespace
}  // namespace qxsoap::host
