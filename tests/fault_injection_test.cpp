// Every file-service call of both operations made to fail in turn, and the process stopped dead
// at every one of them: win.ini must never be lost or half-written, and the user must be told
// the truth.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>

#include "fontsubst/messages.h"
#include "fontsubst/operations.h"
#include "support/scripted_platform.h"
#include "support/temp_directory.h"

namespace mojifix {
namespace {

using testing::PowerCut;
using testing::ScriptedPlatform;
using testing::TempDirectory;

struct Operation {
  const char* name;
  void (*run)(Platform&);
  Message completed;
};

const Operation kOperations[] = {
    {"agree", applySubstitution, messages::applied()},
    {"remove", removeSubstitution, messages::removed()},
};

// Files that Agree changes; Remove gets the same with the line under the header.
struct Sample {
  const char* name;
  std::string contents;
  bool earlierBackup;
};

const Sample kSamples[] = {
    {"plain", "[FontSubstitutes]\r\nA=B\r\n[x]\r\ny=z\r\n", false},
    {"Japanese, no final CR LF, earlier backup",
     "[windows]\r\n\x93\xfa\x81\r\n[FontSubstitutes]\r\nA=B", true},
    {"large", "[FontSubstitutes]\r\n" + std::string(200000, 'x'), false},
};

Sample sampleFor(const Operation& operation, Sample sample) {
  if (operation.run == removeSubstitution) {
    const std::string header = "[FontSubstitutes]\r\n";
    sample.contents.insert(sample.contents.find(header) + header.size(),
                           "MS Sans Serif=System,128,3\r\n");
  }
  return sample;
}

constexpr const char* kEarlierBackup = "an earlier backup\r\n";

struct Outcome {
  std::optional<std::string> settings, backup;
  bool temporaryLeft = false;
  ScriptedPlatform platform;
};

// Runs `operation` on a fresh directory holding `sample`; `setUp` arms the platform.
template <typename SetUp>
void runOnce(const Operation& operation, const Sample& sample, Outcome& run, SetUp setUp) {
  TempDirectory dir;
  dir.write("win.ini", sample.contents);
  if (sample.earlierBackup) dir.write("win.ini.old", kEarlierBackup);
  run.platform.environment["WINDIR"] = dir.path();
  run.platform.answers = {MessageResult::Yes, MessageResult::No};
  setUp(run.platform);
  try {
    operation.run(run.platform);
  } catch (const PowerCut&) {
  }
  run.settings = dir.read("win.ini");
  run.backup = dir.read("win.ini.old");
  run.temporaryLeft = dir.exists("winini.tmp");
}

bool saw(const ScriptedPlatform& platform, const Message& message) {
  return std::find(platform.messages.begin(), platform.messages.end(), message) !=
         platform.messages.end();
}

bool sawError(const ScriptedPlatform& platform) {
  return std::any_of(platform.messages.begin(), platform.messages.end(), [](const Message& m) {
    return m.titleKind == TitleKind::Text && m.title == "エラー発生";
  });
}

// Whether the original was renamed back after the new file could not take its place.
bool triedPuttingBack(const ScriptedPlatform& p) {
  const std::string windir = p.environment.at("WINDIR");
  const std::string call = "rename " + windir + "\\win.ini.old > " + windir + "\\win.ini";
  return std::find(p.log.begin(), p.log.end(), call) != p.log.end();
}

// What must hold after a run in which file calls failed; empty when it all holds.
std::string checkInvariants(const Operation& operation, const Sample& sample,
                            const std::string& updated, const Outcome& run, bool laterCallsFailed) {
  const auto& p = run.platform;
  const bool errorShown = sawError(p);
  const bool successShown = saw(p, operation.completed) || saw(p, messages::restartQuestion());
  const bool backupNamed =
      saw(p, messages::originalLeftInBackup(p.environment.at("WINDIR") + "\\win.ini.old"));
  bool leftInBackup = false;
  if (run.settings == sample.contents) {
    if (!errorShown) return "win.ini unchanged but no error shown";
    if (successShown) return "win.ini unchanged but success claimed";
  } else if (run.settings == updated) {
    if (run.backup != sample.contents) return "new win.ini without the old one as backup";
    // A failed read-back is no proof of the new file: no success, and the backup named.
    const bool unconfirmed = backupNamed && !successShown;
    if (!unconfirmed && (errorShown || !saw(p, operation.completed))) {
      return "new win.ini but failure reported";
    }
  } else if (!run.settings && run.backup == sample.contents && triedPuttingBack(p) && backupNamed) {
    leftInBackup = true;
  } else {
    return "win.ini is neither the old nor the new file";
  }
  // When every later call fails, the clean-up delete of the temporary file fails as well.
  if (run.temporaryLeft && !leftInBackup && !laterCallsFailed) return "winini.tmp left behind";
  return "";
}

TEST(FaultInjectionTest, AFailingFileCallNeverLosesWinIniNorClaimsSuccess) {
  for (const auto& operation : kOperations) {
    int tried = 0;
    int passed = 0;
    for (const auto& base : kSamples) {
      const Sample sample = sampleFor(operation, base);
      Outcome clean;
      runOnce(operation, sample, clean, [](ScriptedPlatform&) {});
      ASSERT_TRUE(saw(clean.platform, operation.completed)) << operation.name << sample.name;
      const std::string updated = *clean.settings;

      for (bool later : {false, true}) {
        for (int call = 1; call <= clean.platform.fileCalls; ++call) {
          Outcome run;
          runOnce(operation, sample, run, [&](ScriptedPlatform& p) {
            p.failCall = call;
            p.failLaterCalls = later;
          });
          const std::string problem = checkInvariants(operation, sample, updated, run, later);
          EXPECT_EQ(problem, "") << operation.name << " / " << sample.name << " / call " << call
                                 << (later ? " and every later call" : " only");
          if (problem.empty()) ++passed;
          ++tried;
        }
      }
    }
    std::cout << operation.name << ": fault points tried: " << tried << ", passed: " << passed
              << '\n';
  }
}

TEST(FaultInjectionTest, APowerCutAtAnyCallLeavesACompleteCopy) {
  for (const auto& operation : kOperations) {
    int points = 0;
    for (const auto& base : kSamples) {
      const Sample sample = sampleFor(operation, base);
      Outcome clean;
      runOnce(operation, sample, clean, [](ScriptedPlatform&) {});
      const std::string updated = *clean.settings;
      for (int call = 1; call <= clean.platform.fileCalls; ++call) {
        Outcome run;
        runOnce(operation, sample, run, [&](ScriptedPlatform& p) { p.cutPowerAtCall = call; });
        SCOPED_TRACE(std::string(operation.name) + " / " + sample.name + " / cut at call " +
                     std::to_string(call));
        EXPECT_TRUE(run.settings == sample.contents || run.backup == sample.contents)
            << "no complete copy of the original";
        if (run.settings) {
          EXPECT_TRUE(run.settings == sample.contents || run.settings == updated)
              << "win.ini is half-written";
        }
        ++points;
      }
    }
    std::cout << operation.name << ": crash points tried: " << points << '\n';
  }
}

}  // namespace
}  // namespace mojifix
