// What a run leaves in its output folder and on its streams: files that appear whole or not at all
// (a failed write keeps what the name held before and leaves no temporary file), links in the folder
// replaced instead of followed, and the save lines and engine lines that --quiet and --verbose move
// or silence.

#include <gtest/gtest.h>

#include <cctype>
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

std::string text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct FailedWrite {
  std::string name;
  std::function<bool(const std::filesystem::path&)> write;
  friend void PrintTo(const FailedWrite& c, std::ostream* out) { *out << c.name; }
};

bool writeNew(const std::filesystem::path& to) {
  std::ofstream(to, std::ios::binary) << "new";
  return true;
}

class OutputFilesGroupWrite : public ::testing::TestWithParam<FailedWrite> {};

TEST_P(OutputFilesGroupWrite, ThatFailsKeepsTheOldFilesAndLeavesNoTemporaryOne) {
  const HostFolder folder;
  const auto picture = folder.write("final.png", std::string("the earlier picture"));
  const auto storage = folder.write("final.tess", std::string("the earlier storage"));
  {
    painthost::FileGroup group;
    group.add(picture, writeNew);
    EXPECT_ANY_THROW(group.add(storage, GetParam().write));
  }
  EXPECT_EQ(hosttest::filesIn(folder.path()), (std::set<std::string>{"final.png", "final.tess"}));
  EXPECT_EQ(text(hosttest::bytesOf(picture)), "the earlier picture");
  EXPECT_EQ(text(hosttest::bytesOf(storage)), "the earlier storage");
}

// Each writes half a file under the temporary name first, as a write cut short would.
bool writeHalf(const std::filesystem::path& to) {
  std::ofstream(to, std::ios::binary) << "half a pic";
  return true;
}

INSTANTIATE_TEST_SUITE_P(Host, OutputFilesGroupWrite,
                         ::testing::Values(FailedWrite{"ReportsFailure", [](const std::filesystem::path& to) { return !writeHalf(to); }},
                                           FailedWrite{"Throws",
                                                       [](const std::filesystem::path& to) -> bool {
                                                         writeHalf(to);
                                                         throw std::runtime_error("the disk is full");
                                                       }},
                                           FailedWrite{"LeavesNoFile",
                                                       [](const std::filesystem::path& to) { return std::filesystem::remove(to); }}),
                         [](const ::testing::TestParamInfo<FailedWrite>& info) { return info.param.name; });

TEST(OutputFiles, AGroupThatCannotRenameOneFileLeavesNoneOfIts) {
  const HostFolder folder;
  std::filesystem::create_directories(folder.path() / "final.tess");  // no file can take its name
  painthost::FileGroup group;
  group.add(folder.path() / "final.png", writeNew);
  group.add(folder.path() / "final.tess", writeNew);
  EXPECT_THROW(group.commit(), painthost::EngineFailure);
  EXPECT_EQ(hosttest::filesIn(folder.path()), std::set<std::string>{"final.tess"});
}

class OutputFilesLink : public ::testing::TestWithParam<std::string> {};

TEST_P(OutputFilesLink, InTheOutputFolderIsReplacedAndWhatItPointsToLeftAlone) {
  const HostFolder folder;
  folder.write("script.json", hosttest::script(R"({"step": "save", "name": "end"})"));
  const auto outside = folder.write("outside.txt", std::string("not the program's"));
  std::filesystem::create_directories(folder.path() / "out");
  const auto link = folder.path() / "out" / GetParam();
  std::filesystem::create_symlink(outside, link);
  ASSERT_EQ(folder.run({folder.at("script.json"), "-o", folder.at("out"), "-q"}).status, 0);
  EXPECT_EQ(text(hosttest::bytesOf(outside)), "not the program's");
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_regular_file(link));
}

INSTANTIATE_TEST_SUITE_P(Host, OutputFilesLink, ::testing::Values("paint.log", "end.png", "end-relief.png", "end.tess"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name;
                           for (const char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

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
  const auto result = folder.run(args);
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
                                           OutputMode{"QuietAndVerbose", {"-q", "-v"}, false, true, false}),
                         [](const ::testing::TestParamInfo<OutputMode>& info) { return info.param.name; });

}  // namespace
