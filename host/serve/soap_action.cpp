// Reading a Content-Type value and a SOAPAction header, as HTTP writes them:
// tokens, quoted strings with backslash escapes, optional whitespace around
// the separators.
#include "host/serve/soap_action.h"

#include <algorithm>
#include <cctype>

namespace qxsoap::host {
namespace {

bool IsTokenChar(char c) {
  static constexpr std::string_view kSeparators = "()<>@,;:\\\"/[]?={} \t";
  return c > 0x20 && c < 0x7f && kSeparators.find(c) == std::string_view::npos;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return out;
}

// A cursor over a header value.
class HeaderText {
 public:
  explicit HeaderText(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ == text_.size(); }
  void SkipSpace() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool Take(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  std::string_view Token() {
    const size_t start = pos_;
    while (!AtEnd() && IsTokenChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }
  // A quoted string after its opening quote; false when it never closes.
  bool QuotedRest(std::string* out) {
    while (!AtEnd()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (c == '\\') {
        if (AtEnd()) return false;
        out->push_back(text_[pos_++]);
      } else {
        out->push_back(c);
      }
    }
    return false;
  }
  // A token, leniently: an unquoted action URI such as urn:a:b is not a
  // token (':' is a separator), but clients send it that way, so an unquoted
  // value runs to the next ';' or space.
  bool Value(std::string* out) {
    if (Take('"')) return QuotedRest(out);
    const size_t start = pos_;
    while (!AtEnd() && text_[pos_] != ';' && text_[pos_] != '"' && text_[pos_] > 0x20) ++pos_;
    *out = text_.substr(start, pos_ - start);
    return !out->empty();
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

std::string Unquote(std::string_view header) {
  if (header.size() >= 2 && header.front() == '"' && header.back() == '"') {
    return std::string(header.substr(1, header.size() - 2));
  }
  return std::string(header);
}

}  // namespace

std::optional<MediaType> ParseMediaType(std::string_view text) {
  HeaderText in(text);
  MediaType media;
  in.SkipSpace();
  const std::string_view type = in.Token();
  if (type.empty() || !in.Take('/')) return std::nullopt;
  const std::string_view subtype = in.Token();
  if (subtype.empty()) return std::nullopt;
  media.type = Lower(type) + "/" + Lower(subtype);
  for (in.SkipSpace(); in.Take(';'); in.SkipSpace()) {
    in.SkipSpace();
    if (in.AtEnd()) break;  // a trailing ';' is common and harmless
    const std::string_view name = in.Token();
    std::string value;
    if (name.empty() || !in.Take('=') || !in.Value(&value)) return std::nullopt;
    media.parameters[Lower(name)] = std::move(value);
  }
  if (!in.AtEnd()) return std::nullopt;
  return media;
}

int SoapVersionOf(const MediaType& media) {
  if (media.type == "text/xml") return 11;
  if (media.type == "application/soap+xml") return 12;
  return 0;
}

std::string SoapActionOf(int version, const MediaType& media, const char* soapActionHeader) {
  if (version != 11) {
    if (auto action = media.parameters.find("action"); action != media.parameters.end()) {
      return action->second;
    }
  }
  return soapActionHeader ? Unquote(soapActionHeader) : std::string();
}

}  // namespace qxsoap::host
