// Reading and writing the registry store's text format.
#include "platform/registry_format.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "platform/registry_file.h"
#include "platform/string_conversion.h"
#include "qxcom/registry.h"

namespace qxcom {
namespace {

// Version 2 ends with kEndLine, so that a file cut at a line boundary is
// told from a whole one. Version 1 files, written before it had the line,
// are still read; they cannot pass for a cut version 2 file, whose first
// line names version 2, and the next change rewrites them as version 2.
constexpr std::string_view kFormatLine = "qxcom registry 2";
constexpr std::string_view kVersion1Line = "qxcom registry 1";
constexpr std::string_view kEndLine = "end";
constexpr size_t kMaxKeyNameLength = 255;

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsControl(char16_t unit) { return unit < 0x20 || unit == 0x7F; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// ---- writing ----

void AppendEscapedUnit(char16_t unit, std::string& out) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04X", unsigned(unit));
  out += escape;
}

void AppendQuoted(std::u16string_view text, std::string& out) {
  out.push_back('"');
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (unit == u'\\' || unit == u'"') {
      out.push_back('\\');
      out.push_back(char(unit));
    } else if (unit == u'\n') {
      out += "\\n";
    } else if (unit == u'\r') {
      out += "\\r";
    } else if (unit == u'\t') {
      out += "\\t";
    } else if (IsControl(unit)) {
      AppendEscapedUnit(unit, out);
    } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf16AsUtf8(text.substr(i, 2), out);
      ++i;
    } else if (IsSurrogate(unit)) {
      AppendEscapedUnit(unit, out);  // a lone surrogate has no UTF-8 form
    } else {
      AppendUtf8(unit, out);
    }
  }
  out.push_back('"');
}

std::u16string UnitsOf(const std::vector<BYTE>& data) {
  std::u16string units(data.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return units;
}

// Text values are written as text only when they read back to the same
// bytes: whole UTF-16 units ending in exactly the one null that is dropped.
bool IsWritableAsText(const RegistryValue& value) {
  return (value.type == REG_SZ || value.type == REG_EXPAND_SZ) && value.data.size() >= 2 &&
         value.data.size() % 2 == 0 && value.data[value.data.size() - 1] == 0 &&
         value.data[value.data.size() - 2] == 0;
}

void AppendValueData(const RegistryValue& value, std::string& out) {
  char number[24];
  if (IsWritableAsText(value)) {
    out += value.type == REG_SZ ? "sz:" : "expand_sz:";
    std::u16string units = UnitsOf(value.data);
    units.pop_back();
    AppendQuoted(units, out);
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    unsigned dword = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                     (unsigned(value.data[3]) << 24);
    std::snprintf(number, sizeof number, "dword:%08x", dword);
    out += number;
  } else {
    std::snprintf(number, sizeof number, "hex(%x):", unsigned(value.type));
    out += number;
    for (size_t i = 0; i < value.data.size(); ++i) {
      std::snprintf(number, sizeof number, i == 0 ? "%02x" : ",%02x", value.data[i]);
      out += number;
    }
  }
}

void AppendKey(const RegistryKey& key, const std::string& path, std::string& out) {
  out += '[' + path + "]\n";
  for (const RegistryValue& value : key.values()) {
    if (value.name.empty()) {
      out.push_back('@');
    } else {
      AppendQuoted(value.name, out);
    }
    out.push_back('=');
    AppendValueData(value, out);
    out.push_back('\n');
  }
  for (const auto& [folded, subkey] : key.subkeys()) {
    // Every key line repeats the whole path, so a store that names only its
    // deepest keys writes out far larger; past the largest store, stop.
    if (out.size() > kMaxStoreSize) return;
    AppendKey(*subkey, path + '\\' + ToUtf8(subkey->name()), out);
  }
}

// ---- reading ----

// Reads one line of the store from left to right.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : line_(line) {}

  bool AtEnd() const { return pos_ == line_.size(); }
  bool Take(std::string_view expected) {
    if (line_.substr(pos_, expected.size()) != expected) return false;
    pos_ += expected.size();
    return true;
  }

  // A quoted text with its escapes; its UTF-8 must be well formed.
  bool Quoted(std::u16string* text) {
    if (!Take("\"")) return false;
    std::string run;  // UTF-8 between escapes
    for (;;) {
      if (AtEnd()) return false;
      char c = line_[pos_++];
      if (c == '"') return FlushRun(run, text);
      if (c != '\\') {
        run.push_back(c);
        continue;
      }
      if (AtEnd() || !FlushRun(run, text)) return false;
      char escaped = line_[pos_++];
      uint32_t unit;
      switch (escaped) {
        case '\\': case '"': text->push_back(char16_t(escaped)); break;
        case 'n': text->push_back(u'\n'); break;
        case 'r': text->push_back(u'\r'); break;
        case 't': text->push_back(u'\t'); break;
        case 'u':
          if (!Hex(4, 4, &unit)) return false;
          text->push_back(char16_t(unit));
          break;
        default:
          return false;
      }
    }
  }

  // Between `fewest` and `most` hex digits, as many as there are.
  bool Hex(size_t fewest, size_t most, uint32_t* value) {
    uint32_t result = 0;
    size_t digits = 0;
    while (digits < most && !AtEnd() && HexValue(line_[pos_]) >= 0) {
      result = (result << 4) | uint32_t(HexValue(line_[pos_++]));
      ++digits;
    }
    *value = result;
    return digits >= fewest;
  }

 private:
  static bool FlushRun(std::string& run, std::u16string* text) {
    bool wellFormed = AppendUtf8AsUtf16(run, *text) == 0;
    run.clear();
    return wellFormed;
  }

  std::string_view line_;
  size_t pos_ = 0;
};

