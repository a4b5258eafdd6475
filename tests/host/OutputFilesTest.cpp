// What a run leaves in its output folder and on its streams: files that appear whole or not at all
// (a failed write keeps what the name held before and leaves no temporary file), and the save lines
// and engine lines that --quiet and --verbose move or silence.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "HostErrors.h"
#include "HostRun.h"

namespace {

using hosttest::HostFolder;

struct FailedWrite {
  std::string name;
  std::function<bool(const std::filesystem::path&)> write;
  friend void PrintTo(const FailedWrite& c, std::ostream* out) { *out << c.name; }
};

class OutputFilesAtomicWrite : public ::testing::TestWithParam<FailedWrite> {};

TEST_P(OutputFilesAtomicWrite, ThatFailsKeepsTheOldFileAndLeavesNoTemporaryOne) {
  const HostFolder folder;
  const auto target = folder.write("final.png", std::string("the earlier picture"));
  EXPECT_ANY_THROW(painthost::writeAtomically(target, GetParam().write));
  EXPECT_EQ(hosttest::filesIn(folder.path()), std::set<std::string>{"final.png"});
  const auto kept = hosttest::bytesOf(target);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "the earlier picture");
}

// Each writes half a file under the temporary name first, as a write cut short would.
bool writeHalf(const std::filesystem::path& to) {
  std::ofstream(to, std::ios::binary) << "half a pic";
  return true;
}

INSTANTIATE_TEST_SUITE_P(Host, OutputFilesAtomicWrite,
                         ::testing::Values(FailedWrite{"ReportsFailure", [](const std::filesystem::path& to) { return !writeHalf(to); }},
                                           FailedWrite{"Throws",
                                                       [](const std::filesystem::path& to) -> bool {
                                                         writeHalf(to);
                                                         throw std::runtime_error("the disk is full");
                                                       }},
                                           FailedWrite{"WritesNothing", [](const std::filesystem::path&) { return true; }}),
                         [](const ::testing::TestParamInfo<FailedWrite>& info) { return info.param.name; });

TEST(OutputFiles, AnAtomicWriteThatSucceedsReplacesTheFileWhole) {
  const HostFolder folder;
  const auto target = folder.write("final.tess", std::string("old"));
  painthost::writeAtomically(target, std::vector<std::uint8_t>{'n', 'e', 'w'});
  EXPECT_EQ(hosttest::filesIn(folder.path()), std::set<std::string>{"final.tess"});
  EXPECT_EQ(hosttest::bytesOf(target), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
}

TEST(OutputFiles, VersionNamesTheProgramAndItsStorageFormatAndWritesNothing) {
  const HostFolder folder;
  const auto result = folder.run({"--version", "-o", folder.at("out")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "tessivarium-paint 0.1.0 (storage files of format version 1)\n");
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(hosttest::filesIn(folder.path()).empty());
}

struct OutputMode {
  std::string name;
  std::vector<std::string> flags;
  bool saveLine;    // "saved end: ..." on standard output
  bool engineLine;  // the engine's console lines on standard output
  bool log;         // paint.log beside the outputs
  friend void PrintTo(const OutputMode& c, std::ostream* out) { *out << c.name; }
};

class OutputFilesModes : public ::testing::TestWithParam<OutputMode> {};

TEST_P(OutputFilesModes, GoesWhereItsFlagsSay) {
  const OutputMode& c = GetParam();
  const HostFolder folder;
  folder.write("script.json", hosttest::script(R"({"step": "createLayer"}, {"step": "save", "name": "end"})"));
  std::vector<std::string> args = {folder.at("script.json"), "-o", folder.at("out")};
  args.insert(args.end(), c.flags.begin(), c.flags.end());
  ::testing::internal::CaptureStderr();
  const auto result = folder.run(args);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "only the program's own messages reach the terminal";
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // The canvas's layers print their texture sizes as they are made.
  constexpr const char* kEngineLine = "Heap size";
  EXPECT_EQ(result.out.find("saved end: ") != std::string::npos, c.saveLine) << result.out;
  EXPECT_EQ(result.out.find(kEngineLine) != std::string::npos, c.engineLine) << result.out;
  const auto files = hosttest::filesIn(folder.path() / "out");
  EXPECT_EQ(files.count("paint.log") == 1, c.log);
  if (c.log) {
    const auto log = hosttest::bytesOf(folder.path() / "out" / "paint.log");
    EXPECT_NE(std::string(log.begin(), log.end()).find(kEngineLine), std::string::npos);
  }
  EXPECT_EQ(files.count("end.png") + files.count("end-relief.png") + files.count("end.tess"), 3u);
}

INSTANTIATE_TEST_SUITE_P(Host, OutputFilesModes,
                         ::testing::Values(OutputMode{"Default", {}, true, false, true},
                                           OutputMode{"Quiet", {"--quiet"}, false, false, true},
                                           OutputMode{"Verbose", {"--verbose"}, true, true, false},
                                           OutputMode{"QuietAndVerbose", {"-q", "-v"}, false, true, false},
                                           // More threads than the machine's cores run on its cores.
                                           OutputMode{"ThreadsBeyondTheCores", {"--threads", "256"}, true, false, true}),
                         [](const ::testing::TestParamInfo<OutputMode>& info) { return info.param.name; });

}  // namespace
