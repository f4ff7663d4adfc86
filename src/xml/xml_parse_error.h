// Where and why a parse failed, for people: the reader throws only the line
// number, and keeps these details beside it.
#ifndef QXSOAP_XML_XML_PARSE_ERROR_H_
#define QXSOAP_XML_XML_PARSE_ERROR_H_

#include <string_view>

namespace qxsoap {

struct XmlParseError {
  int line = 0;    // 1 plus the line feeds before the error
  int column = 0;  // 1 plus the characters between the last line feed and the error
  // What the reader looked for there, such as "'>' closing the tag"; a
  // static text.
  std::string_view expected;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_XML_PARSE_ERROR_H_
