// encode/attachment_id.h: the identifiers by which a message refers to the
// attachments it carries.
//
// Threads: the function keeps no state.
#ifndef QXSOAP_ENCODE_ATTACHMENT_ID_H_
#define QXSOAP_ENCODE_ATTACHMENT_ID_H_

#include <string>

#include "qxcom/types.h"

namespace qxsoap {

// Stores a fresh identifier in *id: "uuid:" followed by a new GUID as
// 8-4-4-4-12 upper-case hex digits, 41 units in all. Returns S_OK, or the
// failure of CoCreateGuid with *id unchanged.
HRESULT NewAttachmentId(std::u16string* id);

}  // namespace qxsoap

#endif  // QXSOAP_ENCODE_ATTACHMENT_ID_H_
