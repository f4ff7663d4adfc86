// Values read from requests through ProcessRPC: built-in values, structs and
// arrays, encoded and literal, by the types the port declares, with
// references, and the faults of values that do not fit.
#include <gtest/gtest.h>

#include "platform/string_conversion.h"
#include "request_test_support.h"
#include "support/com_objects.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

const TypeName kPoint{u"Point", u"urn:t"};
const TypeName kInts{u"Ints", u"urn:t"};
const TypeName kGrid{u"Grid", u"urn:t"};
const TypeName kNode{u"Node", u"urn:t"};
const TypeName kWords{u"Words", u"urn:t"};
const TypeName kNested{u"Nested", u"urn:t"};
const TypeName kStrings{u"Strings", u"urn:t"};

// echo with one parameter of `type`, named as the first child of the
// wrapper in `body`.
qxcom::ComPtr<host::MemoryPort> ValuePort(int version, std::string_view body, const TypeName& type,
                                          bool literal) {
  auto port = EchoPort(version);
  const std::u16string_view style = version == 11 ? SOAP11_ENC_NS : SOAP12_ENC_NS;
  port->Struct(kPoint).Member(u"x", Xsd(u"int")).Member(u"y", Xsd(u"int"));
  port->Struct(kNode).Member(u"value", Xsd(u"int")).Member(u"next", kNode);
  port->Array(kInts, Xsd(u"int"), 1, style);
  port->Array(kGrid, Xsd(u"int"), 2, style);
  port->LiteralArray(kWords, Xsd(u"string"), {u"word", u"urn:t"});
  port->Array(kNested, kInts);
  port->Array(kStrings, Xsd(u"string"), 1, style);
  const size_t name = body.find('<', 1) + 1;
  port->Operation(u"echo")
      .Use(literal ? u"literal" : u"encoded")
      .EncodingStyle(style)
      .In(qxcom::ToUtf16(body.substr(name, body.find_first_of(" />", name) - name)), type);
  return port;
}

// An array's bounds as an automation client reads them, dimension 1
// first: "[lower..upper]" each.
std::u16string Bounds(SAFEARRAY* array) {
  std::u16string text;
  for (UINT d = 1; d <= SafeArrayGetDim(array); ++d) {
    LONG lower = 0, upper = 0;
    SafeArrayGetLBound(array, d, &lower);
    SafeArrayGetUBound(array, d, &upper);
    text += qxcom::ToUtf16("[" + std::to_string(lower) + ".." + std::to_string(upper) + "]");
  }
  return text;
}

struct ValueRow {
  const char* why;
  int version;
  std::string body;
  TypeName type;
  std::u16string expected;  // the value described, an array after its bounds; or
                            // "fault Code[/Subcode]: message"
  bool literal = false;
};

void ExpectValues(std::span<const ValueRow> rows) {
  for (const ValueRow& row : rows) {
    SCOPED_TRACE(row.why);
    Exchange exchange(ValuePort(row.version, row.body, row.type, row.literal));
    ASSERT_TRUE(exchange.Deserialize(Envelope(row.version, Body(row.body)))) << FaultText(exchange.handler);
    std::u16string text;
    if (!exchange.handler.ProcessRPC()) {
      const SeenFault fault = FaultOf(exchange.handler);
      text = u"fault " + fault.code + (fault.subcode.empty() ? u"" : u"/" + fault.subcode) + u": " +
             fault.message;
    } else {
      LONG position = 0;
      const VARIANT& value = *exchange.handler.GetFirstMethodParam(position)->content.get();
      text = (V_VT(&value) & VT_ARRAY ? Bounds(V_ARRAY(&value)) + u" " : u"") + test::Describe(value);
    }
    EXPECT_EQ(text, row.expected);
  }
}