std::vector<BYTE> BytesOfText(const std::u16string& text) {
  std::vector<BYTE> bytes;
  bytes.reserve(text.size() * 2 + 2);
  for (char16_t unit : text) {
    bytes.push_back(BYTE(unit & 0xFF));
    bytes.push_back(BYTE(unit >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

bool ParseValueData(LineReader& reader, DWORD* type, std::vector<BYTE>* data) {
  constexpr std::pair<std::string_view, DWORD> kTextTypes[] = {{"sz:", REG_SZ},
                                                               {"expand_sz:", REG_EXPAND_SZ}};
  for (const auto& [prefix, textType] : kTextTypes) {
    if (!reader.Take(prefix)) continue;
    std::u16string text;
    if (!reader.Quoted(&text)) return false;
    *type = textType;
    *data = BytesOfText(text);
    return true;
  }
  uint32_t number;
  if (reader.Take("dword:")) {
    if (!reader.Hex(8, 8, &number)) return false;
    *type = REG_DWORD;
    *data = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
    return true;
  }
  if (!reader.Take("hex(") || !reader.Hex(1, 8, &number) || !reader.Take("):")) return false;
  *type = number;
  data->clear();
  if (reader.AtEnd()) return true;
  do {
    uint32_t byte;
    if (!reader.Hex(2, 2, &byte)) return false;
    data->push_back(BYTE(byte));
  } while (reader.Take(","));
  return true;
}

bool ParseValueLine(std::string_view line, RegistryKey* key) {
  LineReader reader(line);
  std::u16string name;
  if (!reader.Take("@") && !reader.Quoted(&name)) return false;
  if (!reader.Take("=")) return false;
  DWORD type;
  std::vector<BYTE> data;
  if (!ParseValueData(reader, &type, &data) || !reader.AtEnd()) return false;
  if (key->FindValue(name)) return false;  // each value is written once
  key->SetValue(name, type, std::move(data));
  return true;
}

std::optional<RegistryRoot> RootNamed(std::u16string_view name) {
  for (int root = 0; root < kRootCount; ++root) {
    if (FoldName(name) == FoldName(kRootNames[root])) return RegistryRoot(root);
  }
  return std::nullopt;
}

// Reads a "[root\key\...]" line; returns the key it names, created as needed.
RegistryKey* ParseKeyLine(std::string_view line, RegistryTree* tree) {
  if (line.size() < 2 || line.back() != ']') return nullptr;
  std::u16string path;
  if (AppendUtf8AsUtf16(line.substr(1, line.size() - 2), path) != 0) return nullptr;
  size_t end = path.find(u'\\');
  std::optional<RegistryRoot> root = RootNamed(std::u16string_view(path).substr(0, end));
  if (!root) return nullptr;
  RegistryKey* key = &tree->Root(*root);
  for (size_t depth = 1; end != std::u16string::npos; ++depth) {
    if (depth > kMaxKeyDepth) return nullptr;
    size_t start = end + 1;
    end = path.find(u'\\', start);
    std::u16string_view name = std::u16string_view(path).substr(start, end - start);
    if (!IsValidKeyName(name)) return nullptr;
    key = &key->AddSubkey(name);
  }
  return key;
}

}  // namespace

bool IsValidKeyName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxKeyNameLength) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t unit = name[i];
    if (unit == u'\\' || IsControl(unit)) return false;
    if (IsHighSurrogate(unit) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
      ++i;
    } else if (IsSurrogate(unit)) {
      return false;
    }
  }
  return true;
}

std::string FormatRegistry(const RegistryTree& tree) {
  std::string out(kFormatLine);
  out.push_back('\n');
  for (int root = 0; root < kRootCount; ++root) {
    const RegistryKey& key = tree.Root(RegistryRoot(root));
    std::string rootPath = ToUtf8(kRootNames[root]);
    if (!key.values().empty()) AppendKey(key, rootPath, out);
    for (const auto& [folded, subkey] : key.subkeys()) {
      if (out.size() > kMaxStoreSize) break;
      AppendKey(*subkey, rootPath + '\\' + ToUtf8(subkey->name()), out);
    }
  }
  out += kEndLine;
  out.push_back('\n');
  return out;
}

bool ParseRegistry(std::string_view text, RegistryTree* tree) {
  if (text.empty()) return true;
  RegistryKey* current = nullptr;
  bool first = true, needsEnd = true, ended = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (ended) return false;  // nothing may follow the end line
    if (first) {
      if (line != kFormatLine && line != kVersion1Line) return false;
      needsEnd = line == kFormatLine;
      first = false;
    } else if (needsEnd && line == kEndLine) {
      ended = true;
    } else if (line.empty() || line[0] == '#') {
      continue;
    } else if (line[0] == '[') {
      current = ParseKeyLine(line, tree);
      if (!current) return false;
    } else if (!current || !ParseValueLine(line, current)) {
      return false;
    }
  }
  return ended || !needsEnd;
}

}  // namespace qxcom
