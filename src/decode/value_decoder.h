// Decodes accessor records into automation values once a message has been
// read: built-in values from their text, structs into struct objects and
// arrays into SAFEARRAYs of VARIANT, SOAP-encoded or literal. Types come
// from the host's port description, not from the message: the message's
// xsi types are only consulted for anyType values and its arrayType only
// compared with the port's item type.
//
// Every problem raises a fault record; a value partly built when that
// happens is released first. References (href, ref) are followed through
// the parser that read the records; a chain of references or nested values
// deeper than kMaxValueDepth, which is how a reference cycle shows itself,
// is a Sender fault rather than unbounded recursion.
#ifndef QXSOAP_DECODE_VALUE_DECODER_H_
#define QXSOAP_DECODE_VALUE_DECODER_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <memory>
#include <vector>

#include "decode/accessor_handler.h"
#include "decode/port_queries.h"
#include "decode/simple_types.h"
#include "model/struct_member_list.h"
#include "qxcom/oleauto.h"
#include "qxcom/owned.h"
#include "qxsoap/port_description.h"

namespace qxsoap {

class MessageHandler;
class MessageParserEngine;

// How deep values may nest, references followed included. Element nesting
// alone stops at the reader's limit, well below this.
inline constexpr int kMaxValueDepth = 512;

// How much one decoder may read, in values, beyond one per byte of the
// message. A value is read again for each reference to it, so references
// to values that refer on could make a short message decode to more than
// memory holds. Reading counts one value for each element, one for each of
// its attributes and one for each eight units of a text or an attribute
// value, so that references to long texts or to many attributes count what
// they cost; without references a message counts far fewer than its bytes.
inline constexpr size_t kValuesBeyondMessageSize = size_t(1) << 16;

class ValueDecoder {
 public:
  // Decodes the records `parser` read, for `handler`'s message (its SOAP
  // version, and its attachments of the current phase for references that
  // name one), with types from `port`.
  ValueDecoder(MessageHandler& handler, PortDescription& port, const MessageParserEngine& parser);

  // ---- Built-in values; `out` must hold nothing to free ----

  // Checks that `accessor` is a simple value in `expectedStyle` (no child
  // elements, nodeType "simple" if any, no other encodingStyle), then
  // converts its text by the built-in type `type`.
  // `known`, when given, are the accessor's attributes, read already.
  void SimpleEncoded(std::u16string_view expectedStyle, const AccessorHandler& accessor,
                     SimpleType type, VARIANT* out, const AccessorAttributes* known = nullptr);
  // Converts the text without checks.
  void SimpleLiteral(const AccessorHandler& accessor, SimpleType type, VARIANT* out);

  // ---- Values of described types ----

  // A SOAP-encoded value of `type`: a struct, an array or, for a type
  // derived from a built-in one, a simple value. `record` is read; when it
  // was reached through `referrer`'s href (`byReference`), an offset on the
  // referrer applies to the array read.
  void ComplexEncoded(std::u16string_view expectedStyle, const AccessorHandler& record,
                      const AccessorHandler& referrer, bool byReference, TypeRef type,
                      VARIANT* out);
  // A literal value of `type`: an array, a simple value or a struct.
  void ComplexLiteral(const AccessorHandler& record, TypeRef type, VARIANT* out);

  // The fault message of a use site whose reference leads nowhere:
  // `pattern` with its "%s" replaced by `name`. It is made only when the
  // fault is raised, not for every value read.
  struct SiteMessage {
    std::u16string_view pattern;
    std::u16string_view name = {};
  };

  // What a use site reads for an accessor: `source` is the accessor itself,
  // or the record its href names, or null when the href names an attachment
  // (stored in the site's VARIANT). `attributes` are the accessor's own, for
  // a caller that reads the accessor itself next; returned rather than
  // written to the caller's, as they are read once per value.
  struct Followed {
    const AccessorHandler* source;
    AccessorAttributes attributes;
  };

  // Follows `accessor`'s href: an attachment of the current phase is stored
  // in *out as VT_UNKNOWN; an href that names neither a record nor an
  // attachment raises MissingID with the site's message. Each call counts
  // one value read, and the attributes of the accessor and of the element it
  // refers to: past the decoder's limit it raises the Sender fault.
  Followed Follow(const AccessorHandler& accessor, const SiteMessage& site, VARIANT* out);

  // The fault a value of the message's version raises when its
  // encodingStyle is not the expected one: Sender under SOAP 1.1,
  // DataEncodingUnknown under SOAP 1.2.
  [[noreturn]] void RaiseUnsupportedStyle(std::u16string message, bool needDetail) const;

  // A struct member as the port types it, with its names ready for the
  // struct objects.
  struct Member {
    SharedMemberName names;  // shared by every struct object read
    // The names as the message's tree holds them. The tree keeps one copy
    // of each name, so a later accessor of this member matches by address;
    // a decoder lives no longer than the tree it reads.
    std::u16string_view treeName, treeNs;
    PortType type;
    bool builtIn;           // `type` is a built-in one,
    SimpleType simpleType;  // and then this is it
  };
  // The members of one struct type met so far. A deque, since adding one
  // must not move the others: a struct decoding a member holds that
  // member's entry while a nested struct of the same type may meet a member
  // new to the type.
  struct StructType {
    PortType type;
    std::deque<Member> members;
  };

 private:
  // Counts one level of nesting while it lives; the level past
  // kMaxValueDepth raises the Sender fault.
  class Nesting {
   public:
    Nesting(ValueDecoder& decoder, const AccessorHandler& record);
    ~Nesting();
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    ValueDecoder& decoder_;
  };

  void StructEncoded(std::u16string_view expectedStyle, TypeRef type, const AccessorHandler& record,
                     VARIANT* out);
  void StructLiteral(TypeRef type, const AccessorHandler& record, VARIANT* out);
  void ArrayEncoded(std::u16string_view expectedStyle, TypeRef type, const AccessorHandler& record,
                    std::optional<std::u16string_view> referrerOffset, VARIANT* out);
  void ArrayLiteral(const AccessorHandler& record, TypeRef itemElement, TypeRef itemType,
                    VARIANT* out);
  // Counts `values` read against the decoder's limit (see
  // kValuesBeyondMessageSize); past it, raises the Sender fault.
  void CountValues(const AccessorHandler& accessor, size_t values);
  // `attributes` are the accessor's.
  void ConvertSimpleText(const AccessorHandler& accessor, const AccessorAttributes& attributes,
                         SimpleType type, VARIANT* out);

  // The struct type `type` and the members of it met so far. Types and
  // members are asked of the port once and kept for the decoder's life (a
  // port answers the same question the same way within an exchange), and
  // found again by a short scan: a message uses few types of few members.
  StructType& StructTypeOf(TypeRef type);
  // The member of a struct of `structType` that `member`, the struct's
  // child at `position`, is; the member met at that position before is
  // tried first. A member the port does not know is refused, whatever type
  // the message gives it.
  const Member& MemberOf(StructType& structType, const AccessorHandler& member, size_t position);

  // The struct component's class factory, asked for at the first struct
  // and kept: finding a class is a registry lookup, too slow to repeat
  // for every struct of an array.
  IClassFactory& StructFactory(bool needDetail);

  MessageHandler& handler_;
  PortDescription& port_;
  qxcom::ComPtr<IClassFactory> structFactory_;
  std::vector<std::unique_ptr<StructType>> structTypes_;
  const MessageParserEngine& parser_;
  int32_t soapVersion_;
  int depth_ = 0;
  size_t valuesLeft_;  // values Follow and CountValues may still count
};

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_VALUE_DECODER_H_