TEST(ValueDecoding, BuiltInValues) {
  const ValueRow rows[] = {
      // An accessor in the other version's attributes is no reference.
      {"SOAP 1.1 reads no SOAP 1.2 ref", 11,
       "<m:echo><a xmlns:n='http://www.w3.org/2003/05/soap-encoding' n:ref='none'>4</a></m:echo>",
       Xsd(u"int"), u"I4:4"},
      {"SOAP 1.2 reads no unprefixed href", 12, "<m:echo><a href='#none'>4</a></m:echo>", Xsd(u"int"),
       u"I4:4"},
      {"nil gives null whatever the type", 11, "<m:echo><a xsi:nil='1'>junk</a></m:echo>",
       Xsd(u"boolean"), u"NULL"},
      {"anyType takes the xsi type's row", 11, "<m:echo><a xsi:type='xsd:int'>7</a></m:echo>",
       Xsd(u"anyType"), u"I4:7"},
      {"anyType without an xsi type is text", 11, "<m:echo><a>7</a></m:echo>", Xsd(u"anyType"),
       u"BSTR:7"},
      {"anyType with an unknown xsi type", 11,
       "<m:echo><a xmlns:t='urn:t' xsi:type='t:Odd'>7</a></m:echo>", Xsd(u"anyType"),
       u"fault Client: Encountered accessor with unrecognized data type."},
      {"SOAP 1.2: an unknown xsi type passes as text for a simple node", 12,
       "<m:echo><a xmlns:t='urn:t' xsi:type='t:Odd' enc:nodeType='simple'>7</a></m:echo>",
       Xsd(u"anyType"), u"BSTR:7"},
      {"children are refused before any conversion", 11, "<m:echo><a><b>1</b></a></m:echo>",
       Xsd(u"int"), u"fault Client: Encountered improperly serialized built-in type accessor."},
      {"a type the table does not know", 11, "<m:echo><a>1</a></m:echo>", Xsd(u"duration"),
       u"fault Client: Encountered improperly serialized built-in type accessor: 'a'."},
      {"SOAP 1.1: another encodingStyle", 11,
       "<m:echo><a e:encodingStyle='urn:other'>1</a></m:echo>", Xsd(u"int"),
       u"fault Client: Unsupported encodingStyle on built-in type accessor."},
      {"SOAP 1.2: another encodingStyle is DataEncodingUnknown", 12,
       "<m:echo><a e:encodingStyle='urn:other'>1</a></m:echo>", Xsd(u"int"),
       u"fault DataEncodingUnknown: Unsupported encodingStyle on built-in type accessor."},
      {"SOAP 1.2: a struct nodeType on an int", 12,
       "<m:echo><a enc:nodeType='struct'>1</a></m:echo>", Xsd(u"int"),
       u"fault Sender/BadArguments: Incorrect nodeType on built-in type accessor."},
  };
  ExpectValues(rows);
}

// A Node whose two next members refer to a Node that does the same, `levels`
// times: 2^levels values from a few hundred bytes.
std::string DoublingReferences(int levels) {
  std::string body = "<m:echo><n href='#n0'/></m:echo>";
  for (int level = 0; level < levels; ++level) {
    const std::string next = "<next href='#n" + std::to_string(level + 1) + "'/>";
    body += "<m:n id='n" + std::to_string(level) + "' enc:root='0'>" + next + next + "</m:n>";
  }
  return body + "<m:n id='n" + std::to_string(levels) + "' enc:root='0'><value>1</value></m:n>";
}

TEST(ValueDecoding, Structs) {
  const ValueRow rows[] = {
      {"an empty struct", 11, "<m:echo><p/></m:echo>", kPoint, u"STRUCT{}"},
      {"a member the port does not know, though typed", 11,
       "<m:echo><p><z xsi:type='xsd:int'>1</z></p></m:echo>", kPoint,
       u"fault Client: Encountered struct member accessor with unrecognized type."},
      {"a member by reference takes its own name", 11,
       "<m:echo><p><x href='#i'/><y>2</y></p></m:echo><m:n id='i' enc:root='0'>9</m:n>", kPoint,
       u"STRUCT{x=I4:9; y=I4:2}"},
      {"a member by reference is read by the target's attributes, not the referrer's", 11,
       "<m:echo><p><x href='#i'/><y>2</y></p></m:echo><m:n id='i' enc:root='0' xsi:nil='true'/>", kPoint,
       u"STRUCT{x=NULL; y=I4:2}"},
      {"a member reference to nowhere", 11, "<m:echo><p><x href='#none'/></p></m:echo>", kPoint,
       u"fault Client: Encountered struct member accessor with invalid reference."},
      {"a reference cycle is a fault, not endless recursion", 11,
       "<m:echo><n href='#a'/></m:echo><m:a id='a' enc:root='0'><next href='#b'/></m:a>"
       "<m:b id='b' enc:root='0'><next href='#a'/></m:b>",
       kNode, u"fault Client: Encountered a reference cycle or values nested too deeply."},
      {"a nested struct of the same type meets a member the outer one has not", 11,
       "<m:echo><n><next><next/><value>1</value></next></n></m:echo>", kNode,
       u"STRUCT{next=STRUCT{next=STRUCT{}; value=I4:1}}"},
      {"references that double the values at each level are stopped", 11, DoublingReferences(17), kNode,
       u"fault Client: Encountered references that multiply the message's values too far."},
      {"SOAP 1.2: another encodingStyle on a struct", 12,
       "<m:echo><p e:encodingStyle='urn:other'/></m:echo>", kPoint,
       u"fault DataEncodingUnknown: Unsupported encodingStyle on struct accessor."},
      {"SOAP 1.2: an array nodeType on a struct", 12, "<m:echo><p enc:nodeType='array'/></m:echo>",
       kPoint, u"fault Sender/BadArguments: Incorrect nodeType on struct accessor."},
      {"literal values ignore references", 11, "<m:echo><p><x href='#none'>4</x></p></m:echo>",
       kPoint, u"STRUCT{x=I4:4}", true},
  };
  ExpectValues(rows);
}

