// host/memory_port.h: a port description held in memory. A host that has
// its WSDL port in some other form (or none: a fixed service) declares the
// binding, operations, parts and schema types in a few lines and passes the
// object to the handler's Initialize:
//
//   auto port = MemoryPort::Create();
//   port->Binding(WSDL_SOAP11_NS).Style(u"rpc").Address(u"example.org", u"/calc", 8080);
//   port->Operation(u"Add").Namespace(u"urn:calc").Action(u"urn:calc#Add").Use(u"encoded")
//       .In(u"a", Xsd(u"int")).In(u"b", Xsd(u"int")).Return(u"sum", Xsd(u"int"));
//   port->Struct({u"Point", u"urn:types"}).Member(u"x", Xsd(u"int")).Member(u"y", Xsd(u"int"));
//   port->Array({u"IntArray", u"urn:types"}, Xsd(u"int"));
//
// Every PortDescription call answers from what was declared and reports
// anything else as not found; the answers follow the conventions of
// qxsoap/port_description.h. Declaring the same item again replaces it.
//
// The object counts its references like a COM object, atomically, and
// deletes itself at the last Release. Threads: declare everything before
// handing the object out; after that its PortDescription calls only read, so
// any number of threads (one handler each) may share it.
//
// Link: IID_PortDescription comes from the handler the program is linked
// with (libqxsoapmsg exports it), not from this library.
#ifndef QXSOAP_HOST_MEMORY_PORT_H_
#define QXSOAP_HOST_MEMORY_PORT_H_

#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qxcom/owned.h"
#include "qxsoap/port_description.h"
#include "xml/namespaces.h"

namespace qxsoap::host {

// A schema type or element name: local name and namespace (empty: none).
struct TypeName {
  std::u16string name;
  std::u16string ns;
  auto operator<=>(const TypeName&) const = default;
};

// A type name looked up without a copy of its texts.
struct TypeNameView {
  std::u16string_view name;
  std::u16string_view ns;
};

// A struct member's declaration key: the struct type, the member's name
// and namespace.
struct MemberKey {
  TypeName type;
  std::u16string name;
  std::u16string ns;
};
struct MemberKeyView {
  TypeNameView type;
  std::u16string_view name;
  std::u16string_view ns;
};

// Orders the port's keys, which are made of texts, so that a lookup by
// views makes no copy of its key: text by text, each by its length and then
// all its bytes at once (any strict order serves a map; this one never
// compares unit by unit).
struct TextKeyOrder {
  using is_transparent = void;
  bool operator()(const auto& a, const auto& b) const { return Less(Texts(a), Texts(b)); }

