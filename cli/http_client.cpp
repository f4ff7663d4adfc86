// libcurl's easy interface, one handle per request. The global init runs
// once, before the first handle, as libcurl asks of a program that starts
// no threads of its own before it.
#include "http_client.h"

#include <curl/curl.h>

#include <memory>
#include <string>

namespace qxsoap::cli {
namespace {

constexpr long kTimeoutSeconds = 60;
// The most of an answer kept: a WSDL or a SOAP reply is far smaller, and a
// server that sends without end must not take all memory.
constexpr size_t kMaxAnswerBytes = size_t(64) << 20;

struct Received {
  std::string* body;
  bool tooLarge = false;
};

size_t AppendBody(char* data, size_t size, size_t count, void* sink) {
  auto& received = *static_cast<Received*>(sink);
  const size_t bytes = size * count;
  if (received.body->size() + bytes > kMaxAnswerBytes) {
    received.tooLarge = true;
    return 0;  // libcurl ends the transfer
  }
  received.body->append(data, bytes);
  return bytes;
}

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool Perform(CURL* handle, const std::string& url, HttpResponse* response, std::string* error) {
  char reason[CURL_ERROR_SIZE] = "";
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, reason);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, kTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  Received received{&response->body};
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &received);
  const CURLcode result = curl_easy_perform(handle);
  if (received.tooLarge) {
    *error = url + ": the answer is larger than " + std::to_string(kMaxAnswerBytes >> 20) + " MB";
    return false;
  }
  if (result != CURLE_OK) {
    *error = url + ": " + (reason[0] ? reason : curl_easy_strerror(result));
    return false;
  }
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &response->status);
  const char* contentType = nullptr;
  curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType);
  response->contentType = contentType ? contentType : "";
  return true;
}

std::unique_ptr<CURL, CurlDeleter> NewHandle(std::string* error) {
  static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  std::unique_ptr<CURL, CurlDeleter> handle(initialized ? curl_easy_init() : nullptr);
  if (!handle) *error = "the HTTP client cannot start";
  return handle;
}

}  // namespace

bool HttpGet(const std::string& url, HttpResponse* response, std::string* error) {
  const auto handle = NewHandle(error);
  return handle && Perform(handle.get(), url, response, error);
}

bool HttpPost(const std::string& url, const std::string& body, const std::vector<std::string>& headers,
              HttpResponse* response, std::string* error) {
  const auto handle = NewHandle(error);
  if (!handle) return false;
  // libcurl would otherwise add "Expect: 100-continue" to larger bodies and
  // wait for an answer to it before sending them.
  std::vector<std::string> lines = headers;
  lines.push_back("Expect:");
  std::unique_ptr<curl_slist, HeaderListDeleter> list;
  for (const std::string& line : lines) {
    curl_slist* head = curl_slist_append(list.get(), line.c_str());
    if (!head) {
      *error = "out of memory";
      return false;
    }
    if (!list) list.reset(head);  // later lines come back with the same head
  }
  curl_easy_setopt(handle.get(), CURLOPT_POST, 1L);
  curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
  curl_easy_setopt(handle.get(), CURLOPT_HTTPHEADER, list.get());
  return Perform(handle.get(), url, response, error);
}

}  // namespace qxsoap::cli
