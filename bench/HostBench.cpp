// The emulated host as a process, the way a user starts and drives it (tests/HostProcess.h):
//   BM_WordStartUp     `tavo-office word` from its launch to the screen with the Word add-in's
//                      toolbar, printed before the host reads its first command;
//   BM_SaveWorkbook    the Excel add-in's Save of a 20 MB workbook to the stand-in service (in
//                      this process, over loopback), from the command to the screen after it;
//   BM_PlainPost       one libcurl POST of the body that save sent, to the same address.
// The two saves' times are their own: the time the service took over each request (which it
// records) is taken out of both, and out of the add-in's the 1000 ms it waits, by design,
// before it reads the clock for the request's time parameter. The time Excel spends in the
// workbook writes the save asks of it is reported beside that (Excel logs each write's time to
// a file named by TAVO_EXCEL_WRITE_TIMES), and the own time without it. The Excel process's peak
// resident memory during each save is read from /proc (its high-water mark, reset before).
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/tests/AddinTestSupport.h"
#include "platform/environment/Environment.h"
#include "platform/http/Http.h"
#include "service/Seed.h"
#include "service/Server.h"
#include "tests/HostProcess.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using tavo::test::HostProcess;

constexpr const char* kUser = "ann@tavo.example";
constexpr const char* kPassword = "Secret-1";
constexpr const char* kSheetSettingsKey = "Software\\tavo\\tavo sheet Excel Plugin\\reg";
constexpr size_t kWorkbookBytes = 20u << 20;
// The save waits this long before it reads the clock for the request's time parameter.
constexpr std::chrono::milliseconds kSaveWait{1000};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A new folder for an environment root, removed with everything in it at the end.
class TempRoot {
 public:
  TempRoot() {
    std::string pattern = (fs::temp_directory_path() / "tavo-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~TempRoot() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Registers the add-in library on the root as its installer does; "" or what went wrong.
std::string Register(const fs::path& root, const char* library) {
  const tavo::test::Finished run = tavo::test::RunToEnd(TAVO_OFFICE, {"register", library}, root);
  return run.status == 0 ? std::string() : "registration failed: " + run.output;
}

// The process's resident memory in bytes ("VmRSS") or its peak ("VmHWM"), and the reset of the
// peak to what is resident now.
std::optional<double> Resident(pid_t pid, const std::string& field = "VmRSS:") {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(field.size())) * 1024;
  return std::nullopt;
}
std::optional<double> PeakResident(pid_t pid) { return Resident(pid, "VmHWM:"); }
bool ResetPeakResident(pid_t pid) {
  std::ofstream clear("/proc/" + std::to_string(pid) + "/clear_refs");
  clear << "5";
  return static_cast<bool>(clear.flush());
}

void BM_WordStartUp(benchmark::State& state) {
  TempRoot root;
  if (const std::string error = Register(root.path(), TAVO_WRITER_LIBRARY); !error.empty())
    return state.SkipWithError(error.c_str());
  for (auto _ : state) {
    const auto start = Clock::now();
    HostProcess word(TAVO_OFFICE, "word", root.path());
    // The host prints the screen, then reads its first line: the echo of a comment ends it.
    const std::string screen = word.Send("# started");
    state.SetIterationTime(Seconds(Clock::now() - start));
    if (!Has(screen, "Tavo Writer Word Add-In")) return state.SkipWithError(("no toolbar:\n" + screen).c_str());
    word.Quit();
  }
}
BENCHMARK(BM_WordStartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A workbook file of 20 MB: one sheet of cells holding random letters, so that nothing on the
// way can shorten it.
std::string BigWorkbook() {
  std::mt19937 random(9);
  std::vector<std::pair<std::string, std::string>> cells;
  size_t size = 0;
  for (int row = 1; size < kWorkbookBytes; ++row) {
    for (char column = 'A'; column <= 'J'; ++column) {
      std::string value(100, ' ');
      for (char& c : value) c = static_cast<char>('a' + random() % 26);
      std::string ref = column + std::to_string(row);
      size += ref.size() + value.size() + 3;
      cells.emplace_back(std::move(ref), std::move(value));
    }
  }
  return tavo::service::WorkbookFile({{"Sheet1", std::move(cells)}});
}

// Excel with a 20 MB workbook downloaded from the service and open, saved once already, and the
// request that save sent. Made at the first use and kept for the program's run, so that the
// repetitions of the save and of the plain POST interleave on one service and one Excel.
class SaveFixture {
  // First made, last gone: the processes and the service end before their root goes.
  TempRoot root_;
  platform::environment::ScopedEnvironment environment_;

 public:
  static SaveFixture& Get() {
    static SaveFixture fixture;
    return fixture;
  }

  std::string error;
  size_t fileBytes = 0;
  std::unique_ptr<HostProcess> excel;
  tavo::service::RecordedRequest sent;  // the save's request
  std::unique_ptr<tavo::service::Server> server;

  // The last request received, or nullopt; the record is then dropped.
  std::optional<tavo::service::RecordedRequest> TakeLastRequest() {
    auto requests = server->Requests();
    server->ClearRequests();
    if (requests.empty()) return std::nullopt;
    return std::move(requests.back());
  }

 private:
  SaveFixture() : environment_(root_.path()) {
    if (error = Register(root_.path(), TAVO_SHEET_LIBRARY); !error.empty()) return;
    tavo::service::ServerOptions options;
    options.caOut = platform::environment::HostPath(platform::http::kCaFile);
    server = std::make_unique<tavo::service::Server>(options);
    server->Start();
    server->WriteHostsFile(platform::environment::HostPath(platform::http::kHostsFile));
    server->AddAccount(kUser, kPassword);
    const std::string bytes = BigWorkbook();
    fileBytes = bytes.size();
    server->AddWorkbook(kUser, "Big", bytes);
    tavo::test::SignedInElsewhere("wordstatus", kUser, kPassword, server->SignIn(kUser));
    tavo::test::AddinSettings(kSheetSettingsKey).RememberCredentials(kUser, kPassword, true);

    // Excel appends the time of each of its workbook writes there (read by TakeWriteTimes).
    writeTimes_ = root_.path() / "excel-write-times.txt";
    ::setenv("TAVO_EXCEL_WRITE_TIMES", writeTimes_.c_str(), 1);
    excel = std::make_unique<HostProcess>(TAVO_OFFICE, "excel", root_.path());
    ::unsetenv("TAVO_EXCEL_WRITE_TIMES");
    excel->Send("click &Open Tavo Sheet");
    excel->Send("select listdoc 0");
    const std::string opened = excel->Send("click Command1");
    if (!Has(opened, "Big")) {
      error = "the workbook did not open:\n" + opened;
      return;
    }
    server->ClearRequests();
    const std::string saved = excel->Send("click &Save in Tavo Sheet");
    auto request = TakeLastRequest();
    if (!request || !Has(request->body, "saveWorkbook") || !Has(saved, "Workbook Saved Sucessfully !")) {
      error = "the first save did not reach the service:\n" + saved;
      return;
    }
    sent = std::move(*request);
    TakeWriteTimes();
  }

  fs::path writeTimes_;

 public:
  // The workbook writes Excel made since the last call: how many, and their time together.
  struct Writes {
    int count = 0;
    Clock::duration time{};
  };
  Writes TakeWriteTimes() {
    Writes writes;
    std::ifstream in(writeTimes_);
    long long micros = 0;
    while (in >> micros) {
      ++writes.count;
      writes.time += std::chrono::microseconds(micros);
    }
    in.close();
    std::ofstream(writeTimes_, std::ios::trunc);
    return writes;
  }
};

void BM_SaveWorkbook(benchmark::State& state) {
  SaveFixture& fixture = SaveFixture::Get();
  if (!fixture.error.empty()) return state.SkipWithError(fixture.error.c_str());
  double whole = 0, service = 0, peak = 0, before = 0, writes = 0, writeTime = 0, ownWithoutWrites = 0;
  for (auto _ : state) {
    if (!ResetPeakResident(fixture.excel->pid())) return state.SkipWithError("cannot reset the peak memory");
    before = std::max(before, Resident(fixture.excel->pid()).value_or(0));
    const auto start = Clock::now();
    const std::string screen = fixture.excel->Send("click &Save in Tavo Sheet");
    const auto taken = Clock::now() - start;
    const auto request = fixture.TakeLastRequest();
    const std::optional<double> resident = PeakResident(fixture.excel->pid());
    if (!request || !Has(request->body, "saveWorkbook") || !Has(screen, "Workbook Saved Sucessfully !") || !resident)
      return state.SkipWithError(("the save failed:\n" + screen).c_str());
    const auto own = taken - request->serviceTime - kSaveWait;
    const SaveFixture::Writes hostWrites = fixture.TakeWriteTimes();
    state.SetIterationTime(Seconds(own));
    writes += hostWrites.count;
    writeTime += Seconds(hostWrites.time);
    ownWithoutWrites += Seconds(own - hostWrites.time);
    whole += Seconds(taken);
    service += Seconds(request->serviceTime);
    peak = std::max(peak, *resident);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["whole_ms"] = whole / n * 1e3;
  // Inside Excel's own workbook writes (the save flow asks for them), and the rest of the own time.
  state.counters["host_writes"] = writes / n;
  state.counters["host_writes_ms"] = writeTime / n * 1e3;
  state.counters["own_without_writes_ms"] = ownWithoutWrites / n * 1e3;
  state.counters["service_ms"] = service / n * 1e3;
  state.counters["peak_rss_mb"] = peak / 1e6;
  state.counters["before_rss_mb"] = before / 1e6;  // resident before the save: the open workbook and the rest
  state.counters["peak_per_file"] = peak / static_cast<double>(fixture.fileBytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture.fileBytes));
}
BENCHMARK(BM_SaveWorkbook)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

void BM_PlainPost(benchmark::State& state) {
  SaveFixture& fixture = SaveFixture::Get();
  if (!fixture.error.empty()) return state.SkipWithError(fixture.error.c_str());
  const std::string url = fixture.server->Url() + fixture.sent.path + "?" + fixture.sent.query;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, fixture.sent.body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(fixture.sent.body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);  // a new connection each time, as the add-in makes
  // The add-in's content type (the service reads a form-encoded body only when it is small),
  // and no wait for "100 Continue" before the body, as the add-in's requests do not wait.
  curl_slist* headers = curl_slist_append(nullptr, "Expect:");
  headers = curl_slist_append(headers, ("Content-Type: " + fixture.sent.Header("Content-Type")).c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  double service = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const CURLcode rc = curl_easy_perform(curl);
    const auto taken = Clock::now() - start;
    const auto request = fixture.TakeLastRequest();
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (rc != CURLE_OK || !request || status != 200) {
      curl_easy_cleanup(curl);
      curl_slist_free_all(headers);
      const std::string why = rc != CURLE_OK ? curl_easy_strerror(rc) : "status " + std::to_string(status) + " from " + url;
      return state.SkipWithError(why.c_str());
    }
    state.SetIterationTime(Seconds(taken - request->serviceTime));
    service += Seconds(request->serviceTime);
  }
  curl_easy_cleanup(curl);
  curl_slist_free_all(headers);
  state.counters["service_ms"] = service / static_cast<double>(state.iterations()) * 1e3;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture.fileBytes));
}
BENCHMARK(BM_PlainPost)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