  using NameTexts = std::array<std::u16string_view, 1>;
  using TypeTexts = std::array<std::u16string_view, 2>;
  using MemberTexts = std::array<std::u16string_view, 4>;
  static NameTexts Texts(std::u16string_view name) { return {name}; }
  static TypeTexts Texts(const TypeName& type) { return {type.name, type.ns}; }
  static TypeTexts Texts(const TypeNameView& type) { return {type.name, type.ns}; }
  static MemberTexts Texts(const MemberKey& key) { return {key.type.name, key.type.ns, key.name, key.ns}; }
  static MemberTexts Texts(const MemberKeyView& key) { return {key.type.name, key.type.ns, key.name, key.ns}; }
  template <size_t N>
  static bool Less(const std::array<std::u16string_view, N>& a, const std::array<std::u16string_view, N>& b) {
    for (size_t i = 0; i < N; ++i) {
      if (a[i].size() != b[i].size()) return a[i].size() < b[i].size();
      if (a[i].empty()) continue;
      if (const int order = std::memcmp(a[i].data(), b[i].data(), a[i].size() * sizeof(char16_t))) return order < 0;
    }
    return false;
  }
};

// Declarations by type or element name.
template <typename Declaration>
using TypeMap = std::map<TypeName, Declaration, TextKeyOrder>;

// A built-in type of the 2001 XML Schema namespace, e.g. Xsd(u"int").
inline TypeName Xsd(std::u16string_view name) { return {std::u16string(name), std::u16string(XSD2001_NS)}; }

// A header block or fault detail entry declared for an operation.
struct BlockDeclaration {
  TypeName type;
  std::u16string encodingStyle;
  std::u16string use;
};

// A part of an operation's messages. A return value is an output that is
// not a parameter.
struct PartDeclaration {
  std::u16string name;
  TypeName type;
  bool isIn = false;
  bool isOut = false;
  bool isReturn = false;
  // An in/out part whose output message gives it another type than its
  // input message (as document-style "parameters" parts do).
  std::optional<TypeName> outputType;
};

// Everything declared for one operation; an unset optional is "not found".
struct OperationDeclaration {
  std::u16string ns;
  std::optional<std::u16string> action;
  VARIANT_BOOL actionRequired = VARIANT_FALSE;
  std::optional<std::u16string> inputUse, outputUse, inputEncodingStyle, outputEncodingStyle;
  std::vector<PartDeclaration> parts;
  // Keyed by (block name, block namespace).
  TypeMap<BlockDeclaration> inputHeaders, outputHeaders, faultHeaders, faultDetails;
};

class MemoryPort;

// Declares one operation; every call returns the builder for the next. The
// builder refers into its port: use it while the port lives, and do not keep
// it past the next MemoryPort::Operation call.
class OperationBuilder {
 public:
  explicit OperationBuilder(OperationDeclaration& operation) : operation_(operation) {}
  // The namespace of the operation's wrapper element (GetOperationNS).
  OperationBuilder& Namespace(std::u16string_view ns);
  // The SOAPAction (GetSOAPAction); `required` is what IsSOAPActionRequired
  // reports. Without an Action both are not found (unless a declaration
  // made the action required without naming it).
  OperationBuilder& Action(std::u16string_view action, bool required = false);
  // The `use` ("encoded" or "literal") of input and output together, or of
  // each on its own.
  OperationBuilder& Use(std::u16string_view use);
  OperationBuilder& InputUse(std::u16string_view use);
  OperationBuilder& OutputUse(std::u16string_view use);
  // The encoding style URI of input and output.
  OperationBuilder& EncodingStyle(std::u16string_view style);
  // Parts in declaration order; their positions count from 0 in that order
  // (a return value is walked there but reports no position).
  // In: an input parameter. Out: an output parameter. InOut: both. Return:
  // the return value (an output, and not a parameter).
  OperationBuilder& In(std::u16string_view part, TypeName type);
  OperationBuilder& Out(std::u16string_view part, TypeName type);
  OperationBuilder& InOut(std::u16string_view part, TypeName type);
  OperationBuilder& Return(std::u16string_view part, TypeName type);
  // Header blocks of the input, output and fault messages and fault detail
  // entries, by element name and namespace, with their schema type. An
  // empty encodingStyle or use is reported as not found.
  OperationBuilder& InputHeader(TypeName element, TypeName type, std::u16string_view encodingStyle = u"");
  OperationBuilder& OutputHeader(TypeName element, TypeName type, std::u16string_view encodingStyle = u"");
  OperationBuilder& FaultHeader(TypeName element, TypeName type, std::u16string_view encodingStyle = u"");
  OperationBuilder& FaultDetail(TypeName element, TypeName type, std::u16string_view use = u"literal",
                                std::u16string_view encodingStyle = u"");

 private:
  OperationBuilder& AddPart(std::u16string_view part, TypeName type, bool isIn, bool isOut, bool isReturn);
  OperationDeclaration& operation_;
};

// Declares the members of a struct type; refers to its port like
// OperationBuilder.
class StructBuilder {
 public:
  StructBuilder(MemoryPort& port, TypeName type) : port_(port), type_(std::move(type)) {}
  // A member element `member` in namespace `memberNS` (empty: unqualified)
  // of schema type `type` (GetMemberType).
  StructBuilder& Member(std::u16string_view member, TypeName type, std::u16string_view memberNS = u"");

 private:
  MemoryPort& port_;
  TypeName type_;
};

class MemoryPort final : public PortDescription {
 public:
  // A new, empty port with one reference, owned by the returned pointer.
  static qxcom::ComPtr<MemoryPort> Create();

  // ---- Declarations; each returns the port (or a builder) for the next ----
  // The namespace of the WSDL SOAP binding (GetBindingNS): WSDL_SOAP11_NS or
  // WSDL_SOAP12_NS.
  MemoryPort& Binding(std::u16string_view bindingNS);
  // The binding style, "rpc" or "document" (GetStyle).
  MemoryPort& Style(std::u16string_view style);
  // The port's address (GetAddress); `path` starts with "/".
  MemoryPort& Address(std::u16string_view host, std::u16string_view path, LONG port);
  // Declares operation `name`, or returns it again to add to it.
  OperationBuilder Operation(std::u16string_view name);
  // Declares operation `name` with everything about it at once, replacing
  // what was declared for it before.
  MemoryPort& Operation(std::u16string_view name, OperationDeclaration operation);
  // A struct type; its base (GetBaseType) is the type itself.
  StructBuilder Struct(TypeName type);
  // An encoded array of `item` with `rank` dimensions (GetArrayItemType,
  // GetArrayRank); its base is "Array" in `encodingNS`.
  MemoryPort& Array(TypeName type, TypeName item, LONG rank = 1,
                    std::u16string_view encodingNS = SOAP11_ENC_NS);
  // A literal array whose items are `itemElement` elements of `itemType`
  // (GetLiteralArrayType).
  MemoryPort& LiteralArray(TypeName type, TypeName itemType, TypeName itemElement);
  // A type derived from `base` (GetBaseType). Undeclared types of a schema
  // namespace are their own base.
  MemoryPort& Derived(TypeName type, TypeName base);
  // The type of a header block for any operation (GetHeaderType).
  MemoryPort& HeaderType(TypeName element, TypeName type);
  // From now on QueryInterface refuses IID_PortDescription, as an object
  // passed by mistake would; lets a test see the handler refuse it.
  MemoryPort& WithoutPortDescriptionInterface();

