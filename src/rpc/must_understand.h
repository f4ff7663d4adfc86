// The mustUnderstand check: the received header blocks targeted at this
// node are consumed, except the first that must be understood, which turns
// into a MustUnderstand fault. Blocks the host has taken are no longer in
// the lists; blocks the host added are never looked at.
#ifndef QXSOAP_RPC_MUST_UNDERSTAND_H_
#define QXSOAP_RPC_MUST_UNDERSTAND_H_

namespace qxsoap {

class MessageHandler;

// Walks the typed header blocks, then the literal ones, in list order:
// a received block targeted at this node is removed (under SOAP 1.2 one
// marked relay stays, to be forwarded) unless it is marked mustUnderstand;
// the first such block sets the MustUnderstand fault (under SOAP 1.2 with
// a NotUnderstood fault header block naming it) and ends the walk with
// false, leaving it and the blocks after it in place. True when no block
// was left not understood. Throws std::bad_alloc.
bool CheckHeaderBlocksUnderstood(MessageHandler& handler);

}  // namespace qxsoap

#endif  // QXSOAP_RPC_MUST_UNDERSTAND_H_
