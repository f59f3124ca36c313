#include "platform/http/UrlDownload.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/http/Http.h"
#include "platform/http/Transport.h"

namespace platform::http {
namespace {

// Streams a 2xx body into the file through the atomic writer: the file is replaced only once the
// whole answer is in, so a failed download leaves nothing behind, and one that a crash cut short
// leaves only the writer's temporary file, which the next write into the folder clears.
class FileSink final : public ResponseSink {
 public:
  explicit FileSink(std::string_view fileName) : fileName_(fileName) {}

  void OnHeaders(const ResponseHead& head, long long) override {
    if (head.status >= 200 && head.status < 300) file_ = std::make_unique<files::AtomicFileWriter>(fileName_);
  }
  bool OnData(std::string_view data) override {
    if (file_) file_->Write(data);  // an error page is read and dropped
    return true;
  }
  bool Finish() {
    if (!file_) return false;
    file_->Commit();
    return true;
  }

 private:
  std::string fileName_;
  std::unique_ptr<files::AtomicFileWriter> file_;
};

}  // namespace

long URLDownloadToFileA(void*, const char* url, const char* fileName, unsigned long, void*) {
  const std::string path = fileName == nullptr ? "" : fileName;
  std::filesystem::path target;
  try {
    target = environment::HostPath(path);
  } catch (const RuntimeError&) {
    return err::PathNotFound;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(target.parent_path(), ec)) return err::PathNotFound;

  try {
    ExchangeRequest request;
    request.url = url == nullptr ? "" : url;
    FileSink sink(path);
    Perform(request, sink);
    return sink.Finish() ? 0 : err::DownloadFailure;
  } catch (const RuntimeError& e) {
    // The file could not be written: in use by an application that has it open (Windows refuses
    // to replace it), read-only, or the disk refused the bytes.
    if (e.number() == platform::err::PermissionDenied) return err::AccessDenied;
    if (e.number() < 0) return e.number();
    return err::DownloadFailure;
  }
}

}  // namespace platform::http
