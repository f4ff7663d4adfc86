// The loaded WSDL and schema files: reading them, and telling where in them
// an element stands.
#include "host/wsdl_source.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "xml/utf8_encoding.h"

namespace qxsoap::host {
namespace {

bool ReadFile(const std::string& path, std::string& bytes) {
  // Regular files only: an import that names a device or a pipe
  // ("/dev/zero") would be read without end, or wait forever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return false;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, got);
  return !std::ferror(file.get());
}

std::string Beside(const std::string& path, const std::string& other) {
  if (path.starts_with('/')) return path;
  const size_t slash = other.rfind('/');
  return slash == std::string::npos ? path : other.substr(0, slash + 1) + path;
}

// The file `path` names whatever its spelling ("a.xsd", "./a.xsd",
// "types/../a.xsd"), so that an import that refers back finds it loaded.
std::string Identity(const std::string& path) {
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? path : canonical.string();
}

// A position in the parsed text at the start tag of `element`: its first
// attribute, else the '<' of its start tag found by stepping back from the
// one of its first child (attribute names are always views into the text,
// so the step stays inside it).
const char16_t* StartTagOf(const XmlElement& element) {
  if (!element.Attributes().empty()) return element.Attributes().front().QualifiedName().data();
  if (element.Children().empty()) return nullptr;
  const char16_t* child = StartTagOf(element.Children().front());
  if (!child) return nullptr;
  const std::u16string_view name = element.QualifiedName();
  for (const char16_t* at = child - 1;; --at) {
    if (*at == u'<' && std::u16string_view(at + 1, name.size()) == name) return at;
  }
}

// A position inside the parsed text of `element`: its start tag, else its
// text (in the source when it is one run).
const char16_t* PlaceOf(const XmlElement& element) {
  if (const char16_t* tag = StartTagOf(element)) return tag;
  return element.Text().empty() ? nullptr : element.Text().data();
}

}  // namespace

std::string Narrow(std::u16string_view text) {
  uint8_t* bytes = nullptr;
  const size_t length = EncodeUtf8(text, &bytes);
  std::string narrow(reinterpret_cast<const char*>(bytes), bytes ? length : 0);
  std::free(bytes);
  return narrow;
}

std::string Joined(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text.append(piece);
  return text;
}

std::vector<std::u16string_view> Tokens(std::u16string_view list) {
  constexpr std::u16string_view kSpace = u" \t\r\n";
  std::vector<std::u16string_view> tokens;
  for (size_t start = list.find_first_not_of(kSpace); start != std::u16string_view::npos;) {
    const size_t end = std::min(list.find_first_of(kSpace, start), list.size());
    tokens.push_back(list.substr(start, end - start));
    start = list.find_first_not_of(kSpace, end);
  }
  return tokens;
}

std::optional<std::u16string_view> FindAttribute(const XmlElement& element, std::u16string_view ns,
                                                 std::u16string_view local) {
  for (const XmlAttribute& attribute : element.Attributes()) {
    if (attribute.NamespaceUri() == ns && attribute.LocalName() == local) return attribute.Value();
  }
  return std::nullopt;
}

const XmlElement* WsdlSources::Load(const std::string& path, const XmlElement* from) {
  const std::string file = from ? Beside(path, FileOf(*from)) : path;
  const std::string identity = Identity(file);
  for (const auto& source : sources_) {
    if (source->identity == identity) return nullptr;
  }
  std::string bytes;
  if (!ReadFile(file, bytes)) {
    if (from) Fail(*from, "cannot read " + file);
    throw WsdlError{file, 0, "cannot read the file"};
  }
  auto source = std::make_unique<Source>();
  source->path = file;
  source->identity = identity;
  try {
    source->document.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), nullptr);
  } catch (int line) {
    throw WsdlError{file, line,
                    "not well-formed XML: expected " + std::string(source->document.LastError().expected)};
  }
  source->root = source->document.Root();
  sources_.push_back(std::move(source));
  return sources_.back()->root;
}

const WsdlSources::Source* WsdlSources::Locate(const XmlElement& element, int& line) const {
  const char16_t* place = PlaceOf(element);
  for (const auto& source : sources_) {
    line = place ? source->document.LineAt(place) : 0;
    if (line > 0) return source.get();
  }
  line = 0;
  return nullptr;
}

const std::string& WsdlSources::FileOf(const XmlElement& element) const {
  int line = 0;
  const Source* source = Locate(element, line);
  return source ? source->path : sources_.front()->path;
}

void WsdlSources::Fail(const XmlElement& at, const std::string& message, const XmlElement* near) const {
  int line = 0;
  const Source* source = Locate(at, line);
  if (!source && near) source = Locate(*near, line);
  throw WsdlError{source ? source->path : sources_.front()->path, line, message};
}

std::u16string_view WsdlSources::Required(const XmlElement& element, std::u16string_view local) const {
  const auto value = FindAttribute(element, u"", local);
  if (!value) Fail(element, Narrow(element.LocalName()) + " has no " + Narrow(local) + " attribute");
  return *value;
}

TypeName WsdlSources::Resolve(const XmlElement& element, std::u16string_view qname) const {
  const size_t colon = qname.find(u':');
  if (colon == std::u16string_view::npos) {
    return {std::u16string(qname), std::u16string(element.DefaultNamespace())};
  }
  const std::u16string_view prefix = qname.substr(0, colon);
  const std::u16string_view* uri = element.Scope().Find(prefix);
  if (!uri) Fail(element, "the prefix " + Narrow(prefix) + " of " + Narrow(qname) + " is not declared");
  return {std::u16string(qname.substr(colon + 1)), std::u16string(*uri)};
}

}  // namespace qxsoap::host
