// The port of the service called: its WSDL fetched over HTTP into a
// temporary file, since the WSDL loader reads files, and loaded as
// `qxsoap serve` loads a port.
#include <unistd.h>

#include <cstdlib>

#include "call_steps.h"
#include "host/wrapped_document.h"
#include "http_client.h"
#include "xml/namespaces.h"

namespace qxsoap::cli {
namespace {

// A file under $TMPDIR (or /tmp) that holds `text` until destruction.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& text) {
    const char* directory = std::getenv("TMPDIR");
    path_ = std::string(directory && *directory ? directory : "/tmp") + "/qxsoap-call-XXXXXX";
    const int fd = mkstemp(path_.data());
    if (fd < 0) throw CallError{"cannot create a temporary file in " + path_.substr(0, path_.rfind('/'))};
    size_t written = 0;
    while (written < text.size()) {
      const ssize_t n = write(fd, text.data() + written, text.size() - written);
      if (n <= 0) break;
      written += size_t(n);
    }
    close(fd);
    if (written != text.size()) {
      unlink(path_.c_str());
      throw CallError{"cannot write the temporary file " + path_};
    }
  }
  ~TemporaryFile() { unlink(path_.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

int SoapVersionOf(PortDescription& port) {
  BSTR ns = nullptr;
  VARIANT_BOOL found = VARIANT_FALSE;
  port.GetBindingNS(&ns, &found);
  const qxcom::Bstr owned(ns);
  const bool soap12 = found == VARIANT_TRUE && std::u16string_view(ns ? ns : u"", SysStringLen(ns)) == WSDL_SOAP12_NS;
  return soap12 ? 12 : 11;
}

}  // namespace

CallPort FetchPort(const std::string& url) {
  const std::string wsdlUrl = url + "?wsdl";
  HttpResponse response;
  std::string error;
  if (!HttpGet(wsdlUrl, &response, &error)) throw CallError{error};
  if (response.status != 200) {
    throw CallError{wsdlUrl + ": HTTP status " + std::to_string(response.status) + " instead of the WSDL"};
  }
  const TemporaryFile file(response.body);
  host::WsdlError loadError;
  CallPort loaded;
  loaded.port = qxcom::ComPtr<PortDescription>::Adopt(
      host::LoadServedPort(file.path().c_str(), nullptr, &loadError, &loaded.documentView));
  if (!loaded.port) {
    // An error in a file the WSDL imports names that file; one in the WSDL
    // itself names where it came from, not the temporary copy.
    std::string where = loadError.file.empty() || loadError.file == file.path() ? wsdlUrl : loadError.file;
    if (loadError.line > 0) where.append(":").append(std::to_string(loadError.line));
    throw CallError{where + ": " + loadError.message};
  }
  loaded.soapVersion = SoapVersionOf(*loaded.port.get());
  return loaded;
}

}  // namespace qxsoap::cli
