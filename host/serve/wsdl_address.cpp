// Finding the served port's SOAP address in WSDL text by walking its tags.
// The text is not rebuilt from a tree, so the answer is the file its author
// wrote. Namespace prefixes are resolved against every declaration seen so
// far, which is what WSDL files, declaring their prefixes on the root, need.
#include "host/serve/wsdl_address.h"

#include <map>
#include <vector>

namespace qxsoap::host {
namespace {

constexpr std::string_view kSoap11Binding = "http://schemas.xmlsoap.org/wsdl/soap/";
constexpr std::string_view kSoap12Binding = "http://schemas.xmlsoap.org/wsdl/soap12/";

struct Attribute {
  std::string_view name;
  size_t valueStart, valueEnd;  // offsets of the value, quotes excluded
};

struct StartTag {
  std::string_view name;
  std::vector<Attribute> attributes;
  bool selfClosing = false;
};

std::string_view Prefix(std::string_view qname) {
  const size_t colon = qname.find(':');
  return colon == std::string_view::npos ? std::string_view() : qname.substr(0, colon);
}

std::string_view LocalName(std::string_view qname) { return qname.substr(Prefix(qname).size() + !Prefix(qname).empty()); }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads the start tag whose '<' is at `pos`; leaves `pos` after its '>'.
std::optional<StartTag> ReadStartTag(std::string_view text, size_t& pos) {
  StartTag tag;
  size_t i = pos + 1;
  const size_t nameStart = i;
  while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '/') ++i;
  tag.name = text.substr(nameStart, i - nameStart);
  for (;;) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size()) return std::nullopt;
    if (text[i] == '>') break;
    if (text.compare(i, 2, "/>") == 0) {
      tag.selfClosing = true;
      ++i;
      break;
    }
    const size_t attrStart = i;
    while (i < text.size() && text[i] != '=' && !IsSpace(text[i])) ++i;
    const std::string_view name = text.substr(attrStart, i - attrStart);
    while (i < text.size() && (IsSpace(text[i]) || text[i] == '=')) ++i;
    if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return std::nullopt;
    const size_t close = text.find(text[i], i + 1);
    if (close == std::string_view::npos) return std::nullopt;
    tag.attributes.push_back({name, i + 1, close});
    i = close + 1;
  }
  pos = i + 1;
  return tag;
}

// Skips what is not an element tag (comment, CDATA, PI, declaration) when
// `pos` is at one; returns whether it did.
bool SkipMarkup(std::string_view text, size_t& pos) {
  struct Span { std::string_view open, close; };
  static constexpr Span kSpans[] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};
  for (const Span& span : kSpans) {
    if (text.compare(pos, span.open.size(), span.open) != 0) continue;
    const size_t end = text.find(span.close, pos + span.open.size());
    pos = end == std::string_view::npos ? text.size() : end + span.close.size();
    return true;
  }
  return false;
}

std::string EscapeAttribute(std::string_view value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

class AddressFinder {
 public:
  AddressFinder(std::string_view text, std::string_view portName) : text_(text), portName_(portName) {}

  // The value span of the served address's `location`, if any.
  std::optional<Attribute> Find() {
    size_t pos = 0;
    int depth = 0, portDepth = -1;
    while ((pos = text_.find('<', pos)) != std::string_view::npos) {
      if (SkipMarkup(text_, pos)) continue;
      if (text_.compare(pos, 2, "</") == 0) {
        if (depth-- == portDepth) portDepth = -1;
        pos = text_.find('>', pos);
        if (pos == std::string_view::npos) return std::nullopt;
        continue;
      }
      std::optional<StartTag> tag = ReadStartTag(text_, pos);
      if (!tag) return std::nullopt;
      Declare(*tag);
      if (portDepth < 0 && IsServedPort(*tag) && !tag->selfClosing) portDepth = depth + 1;
      if (portDepth >= 0 && IsSoapAddress(*tag)) {
        if (const Attribute* location = Find(*tag, "location")) return *location;
      }
      if (!tag->selfClosing) ++depth;
    }
    return std::nullopt;
  }

 private:
  const Attribute* Find(const StartTag& tag, std::string_view name) const {
    for (const Attribute& attribute : tag.attributes) {
      if (attribute.name == name) return &attribute;
    }
    return nullptr;
  }
  std::string_view Value(const Attribute& attribute) const {
    return text_.substr(attribute.valueStart, attribute.valueEnd - attribute.valueStart);
  }
  void Declare(const StartTag& tag) {
    for (const Attribute& attribute : tag.attributes) {
      if (attribute.name == "xmlns") namespaces_[""] = Value(attribute);
      if (attribute.name.starts_with("xmlns:")) namespaces_[attribute.name.substr(6)] = Value(attribute);
    }
  }
  bool IsServedPort(const StartTag& tag) const {
    if (LocalName(tag.name) != "port") return false;
    const Attribute* name = Find(tag, "name");
    return portName_.empty() || (name && Value(*name) == portName_);
  }
  bool IsSoapAddress(const StartTag& tag) const {
    if (LocalName(tag.name) != "address") return false;
    auto ns = namespaces_.find(Prefix(tag.name));
    return ns != namespaces_.end() && (ns->second == kSoap11Binding || ns->second == kSoap12Binding);
  }

  std::string_view text_, portName_;
  std::map<std::string_view, std::string_view> namespaces_;
};

}  // namespace

std::optional<std::string> RewriteWsdlAddress(std::string_view wsdl, std::string_view portName,
                                              std::string_view location) {
  const std::optional<Attribute> found = AddressFinder(wsdl, portName).Find();
  if (!found) return std::nullopt;
  std::string out(wsdl.substr(0, found->valueStart));
  out += EscapeAttribute(location);
  out += wsdl.substr(found->valueEnd);
  return out;
}

}  // namespace qxsoap::host
