#include "platform/http/UrlDownload.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"
#include "platform/environment/PrivateFiles.h"
#include "platform/http/Http.h"
#include "platform/http/Transport.h"

namespace platform::http {
namespace {

// Streams the body into a file beside the target; it replaces the target only once the
// whole answer is in, so a failed download leaves nothing behind.
class FileSink final : public ResponseSink {
 public:
  explicit FileSink(const std::filesystem::path& path) : path_(path) {}

  void OnHeaders(const ResponseHead& head, long long) override {
    ok_ = head.status >= 200 && head.status < 300;
    if (!ok_) return;
    // Made private before anything is in it: a download is one of the user's documents.
    if (const int fd = environment::OpenPrivateFile(path_, O_WRONLY); fd >= 0) ::close(fd);
    out_.open(path_, std::ios::binary | std::ios::trunc);
  }
  bool OnData(std::string_view data) override {
    if (!ok_) return true;  // an error page: read and dropped
    out_.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out_);
  }
  bool Finish() {
    if (!ok_) return false;
    out_.close();
    return static_cast<bool>(out_);
  }

 private:
  std::filesystem::path path_;
  std::ofstream out_;
  bool ok_ = false;
};

}  // namespace

long URLDownloadToFileA(void*, const char* url, const char* fileName, unsigned long, void*) {
  std::filesystem::path target;
  try {
    target = environment::HostPath(fileName == nullptr ? "" : fileName);
  } catch (const RuntimeError&) {
    return err::PathNotFound;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(target.parent_path(), ec)) return err::PathNotFound;

  std::filesystem::path partial = target;
  partial += ".download";
  long result = 0;
  try {
    ExchangeRequest request;
    request.url = url == nullptr ? "" : url;
    FileSink sink(partial);
    Perform(request, sink);
    if (!sink.Finish()) {
      result = err::DownloadFailure;
    } else {
      std::filesystem::rename(partial, target, ec);
      if (ec) result = err::DownloadFailure;
    }
  } catch (const RuntimeError& e) {
    result = e.number();
  }
  if (result != 0) std::filesystem::remove(partial, ec);
  return result;
}

}  // namespace platform::http
