// frame/engines.h: the seams between the message handler and the engines that
// do the work of an exchange: the request and response parsers, the RPC
// dispatcher (binding check, parameter binding, GET binding, mustUnderstand
// check) and the message serializer. The handler owns one of each, installed
// at construction or with its setters, and sequences them; without one, the
// entry point that needs it fails with a recorded Receiver fault.
//
// Errors: an engine raises a QXSOAPFault (thrown by pointer, see
// model/fault_record.h) for anything it cannot do; the handler's entry point
// catches and records it. Nothing else may leave an engine: the reader's line
// number, HRESULTs of value conversions and the like are turned into fault
// records inside the engine.
#ifndef QXSOAP_FRAME_ENGINES_H_
#define QXSOAP_FRAME_ENGINES_H_

#include <memory>
#include <optional>
#include <string_view>

struct PortDescription;

namespace qxsoap {

class AccessorHandler;
class MessageHandler;
class XmlElement;

// Parses the handler's current message (GetBuffer) and stores what it reads
// into the handler: SOAP version, method name and namespace, header blocks,
// the literal Body and, for a received fault, the fault state. `port` is
// never null. The records of the last parse stay with the parser for the
// binding that follows.
class MessageParserEngine {
 public:
  virtual ~MessageParserEngine() = default;
  virtual void Parse(MessageHandler& handler, PortDescription& port) = 0;
  // The record of the Body's RPC wrapper read by the last parse; null when
  // there was none or the parse failed.
  virtual const AccessorHandler* RpcWrapper() const = 0;
  // The record whose id an `href` (SOAP 1.1, with or without its leading
  // "#") or `ref` (SOAP 1.2) names: the Body's ids are searched before the
  // Header's. Null when no record has that id.
  virtual const AccessorHandler* ResolveReference(std::u16string_view href) const = 0;
  // True when the last parse read a response whose Body holds a Fault.
  virtual bool FaultFound() const = 0;
  // The accessor that a SOAP 1.2 response names as its return value with
  // the RPC `result` element: its local name and namespace (empty for an
  // unprefixed name). Nullopt when the last parse read no such element.
  struct AccessorName {
    std::u16string_view localName;
    std::u16string_view namespaceUri;
  };
  virtual std::optional<AccessorName> ResultName() const = 0;
  // The Envelope element the last parse read; null when there was none or
  // the parse failed. An intermediary writes its message on in an envelope
  // with this one's name, declarations and attributes.
  virtual const XmlElement* ParsedEnvelope() const = 0;
};

// The RPC side of the exchange. `port` is never null.
class RpcEngine {
 public:
  virtual ~RpcEngine() = default;
  // Checks that the port has a SOAP binding of the parsed message's version.
  virtual void CheckBinding(MessageHandler& handler, PortDescription& port) = 0;
  // Looks up the operation and binds the request (request phase) or the
  // response from the next hop into the handler. Returns the binding's
  // result.
  virtual bool BindCall(MessageHandler& handler, PortDescription& port) = 0;
  // Binds a call made by HTTP GET from the extra path and query string.
  virtual bool BindGetCall(MessageHandler& handler, PortDescription& port,
                           std::u16string_view svcURI, std::u16string_view extraPath,
                           std::u16string_view queryString) = 0;
  // The mustUnderstand check: records its own fault in the handler and
  // returns false when a targeted block is not understood. Raises nothing.
  virtual bool CheckMustUnderstand(MessageHandler& handler) = 0;
};

// Builds the outgoing message from the handler's state as an element tree:
// the fault envelope when the handler reports IsSOAPFault and
// IsFaultRaisedHere, the message envelope otherwise. Returns the root
// element (the handler writes it out as UTF-8 with the XML declaration), or
// null when there is no message to write. `port` is never null. The tree
// may refer to the strings of the handler's values instead of copying them:
// it is written out before any of them can change.
class MessageSerializerEngine {
 public:
  virtual ~MessageSerializerEngine() = default;
  virtual std::unique_ptr<XmlElement> BuildMessage(MessageHandler& handler, PortDescription& port) = 0;
};

}  // namespace qxsoap

#endif  // QXSOAP_FRAME_ENGINES_H_
