// The element writer, once for any output that takes 16-bit pieces.
#include "xml/xml_writer.h"

#include <type_traits>

#include "xml/escaping.h"
#include "xml/same_text.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

template <typename Output>
class ElementWriter {
 public:
  explicit ElementWriter(Output& output) : output_(output) {}

  void Write(const XmlElement& element, const XmlElement* parent) {
    Markup("<");
    Append(element.QualifiedName());
    for (const XmlAttribute& attribute : element.Attributes()) {
      WriteAttribute(" ", attribute.QualifiedName(), attribute.Value());
    }
    WriteNamespaceDeclarations(element, parent);
    if (!element.HasText() && element.Children().empty()) {
      Markup(" />");
      return;
    }
    Markup(">");
    if (const DeferredText* deferred = element.Deferred()) {
      Append(*deferred);
    } else {
      ForEachEscapedTextRun(element.Text(), [this](std::u16string_view run) { Append(run); });
    }
    for (const XmlElement& child : element.Children()) Write(child, &element);
    Markup("</");
    Append(element.QualifiedName());
    Markup(">");
  }

 private:
  void Append(std::u16string_view text) {
    if constexpr (std::is_same_v<Output, std::u16string>) {
      output_.append(text);
    } else {
      output_.Append(text);
    }
  }

  // A deferred text needs no escaping: it goes straight into the output.
  void Append(const DeferredText& text) {
    const size_t length = text.Length();
    if constexpr (std::is_same_v<Output, std::u16string>) {
      output_.resize(output_.size() + length);
      text.Write(output_.data() + output_.size() - length);
    } else {
      text.Write(output_.Extend(length));
    }
  }

  // Markup of the writer's own, always ASCII.
  void Markup(std::string_view ascii) {
    if constexpr (std::is_same_v<Output, std::u16string>) {
      output_.append(ascii.begin(), ascii.end());
    } else {
      output_.AppendAscii(ascii);
    }
  }

  // ` name="value"`, `lead` being " " or " xmlns:" and so on.
  void WriteAttribute(std::string_view lead, std::u16string_view name, std::u16string_view value) {
    Markup(lead);
    Append(name);
    Markup("=\"");
    ForEachEscapedAttributeRun(value, [this](std::u16string_view run) { Append(run); });
    Markup("\"");
  }

  void WriteNamespaceDeclarations(const XmlElement& element, const XmlElement* parent) {
    const NamespaceScope base = parent ? parent->Scope() : NamespaceScope();
    // A child that declares nothing shares its parent's scope: nothing to do.
    if (element.Scope().SharesMapWith(base)) return;
    for (const NamespaceBinding& binding : element.Scope().AddedTo(base, scratch_)) {
      if (binding.prefix == u"xml"sv || InheritedFrom(parent, binding)) continue;
      if (binding.prefix.empty()) {
        WriteAttribute(" xmlns", {}, binding.uri);
      } else {
        WriteAttribute(" xmlns:", binding.prefix, binding.uri);
      }
    }
  }

  static bool InheritedFrom(const XmlElement* parent, const NamespaceBinding& binding) {
    if (!parent) return false;
    const std::u16string_view* bound = parent->Scope().Find(binding.prefix);
    return bound && SameText(*bound, binding.uri);
  }

  Output& output_;
  std::vector<NamespaceBinding> scratch_;  // for AddedTo
};

}  // namespace

void WriteElement(const XmlElement& element, const XmlElement* parent, std::u16string& output) {
  ElementWriter<std::u16string>(output).Write(element, parent);
}

void WriteElement(const XmlElement& element, const XmlElement* parent, Utf8Buffer& output) {
  ElementWriter<Utf8Buffer>(output).Write(element, parent);
}

}  // namespace qxsoap
