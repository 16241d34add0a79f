// Fuzzes both operations over arbitrary settings-file bytes and checks them against a direct,
// independent reading of the rules: which message is shown, and exactly which bytes change.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fontsubst/messages.h"
#include "fontsubst/operations.h"
#include "support/memory_platform.h"

namespace {

using mojifix::Message;
using mojifix::testing::MemoryPlatform;
namespace messages = mojifix::messages;

const std::string kHeader = "[FontSubstitutes]";
const std::string kLine = "MS Sans Serif=System,128,3";
const std::string kWindir = "C:\\W";
const std::string kSettings = kWindir + "\\win.ini";
const std::string kBackup = kSettings + ".old";
const std::string kTemporary = kWindir + "\\winini.tmp";

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

// Lines end at CR LF or at a lone CR.
std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      current += bytes[i];
      continue;
    }
    lines.push_back(current);
    current.clear();
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

std::string trimmed(const std::string& line) {
  std::size_t first = 0, last = line.size();
  while (first < last && line[first] == ' ') ++first;
  while (last > first && line[last - 1] == ' ') --last;
  return line.substr(first, last - first);
}

struct Verdict {
  bool sectionSeen = false;
  bool lineInSection = false;
};

Verdict readRules(const std::vector<std::string>& lines) {
  Verdict verdict;
  bool inSection = false;
  for (const auto& line : lines) {
    if (trimmed(line) == kHeader) inSection = verdict.sectionSeen = true;
    if (inSection && line == kLine) {
      verdict.lineInSection = true;
      break;
    }
    if (!line.empty() && line[0] == '[' && trimmed(line) != kHeader) inSection = false;
  }
  return verdict;
}

std::string joinCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

MemoryPlatform run(void (*operation)(mojifix::Platform&), const std::string& settings) {
  MemoryPlatform platform;
  platform.environment["WINDIR"] = kWindir;
  platform.files[kSettings] = settings;
  operation(platform);
  return platform;
}

// Only the first message after the confirmation decides; a refusal leaves the file alone.
void expectRefusal(const MemoryPlatform& p, const std::string& original, const Message& why) {
  check(p.messages.size() == 2 && p.messages[1] == why, "refusal message");
  check(p.files.size() == 1 && p.files.at(kSettings) == original, "refusal changed files");
}

void expectRewrite(const MemoryPlatform& p, const std::string& original,
                   const std::string& expected, const Message& done) {
  check(p.messages.size() == 3 && p.messages[1] == done &&
            p.messages[2] == messages::restartQuestion(),
        "completion messages");
  check(p.files.at(kSettings) == expected, "rewritten bytes");
  check(p.files.at(kBackup) == original, "backup bytes");
  check(p.files.count(kTemporary) == 0, "temporary file left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  const auto lines = splitLines(original);
  const Verdict verdict = readRules(lines);

  const MemoryPlatform agree = run(mojifix::applySubstitution, original);
  std::vector<std::string> inserted;
  for (const auto& line : lines) {
    inserted.push_back(line);
    if (trimmed(line) == kHeader) inserted.push_back(kLine);
  }
  if (verdict.lineInSection) {
    expectRefusal(agree, original, messages::alreadyApplied());
  } else if (!verdict.sectionSeen) {
    expectRefusal(agree, original, messages::sectionMissing());
  } else {
    expectRewrite(agree, original, joinCrLf(inserted), messages::applied());
  }

  const MemoryPlatform remove = run(mojifix::removeSubstitution, original);
  std::vector<std::string> dropped;
  bool lineAnywhere = false;
  for (const auto& line : lines) {
    if (line == kLine) {
      lineAnywhere = true;
    } else {
      dropped.push_back(line);
    }
  }
  if (!verdict.sectionSeen) {
    expectRefusal(remove, original, messages::sectionMissing());
  } else if (!verdict.lineInSection) {
    expectRefusal(remove, original, messages::notApplied());
  } else {
    expectRewrite(remove, original, joinCrLf(dropped), messages::removed());
  }

  // Agree then Remove gives back a CR LF file that held no copy of the line.
  if (verdict.sectionSeen && !lineAnywhere && joinCrLf(lines) == original) {
    const MemoryPlatform back = run(mojifix::removeSubstitution, agree.files.at(kSettings));
    check(back.files.at(kSettings) == original, "agree then remove is not the original");
  }
  return 0;
}
