// Checking a message body element against the XML Schemas a WSDL file
// carries, with libxml2's validator: what a strict document/literal client
// does with the response it receives.
#ifndef QXSOAP_TESTS_WRAPPED_WSDL_SCHEMA_CHECK_H_
#define QXSOAP_TESTS_WRAPPED_WSDL_SCHEMA_CHECK_H_

#include <memory>
#include <string>
#include <string_view>

namespace qxsoap::testing {

class WsdlSchemaCheck {
 public:
  // Loads the inline schemas of the WSDL file at `path`: the schema of
  // `typesNamespace` and the one of `elementsNamespace`, which imports it.
  WsdlSchemaCheck(const std::string& path, std::string_view typesNamespace,
                  std::string_view elementsNamespace);
  ~WsdlSchemaCheck();

  // Empty when the first child of the SOAP Body of `envelope` is valid
  // against the schemas, else libxml2's first complaint (or why the
  // envelope has no such child).
  std::string BodyChildComplaint(std::string_view envelope) const;

 private:
  struct Schemas;
  std::unique_ptr<Schemas> schemas_;
};

}  // namespace qxsoap::testing

#endif  // QXSOAP_TESTS_WRAPPED_WSDL_SCHEMA_CHECK_H_
