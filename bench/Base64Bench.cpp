// Throughput of the Base64 classes on a whole file's worth of bytes, side by side with the GNU
// coreutils program on the same bytes in the same run, so that their ratio is taken under the
// same load. Every figure counts the 20 MB of raw bytes (what goes into an encoder and what
// comes out of the decoder), not the longer Base64 text.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "common/Base64.h"

extern char** environ;

namespace {

// 20 MiB rounded down to whole lines of 57 bytes: the text is then a whole number of lines,
// the one case where the two encoders differ (a final CR LF or not), so the check below covers
// both rules.
constexpr std::size_t kInputBytes = 20 * 1024 * 1024 / 57 * 57;

const std::string& Input() {
  static const std::string bytes = [] {
    std::string b(kInputBytes, '\0');
    std::mt19937_64 random(20090602);
    for (std::size_t i = 0; i < b.size(); i += 8) {
      const std::uint64_t v = random();
      std::memcpy(b.data() + i, &v, std::min<std::size_t>(8, b.size() - i));
    }
    return b;
  }();
  return bytes;
}

// The plain way, one character at a time: what the fast encoders must agree with.
std::string ReferenceEncode(std::string_view bytes, bool breakAfterFullLastLine) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 3; ++k) v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) text += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  if (text.size() <= 76) return text;
  std::string lines;
  for (std::size_t i = 0; i < text.size(); i += 76) {
    lines += text.substr(i, 76);
    const bool last = i + 76 >= text.size();
    if (!last || (breakAfterFullLastLine && i + 76 == text.size())) lines += "\r\n";
  }
  return lines;
}

// Empty when the classes give what they are meant to on the benchmark's input, else what differs.
const std::string& OutputProblem() {
  static const std::string problem = []() -> std::string {
    tavo::base64module module;
    tavo::Base64Class byteArray;
    const std::string text = module.EncodeArr(Input());
    if (text != ReferenceEncode(Input(), true)) return "EncodeArr differs from the reference";
    if (byteArray.EncodeByteArray(Input()) != ReferenceEncode(Input(), false))
      return "EncodeByteArray differs from the reference";
    if (module.DecodeArr(text) != Input()) return "DecodeArr does not give the input back";
    return {};
  }();
  return problem;
}

const std::string& EncodedInput() {
  static const std::string text = tavo::base64module().EncodeArr(Input());
  return text;
}

// The input as a file for the coreutils program, removed when the program ends.
struct InputFile {
  std::filesystem::path path;
  InputFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavo-base64-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) std::abort();
    path = pattern;
    const std::string& bytes = Input();
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) std::abort();
      done += static_cast<std::size_t>(n);
    }
    ::close(fd);
  }
  ~InputFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

template <class Encode>
void Run(benchmark::State& state, std::size_t bytesPerIteration, Encode encode) {
  if (!OutputProblem().empty()) {
    state.SkipWithError(OutputProblem().c_str());
    return;
  }
  for (auto _ : state) {
    std::string out = encode();
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerIteration));
}

void BM_EncodeArr(benchmark::State& state) {
  tavo::base64module module;
  Run(state, Input().size(), [&] { return module.EncodeArr(Input()); });
}

void BM_EncodeByteArray(benchmark::State& state) {
  tavo::Base64Class byteArray;
  Run(state, Input().size(), [&] { return byteArray.EncodeByteArray(Input()); });
}

void BM_DecodeArr(benchmark::State& state) {
  tavo::base64module module;
  const std::string& text = EncodedInput();
  Run(state, Input().size(), [&] { return module.DecodeArr(text); });
}

// "base64 -w 76 <file>" into /dev/null, from fork to exit: the program as a user runs it.
void BM_CoreutilsBase64(benchmark::State& state) {
  static const InputFile file;
  const std::string path = file.path.string();
  char program[] = "base64", wrap[] = "-w", width[] = "76";
  char* argv[] = {program, wrap, width, const_cast<char*>(path.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, program, &actions, nullptr, argv, environ) != 0 || ::waitpid(pid, &status, 0) != pid ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("base64 could not be run");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Input().size()));
}

}  // namespace

BENCHMARK(BM_EncodeArr)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeByteArray)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeArr)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CoreutilsBase64)->Unit(benchmark::kMillisecond)->UseRealTime();
