// The character data of the elements being read. An element's text is
// every run of its character data, references and CDATA sections run
// together; nearly always that is one run, kept as a view into the
// document text. Texts of several runs (an element whose children are
// indented) are joined in a buffer of their depth and copied into the tree
// memory when the element ends; short ones are kept once per document,
// since indentation repeats the same few. A long one (the indentation
// between the items of a large array) moves into a piece of tree memory
// of its own as it grows, which becomes the text: it is never held twice.
#ifndef QXSOAP_XML_ELEMENT_TEXT_H_
#define QXSOAP_XML_ELEMENT_TEXT_H_

#include <deque>
#include <string_view>
#include <vector>

#include "xml/tree_memory.h"
#include "xml/view_set.h"

namespace qxsoap {

class ElementTexts {
  struct Buffer;

 public:
  // The text of one open element so far.
  class Text {
   private:
    friend class ElementTexts;
    std::u16string_view first_;
    Buffer* joined_ = nullptr;
  };

  // `document` is the text being read: runs inside it stay views.
  ElementTexts(std::u16string_view document, TreeMemory& memory)
      : document_(document), memory_(memory) {}

  // Adds `run` to the text of the open element at nesting `depth` (from 1).
  void Append(Text& text, std::u16string_view run, int depth);

  // The whole text, living as long as the tree.
  std::u16string_view Finish(Text& text);

 private:
  bool InDocument(std::u16string_view run) const {
    return run.data() >= document_.data() && run.data() < document_.data() + document_.size();
  }

  // Where the runs of one depth are joined: `small` while the text is
  // short, then a piece of tree memory.
  struct Buffer {
    std::vector<char16_t> small;
    char16_t* piece = nullptr;
    size_t size = 0;      // units in the piece
    size_t capacity = 0;  // units the piece has room for
  };

  void Join(Buffer& buffer, std::u16string_view run);
  void MoveToPiece(Buffer& buffer, size_t needed);

  std::u16string_view document_;
  TreeMemory& memory_;
  // One buffer per depth; a deque keeps a parent's in place as it grows.
  std::deque<Buffer> buffers_;
  ViewSet shortTexts_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_ELEMENT_TEXT_H_
