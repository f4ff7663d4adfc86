// host/wsdl_source.h: the WSDL and schema files a port is read from, kept
// parsed while it is read, and what every reader of them needs: finding an
// attribute, resolving a QName, and refusing a construct with its file and
// line.
#ifndef QXSOAP_HOST_WSDL_SOURCE_H_
#define QXSOAP_HOST_WSDL_SOURCE_H_

#include <memory>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/memory_port.h"
#include "qxsoap/wsdl_port.h"
#include "xml/xml_document.h"

namespace qxsoap::host {

inline constexpr std::u16string_view WSDL_NS = u"http://schemas.xmlsoap.org/wsdl/";

// The text as UTF-8, for messages and output.
std::string Narrow(std::u16string_view text);

// The pieces run together, for messages. Built by appending: a literal
// prepended to a temporary string trips g++ 12's -Wrestrict in optimised
// builds.
std::string Joined(std::initializer_list<std::string_view> pieces);

// The value of attribute `local` in `ns` (empty: unprefixed), or nullopt.
std::optional<std::u16string_view> FindAttribute(const XmlElement& element, std::u16string_view ns,
                                                 std::u16string_view local);

// The items of a whitespace-separated list (parameterOrder, parts,
// arraySize).
std::vector<std::u16string_view> Tokens(std::u16string_view list);

// True when `element` is `local` in namespace `ns`.
inline bool Is(const XmlElement& element, std::u16string_view ns, std::u16string_view local) {
  return element.NamespaceUri() == ns && element.LocalName() == local;
}

class WsdlSources {
 public:
  // Reads and parses the file at `path`; relative paths are taken beside
  // the file `from` (null: as given). Returns its root, or null when that
  // file was loaded already. Throws WsdlError when it cannot be read or is
  // not well-formed (at `from`, when given, for a file that is missing).
  const XmlElement* Load(const std::string& path, const XmlElement* from);

  // The root of the file loaded first.
  const XmlElement& FirstRoot() const { return *sources_.front()->root; }

  // The file an element of a loaded document comes from.
  const std::string& FileOf(const XmlElement& element) const;

  // Throws WsdlError `message` at the line of `at`, or of `near` when the
  // line of `at` cannot be told.
  [[noreturn]] void Fail(const XmlElement& at, const std::string& message,
                         const XmlElement* near = nullptr) const;

  // The value of a required attribute; fails at `element` when it is absent.
  std::u16string_view Required(const XmlElement& element, std::u16string_view local) const;

  // Resolves the QName `qname` written in `element` by the namespaces in
  // scope there; an unprefixed name takes the default namespace.
  TypeName Resolve(const XmlElement& element, std::u16string_view qname) const;

 private:
  struct Source {
    std::string path;
    std::string identity;  // the path with its links and dot segments resolved
    XmlDocument document;
    const XmlElement* root = nullptr;
  };
  // The source whose text holds `element`, and the line there (0: none).
  const Source* Locate(const XmlElement& element, int& line) const;
  std::vector<std::unique_ptr<Source>> sources_;
};

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_WSDL_SOURCE_H_
