// The WSDL's schemas, each copied into a document of its own with the
// namespace declarations of the WSDL root (their QName attribute values use
// those prefixes); the types schema goes to a temporary file that the
// elements schema imports, as libxml2 resolves imports by location only.
#include "wsdl_schema_check.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <cstring>

namespace qxsoap::testing {
namespace {

constexpr char kXsdNs[] = "http://www.w3.org/2001/XMLSchema";

bool IsXsd(const xmlNode* node, const char* local) {
  return node->type == XML_ELEMENT_NODE && node->ns &&
         std::strcmp(reinterpret_cast<const char*>(node->ns->href), kXsdNs) == 0 &&
         std::strcmp(reinterpret_cast<const char*>(node->name), local) == 0;
}

xmlNode* FirstElementChild(xmlNode* node) {
  for (xmlNode* child = node ? node->children : nullptr; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) return child;
  }
  return nullptr;
}

// Every element below `node` named `local` in the schema namespace.
void FindAll(xmlNode* node, const char* local, std::vector<xmlNode*>& found) {
  for (xmlNode* child = node->children; child; child = child->next) {
    if (IsXsd(child, local)) found.push_back(child);
    if (child->type == XML_ELEMENT_NODE) FindAll(child, local, found);
  }
}

std::string Attribute(xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  std::string text = value ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return text;
}

// The schema element of the WSDL `wsdl` whose target is `ns`, alone in a
// new document that declares everything the WSDL root declares.
xmlDocPtr StandaloneSchema(xmlDocPtr wsdl, std::string_view ns) {
  std::vector<xmlNode*> schemas;
  FindAll(xmlDocGetRootElement(wsdl), "schema", schemas);
  for (xmlNode* schema : schemas) {
    if (Attribute(schema, "targetNamespace") != ns) continue;
    xmlDocPtr document = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    xmlNode* copy = xmlDocCopyNode(schema, document, 1);
    xmlDocSetRootElement(document, copy);
    for (xmlNs* declared = xmlDocGetRootElement(wsdl)->nsDef; declared; declared = declared->next) {
      if (!xmlSearchNs(document, copy, declared->prefix)) xmlNewNs(copy, declared->href, declared->prefix);
    }
    return document;
  }
  ADD_FAILURE() << "the WSDL has no schema for " << ns;
  return nullptr;
}

void KeepFirstComplaint(void* sink, xmlErrorPtr error) {
  auto* text = static_cast<std::string*>(sink);
  if (text->empty() && error && error->message) *text = error->message;
}

}  // namespace

struct WsdlSchemaCheck::Schemas {
  std::string typesFile;
  xmlSchemaPtr schema = nullptr;
};

WsdlSchemaCheck::WsdlSchemaCheck(const std::string& path, std::string_view typesNamespace,
                                 std::string_view elementsNamespace)
    : schemas_(std::make_unique<Schemas>()) {
  xmlDocPtr wsdl = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
  if (!wsdl) {
    ADD_FAILURE() << "libxml2 cannot read " << path;
    return;
  }
  xmlDocPtr types = StandaloneSchema(wsdl, typesNamespace);
  xmlDocPtr elements = StandaloneSchema(wsdl, elementsNamespace);
  xmlFreeDoc(wsdl);
  if (!types || !elements) return;
  schemas_->typesFile = ::testing::TempDir() + "wsdl_schema_check_types.xsd";
  xmlSaveFile(schemas_->typesFile.c_str(), types);
  xmlFreeDoc(types);
  std::vector<xmlNode*> imports;
  FindAll(xmlDocGetRootElement(elements), "import", imports);
  for (xmlNode* import : imports) {
    if (Attribute(import, "namespace") == typesNamespace)
      xmlSetProp(import, reinterpret_cast<const xmlChar*>("schemaLocation"),
                 reinterpret_cast<const xmlChar*>(schemas_->typesFile.c_str()));
  }
  xmlSchemaParserCtxtPtr parser = xmlSchemaNewDocParserCtxt(elements);
  schemas_->schema = xmlSchemaParse(parser);
  xmlSchemaFreeParserCtxt(parser);
  xmlFreeDoc(elements);
  if (!schemas_->schema) ADD_FAILURE() << "libxml2 cannot compile the schemas of " << path;
}

WsdlSchemaCheck::~WsdlSchemaCheck() {
  if (schemas_->schema) xmlSchemaFree(schemas_->schema);
}

std::string WsdlSchemaCheck::BodyChildComplaint(std::string_view envelope) const {
  if (!schemas_->schema) return "no schema";
  xmlDocPtr message = xmlReadMemory(envelope.data(), int(envelope.size()), nullptr, nullptr,
                                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!message) return "not well-formed";
  xmlNode* body = FirstElementChild(xmlDocGetRootElement(message));
  while (body && std::strcmp(reinterpret_cast<const char*>(body->name), "Body") != 0) body = body->next;
  xmlNode* child = FirstElementChild(body);
  std::string complaint;
  if (!child) {
    complaint = "the Body has no child";
  } else {
    xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(schemas_->schema);
    xmlSchemaSetValidStructuredErrors(validator, KeepFirstComplaint, &complaint);
    const int result = xmlSchemaValidateOneElement(validator, child);
    if (result != 0 && complaint.empty()) complaint = "invalid (" + std::to_string(result) + ")";
    xmlSchemaFreeValidCtxt(validator);
  }
  xmlFreeDoc(message);
  return complaint;
}

}  // namespace qxsoap::testing