TEST(ValueDecoding, AnAttachmentReachedByReference) {
  const std::string body = "<m:echo><p><x href='cid:part1'/><y>2</y></p></m:echo>";
  Exchange exchange(ValuePort(11, body, kPoint, false));
  ASSERT_TRUE(exchange.Deserialize(Envelope(11, Body(body))));
  auto storage = test::NewStorage();
  ASSERT_TRUE(exchange.handler.AddDIMEAttachmentReq(u"cid:part1", u"image/png", 1, storage.get(), nullptr));
  ASSERT_TRUE(exchange.handler.ProcessRPC()) << FaultText(exchange.handler);
  EXPECT_EQ(Parameters(exchange.handler), u"p in = STRUCT{x=vt:13; y=I4:2}\n") << "the attachment as VT_UNKNOWN";
}

TEST(ValueDecoding, Arrays) {
  const std::u16string badSize = u"fault Client: Array size declared conflicts with actual size.";
  const std::u16string badType = u"fault Client: Encountered improperly typed array accessor.";
  const std::string six = "<i>0</i><i>1</i><i>2</i><i>3</i><i>4</i><i>5</i>";
  std::string hundredReferences, attributes;
  for (int i = 0; i < 100; ++i) hundredReferences += "<i href='#s'/>";
  for (int i = 0; i < 500; ++i) attributes += " a" + std::to_string(i) + "=''";
  const ValueRow rows[] = {
      {"fewer items than declared", 11,
       "<m:echo><a enc:arrayType='xsd:int[3]'><i>1</i><i>2</i></a></m:echo>", kInts, badSize},
      {"anyType items fit any array", 11, "<m:echo><a enc:arrayType='xsd:anyType[1]'><i>4</i></a></m:echo>",
       kInts, u"[0..0] ARRAY[I4:4]"},
      {"items of another type", 11, "<m:echo><a enc:arrayType='xsd:string[1]'><i>4</i></a></m:echo>",
       kInts, badType},
      {"SOAP 1.2: no arraySize, one dimension of all items", 12,
       "<m:echo><a><i>4</i><i>5</i></a></m:echo>", kInts, u"[0..1] ARRAY[I4:4,I4:5]"},
      {"a first size not given leaves no item out", 11,
       "<m:echo><a enc:arrayType='xsd:int[,2]'><i>1</i><i>2</i><i>3</i></a></m:echo>", kGrid, badSize},
      {"a first size not given with a zero inner size", 11,
       "<m:echo><a enc:arrayType='xsd:int[,0]'><i>1</i></a></m:echo>", kGrid,
       u"fault Client: Value of attribute 'arrayType' on element is invalid, size may be "
       u"unspecified for innermost dimension only."},
      {"an item by reference is read by the target's attributes", 11,
       "<m:echo><a enc:arrayType='xsd:int[2]'><i href='#v'/><i>3</i></a></m:echo>"
       "<m:v id='v' enc:root='0' xsi:nil='true'/>",
       kInts, u"[0..1] ARRAY[NULL,I4:3]"},
      {"items by reference, and one to nowhere", 11,
       "<m:echo><a enc:arrayType='xsd:int[2]'><i href='#v'/><i href='#w'/></a></m:echo>"
       "<m:v id='v' enc:root='0'>8</m:v>",
       kInts, u"fault Client: Encountered array item accessor with invalid reference."},
      {"SOAP 1.2: a struct nodeType on an array", 12, "<m:echo><a enc:nodeType='struct'/></m:echo>",
       kInts, u"fault Sender/BadArguments: Incorrect nodeType on array accessor."},
      {"arrays of arrays, the inner ones of their own sizes", 11,
       "<m:echo><a enc:arrayType='t:Ints[2]' xmlns:t='urn:t'><i enc:arrayType='xsd:int[2]'>"
       "<v>1</v><v>2</v></i><i enc:arrayType='xsd:int[1]'><v>3</v></i></a></m:echo>",
       kNested, u"[0..1] ARRAY[ARRAY[I4:1,I4:2],ARRAY[I4:3]]"},
      {"an inner array by reference, with the referring element's offset", 11,
       "<m:echo><a enc:arrayType='t:Ints[1]' xmlns:t='urn:t'><i href='#in' enc:offset='[1]'/></a>"
       "</m:echo><m:in id='in' enc:root='0' enc:arrayType='xsd:int[3]'><v>8</v><v>9</v></m:in>",
       kNested, u"[0..0] ARRAY[ARRAY[I4:8,I4:9]]"},  // without the offset, 2 items for 3 would fail
      // Shapes: automation dimension 1 is the last SOAP size, so that the
      // last SOAP index runs fastest in memory, as in the message.
      {"[2,3]: automation dimension 1 has 3 elements, dimension 2 has 2", 11,
       "<m:echo><a enc:arrayType='xsd:int[2,3]'>" + six + "</a></m:echo>", kGrid,
       u"[0..2][0..1] ARRAY(2,3)[I4:0,I4:1,I4:2,I4:3,I4:4,I4:5]"},
      {"SOAP 1.2 '* 2' with six items is 3 by 2", 12, "<m:echo><a enc:arraySize='* 2'>" + six + "</a></m:echo>",
       kGrid, u"[0..1][0..2] ARRAY(3,2)[I4:0,I4:1,I4:2,I4:3,I4:4,I4:5]"},
      {"an offset moves the first dimension's lower bound", 11,
       "<m:echo><a enc:arrayType='xsd:int[3,2]' enc:offset='[1,0]'><i>0</i><i>1</i><i>2</i><i>3</i></a>"
       "</m:echo>",
       kGrid, u"[0..1][1..2] ARRAY(2,2)[I4:0,I4:1,I4:2,I4:3]"},
      {"an open size from the largest offset holds one item", 11,
       "<m:echo><a enc:arrayType='xsd:int[]' enc:offset='[2147483647]'><i>7</i></a></m:echo>", kInts,
       u"[2147483647..2147483647] ARRAY[I4:7]"},
      {"an open size from the largest offset cannot hold two", 11,
       "<m:echo><a enc:arrayType='xsd:int[]' enc:offset='[2147483647]'><i>7</i><i>8</i></a></m:echo>",
       kInts, u"fault Client: Invalid value for attribute 'offset' or 'arrayType' on element."},
      {"a nil array is empty, of the port's rank", 11, "<m:echo><a xsi:nil='true'/></m:echo>", kGrid,
       u"[0..-1][0..-1] ARRAY(0,0)[]"},
      {"an offset on the referring element applies", 11,
       "<m:echo><a href='#arr' enc:offset='[2]'/></m:echo>"
       "<m:arr id='arr' enc:root='0' enc:arrayType='xsd:int[5]'><i>1</i><i>2</i><i>3</i></m:arr>",
       kInts, u"[2..4] ARRAY[I4:1,I4:2,I4:3]"},
      {"a referenced array that refers on keeps its offset to itself", 11,
       "<m:echo><a href='#arr'/></m:echo><m:arr id='arr' enc:root='0' href='#other' "
       "enc:arrayType='xsd:int[2]' enc:offset='[1]'><i>1</i><i>2</i></m:arr>",
       kInts, u"[0..1] ARRAY[I4:1,I4:2]"},
      {"an item that does not convert releases the array", 11,
       "<m:echo><a enc:arrayType='xsd:int[2]'><i>1</i><i>x</i></a></m:echo>", kInts,
       u"fault Client: Encountered improperly serialized built-in type accessor: 'i'."},
      {"references to one long text may not multiply it either", 11,
       "<m:echo><a enc:arrayType='xsd:string[100]'>" + hundredReferences +
           "</a></m:echo><m:s id='s' enc:root='0'>" + std::string(8000, 'x') + "</m:s>",
       kStrings, u"fault Client: Encountered references that multiply the message's values too far."},
      {"references to a value whose elements carry many attributes", 11,
       "<m:echo><a enc:arrayType='t:Ints[100]' xmlns:t='urn:t'>" + hundredReferences +
           "</a></m:echo><m:s id='s' enc:root='0' enc:arrayType='xsd:int[1]'" + attributes + "><v" + attributes +
           ">1</v></m:s>",
       kNested, u"fault Client: Encountered references that multiply the message's values too far."},
      {"references to an array whose size is written long", 11,
       "<m:echo><a enc:arrayType='t:Ints[100]' xmlns:t='urn:t'>" + hundredReferences +
           "</a></m:echo><m:s id='s' enc:root='0' enc:arrayType='xsd:int[" + std::string(8000, '0') +
           "1]'><v>1</v></m:s>",
       kNested, u"fault Client: Encountered references that multiply the message's values too far."},
      {"a literal array's foreign item element", 11, "<m:echo><w><word>a</word></w></m:echo>", kWords,
       u"fault Client: Encountered unrecognized array item accessor.", true},
  };
  ExpectValues(rows);
}

}  // namespace
}  // namespace qxsoap::testing
