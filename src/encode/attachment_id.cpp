// Attachment identifiers: the registry form of a new GUID without its braces.
#include "encode/attachment_id.h"

#include <array>
#include <utility>

#include "qxcom/oleauto.h"

namespace qxsoap {

HRESULT NewAttachmentId(std::u16string* id) {
  GUID guid{};
  if (HRESULT hr = CoCreateGuid(&guid); FAILED(hr)) return hr;
  std::array<OLECHAR, 39> braced{};  // "{...}" and its terminating null
  StringFromGUID2(guid, braced.data(), INT(braced.size()));
  std::u16string made(u"uuid:");
  made.append(braced.data() + 1, 36);  // the 8-4-4-4-12 digits inside the braces
  *id = std::move(made);
  return S_OK;
}

}  // namespace qxsoap
