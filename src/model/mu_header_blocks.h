// model/mu_header_blocks.h: the names of the mustUnderstand header blocks
// addressed to this node, as the 2 x N array the host reads them from.
#ifndef QXSOAP_MODEL_MU_HEADER_BLOCKS_H_
#define QXSOAP_MODEL_MU_HEADER_BLOCKS_H_

#include "model/header_lists.h"

namespace qxsoap {

// Collects every block of `headers` (typed list first, each in list order)
// whose mustUnderstand is set and which is targeted at `node`, received or
// added by the host. Stores in *out (cleared first) a VT_ARRAY | VT_VARIANT
// array with bounds (2 from 0) x (N from 0): (0, i) holds the i-th block's
// namespace URI and (1, i) its local name, both VT_BSTR. The caller owns
// the array. Returns E_FAIL, *out left VT_EMPTY, when the array cannot be
// made or filled; E_POINTER for a null `out`.
HRESULT HandOutMustUnderstandBlocks(const HeaderLists& headers, const NodeTargeting& node,
                                    VARIANT* out);

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_MU_HEADER_BLOCKS_H_
