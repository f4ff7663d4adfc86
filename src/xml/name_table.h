// The names and namespace URIs of one parsed document, each kept once: a
// SOAP array repeats the same few element names thousands of times, and
// every element of one name in one namespace scope shares one shape.
#ifndef QXSOAP_XML_NAME_TABLE_H_
#define QXSOAP_XML_NAME_TABLE_H_

#include <string_view>
#include <vector>

#include "xml/tree_memory.h"
#include "xml/view_set.h"
#include "xml/xml_element.h"

namespace qxsoap {

class NameTable {
 public:
  explicit NameTable(TreeMemory& memory) : memory_(memory) {}

  // The one view of `uri`'s text for this document; the first one seen is
  // kept. The views must live as long as the tree.
  std::u16string_view InternUri(std::u16string_view uri);

  // The shape of elements named `qualified` in `scope`, which resolves the
  // name to the namespace `uri` with the local name from `localStart` (the
  // name and scope decide the rest, so they are the key). Made in the tree
  // memory on first use.
  const XmlElementShape& Intern(std::u16string_view qualified, std::u16string_view uri,
                                size_t localStart, const NamespaceScope& scope);

 private:
  void Grow();

  TreeMemory& memory_;
  ViewSet uris_;
  // Open addressing, linear probing; a power of two in size, at most half
  // full.
  std::vector<const XmlElementShape*> slots_ = std::vector<const XmlElementShape*>(64);
  size_t count_ = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_NAME_TABLE_H_
