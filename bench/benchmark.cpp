// Measures the Agree and Remove rewrites on generated settings files of growing size against a
// plain `cp` of the same file: time, throughput, ratio to cp and peak memory.
//
// Usage: mojifix_benchmark DIRECTORY [SIZE_MB...]   (sizes default to 0.01 1 100 1024)
// Each run happens in a child process so its peak resident memory can be read on its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fontsubst/operations.h"
#include "platform/platform.h"

namespace {

using namespace mojifix;
using Clock = std::chrono::steady_clock;

// The system's files, with the questions answered (Yes, then No to the restart) and the designed
// pauses skipped: they are behaviour, not cost.
class BenchmarkPlatform final : public Platform {
 public:
  MessageResult showMessage(const Message& message) override {
    if (message.style != MessageStyle::YesNoQuestion) {
      if (message.style != MessageStyle::Information) {
        std::fprintf(stderr, "unexpected message: %s\n", message.prompt.c_str());
        std::exit(1);
      }
      return MessageResult::Ok;
    }
    return questions_++ == 0 ? MessageResult::Yes : MessageResult::No;
  }
  std::string environmentVariable(const std::string& name) override {
    return system_->environmentVariable(name);
  }
  std::unique_ptr<File> openForReading(const std::string& path) override {
    return system_->openForReading(path);
  }
  std::unique_ptr<File> openForWriting(const std::string& path) override {
    return system_->openForWriting(path);
  }
  bool deleteFile(const std::string& path) override { return system_->deleteFile(path); }
  bool renameFile(const std::string& from, const std::string& to) override {
    return system_->renameFile(from, to);
  }
  void processEvents() override {}
  void pause(unsigned) override {}
  bool requestRestart() override { return false; }
  AppVersion applicationVersion() override { return system_->applicationVersion(); }

 private:
  std::unique_ptr<Platform> system_ = makeSystemPlatform();
  int questions_ = 0;
};

// A win.ini of about `bytes` bytes: Japanese comments and ordinary entries, with the managed
// section near the end so the scan reads nearly all of it.
void generate(const std::filesystem::path& path, std::uint64_t bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const std::string comment = "; \x93\xfa\x96\x7b\x8c\xea\x82\xcc\x90\xdd\x92\xe8\r\n";
  std::uint64_t written = 0;
  for (std::uint64_t n = 0; written + 64 < bytes; ++n) {
    if (n % 50 == 0) {
      const std::string header = "[section" + std::to_string(n) + "]\r\n";
      out << header;
      written += header.size();
    }
    const std::string entry =
        "key" + std::to_string(n) + "=value " + std::to_string(n * 7) + "\r\n";
    out << entry << comment;
    written += entry.size() + comment.size();
  }
  out << "[FontSubstitutes]\r\nArial=Helvetica\r\n";
}

struct Measure {
  double seconds = 0;
  double cpuSeconds = 0;
  long peakKiB = 0;
};

double toSeconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// Runs `work` in a child process; its time and its own peak resident memory.
template <typename Work>
Measure inChild(Work work) {
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    work();
    std::_Exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "a benchmark run failed\n");
    std::exit(1);
  }
  return {std::chrono::duration<double>(Clock::now() - start).count(),
          toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime), usage.ru_maxrss};
}

void report(const char* what, double mb, const Measure& m, double cpSeconds) {
  std::printf("  %-7s %9.3f s (cpu %7.3f s) %9.1f MB/s  %5.2f x cp  peak %7.1f MiB\n", what,
              m.seconds, m.cpuSeconds, mb / m.seconds, cpSeconds / m.seconds, m.peakKiB / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY [SIZE_MB...]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path directory = std::filesystem::absolute(argv[1]);
  std::filesystem::create_directories(directory);
  std::vector<double> sizes = {0.01, 1, 100, 1024};
  if (argc > 2) sizes.assign({});
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atof(argv[i]));

  setenv("WINDIR", directory.c_str(), 1);
  const auto settings = directory / "win.ini";
  for (const double mb : sizes) {
    std::filesystem::remove(directory / "win.ini.old");
    generate(settings, static_cast<std::uint64_t>(mb * 1024 * 1024));
    const double actualMb = std::filesystem::file_size(settings) / (1024.0 * 1024.0);
    std::printf("%.2f MB win.ini\n", actualMb);

    const std::string copy = "cp '" + settings.string() + "' '" + (directory / "copy").string() +
                             "' && sync '" + (directory / "copy").string() + "'";
    const Measure cp = inChild([&] { std::_Exit(std::system(copy.c_str()) == 0 ? 0 : 1); });
    std::filesystem::remove(directory / "copy");
    report("cp", actualMb, cp, cp.seconds);

    const Measure agree = inChild([] {
      BenchmarkPlatform platform;
      applySubstitution(platform);
    });
    report("agree", actualMb, agree, cp.seconds);

    const Measure remove = inChild([] {
      BenchmarkPlatform platform;
      removeSubstitution(platform);
    });
    report("remove", actualMb, remove, cp.seconds);
  }
  for (const char* name : {"win.ini", "win.ini.old", "winini.tmp"}) {
    std::filesystem::remove(directory / name);
  }
  return 0;
}
