// qxsoap xml [FILE|-]: reads a document with the handler's reader and writes
// the tree back with its writer, so a user sees how the handler reads a
// message: which text it keeps, which namespaces each element declares.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "commands.h"
#include "xml/xml_document.h"

namespace qxsoap::cli {

namespace {

// Reads all of `stream` into `bytes`; false on a read error.
bool ReadAll(std::FILE* stream, std::string& bytes) {
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) bytes.append(chunk, got);
  return !std::ferror(stream);
}

bool ReadInput(const char* path, std::string& bytes) {
  if (std::string_view(path) == "-") return ReadAll(stdin, bytes);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), std::fclose);
  return file && ReadAll(file.get(), bytes);
}

}  // namespace

int RunXmlCommand(std::span<char* const> args) {
  // Without a FILE the document comes from a pipe or a redirect; a terminal
  // there means the user forgot the file, so they get the usage, not a wait.
  if (args.size() > 1 || (args.empty() && isatty(STDIN_FILENO))) {
    std::fputs("usage: qxsoap xml [FILE|-]\n", stderr);
    return 2;
  }
  const char* path = args.empty() ? "-" : args[0];
  std::string bytes;
  if (!ReadInput(path, bytes)) {
    std::fprintf(stderr, "qxsoap xml: cannot read %s: %s\n", path, std::strerror(errno));
    return 2;
  }

  XmlDocument document;
  try {
    document.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), nullptr);
  } catch (int line) {
    // The first line is the handler's own fault text; the second says where
    // and what, for a person fixing the document.
    const XmlParseError& error = document.LastError();
    std::fprintf(stderr, "XML Parser: Parse Error on Line %d.\n", line);
    std::fprintf(stderr, "qxsoap xml: line %d, column %d: expected %.*s\n", error.line,
                 error.column, int(error.expected.size()), error.expected.data());
    return 1;
  }
  uint8_t* written = nullptr;
  const size_t length = document.Write(&written);
  std::unique_ptr<uint8_t, void (*)(void*)> owned(written, std::free);
  if (std::fwrite(written, 1, length, stdout) != length || std::fputc('\n', stdout) == EOF ||
      std::fflush(stdout) != 0) {
    std::fprintf(stderr, "qxsoap xml: cannot write the output: %s\n", std::strerror(errno));
    return 2;
  }
  return 0;
}

}  // namespace qxsoap::cli