  // References held now.
  ULONG RefCount() const { return references_; }

  // ---- IUnknown, IDispatch ----
  // QueryInterface offers IUnknown, IDispatch and PortDescription. The
  // handler calls through the vtable only, so the IDispatch calls report no
  // type information and E_NOTIMPL.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

  // ---- PortDescription ----
  HRESULT STDMETHODCALLTYPE GetSOAPAction(BSTR op, BSTR* action, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOperationNS(BSTR op, BSTR* ns, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetAddress(BSTR* host, BSTR* path, LONG* port, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputUse(BSTR op, BSTR* use, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputEncodingStyle(BSTR op, BSTR* style, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputEncodingStyle(BSTR op, BSTR* style, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetStyle(BSTR* style, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE IsParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) override;
  HRESULT STDMETHODCALLTYPE GetInputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                             VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputPartType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                              VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE IsInParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) override;
  HRESULT STDMETHODCALLTYPE IsOutParameter(BSTR op, BSTR part, VARIANT_BOOL* flag) override;
  HRESULT STDMETHODCALLTYPE GetFirstPart(BSTR op, BSTR* part, LONG* position, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetNextPart(BSTR op, BSTR* part, LONG* position, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetHeaderType(BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                          VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetMemberType(BSTR typeName, BSTR typeNS, BSTR member, BSTR memberNS,
                                          BSTR* memberTypeName, BSTR* memberTypeNS,
                                          VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetBaseType(BSTR typeName, BSTR typeNS, BSTR* baseName, BSTR* baseNS,
                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetArrayItemType(BSTR typeName, BSTR typeNS, BSTR* itemName, BSTR* itemNS,
                                             VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                               VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                                VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultHeaderType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                               VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultDetailType(BSTR op, BSTR part, BSTR ns, BSTR* typeName, BSTR* typeNS,
                                               VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetArrayRank(BSTR typeName, BSTR typeNS, LONG* rank,
                                         VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetReturnType(BSTR op, BSTR part, BSTR* typeName, BSTR* typeNS,
                                          VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetPartPosition(BSTR op, BSTR part, LONG* position, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetBindingNS(BSTR* ns, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetInputHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetOutputHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                         VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultHeaderEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE IsSOAPActionRequired(BSTR op, VARIANT_BOOL* flag, VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultDetailEncodingStyle(BSTR op, BSTR part, BSTR ns, BSTR* style,
                                                        VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetFaultDetailUse(BSTR op, BSTR part, BSTR ns, BSTR* use,
                                              VARIANT_BOOL* found) override;
  HRESULT STDMETHODCALLTYPE GetLiteralArrayType(BSTR typeName, BSTR typeNS, BSTR* itemTypeName,
                                                BSTR* itemTypeNS, BSTR* itemElemName, BSTR* itemElemNS,
                                                VARIANT_BOOL* found) override;

 private:
  friend class StructBuilder;
  struct LiteralArrayDeclaration {
    TypeName itemType;
    TypeName itemElement;
  };
  struct EncodedArrayDeclaration {
    TypeName item;
    LONG rank;
  };

  MemoryPort() = default;
  ~MemoryPort() = default;

  using OperationText = std::optional<std::u16string> OperationDeclaration::*;
  using Blocks = TypeMap<BlockDeclaration> OperationDeclaration::*;

  const OperationDeclaration* FindOperation(BSTR op) const;
  // Stores `text` of operation `op` in *out, or reports it not found.
  HRESULT GiveOperationText(BSTR op, OperationText text, BSTR* out, VARIANT_BOOL* found) const;
  const BlockDeclaration* FindBlock(BSTR op, Blocks blocks, BSTR part, BSTR ns) const;
  const PartDeclaration* FindPart(BSTR op, BSTR part, LONG* position = nullptr) const;
  std::optional<TypeNameView> BaseOf(TypeNameView type) const;

  std::atomic<ULONG> references_{1};
  bool offersInterface_ = true;
  std::optional<std::u16string> bindingNS_, style_;
  struct {
    std::u16string host, path;
    LONG port = 0;
  } address_;
  bool hasAddress_ = false;
  std::map<std::u16string, OperationDeclaration, TextKeyOrder> operations_;
  std::map<MemberKey, TypeName, TextKeyOrder> members_;
  TypeMap<TypeName> bases_;
  TypeMap<EncodedArrayDeclaration> encodedArrays_;
  TypeMap<LiteralArrayDeclaration> literalArrays_;
  TypeMap<TypeName> headerTypes_;
};

}  // namespace qxsoap::host

#endif  // QXSOAP_HOST_MEMORY_PORT_H_
