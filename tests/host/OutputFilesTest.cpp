// What a run leaves in its output folder and on its streams: files that appear whole or not at all
// (a failed write keeps what the name held before and leaves no temporary file), links in the folder
// replaced instead of followed, the save lines and engine lines that --quiet and --verbose move or
// silence, and what the pictures show.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "HostErrors.h"
#include "HostRun.h"
#include "ToolNames.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"

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
    painthost::FileGroup group({picture, storage});
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
  painthost::FileGroup group({folder.path() / "final.png", folder.path() / "final.tess"});
  group.add(folder.path() / "final.png", writeNew);
  group.add(folder.path() / "final.tess", writeNew);
  EXPECT_THROW(group.commit(), painthost::EngineFailure);
  EXPECT_EQ(hosttest::filesIn(folder.path()), std::set<std::string>{"final.tess"});
}

// A run killed while it wrote a save point leaves its temporary files behind; the next run that
// writes the save point's names into the folder removes them, and nothing else.
TEST(OutputFiles, ARunRemovesTheLeftoversOfTheSaveNamesItWrites) {
  const HostFolder folder;
  folder.write("script.json", hosttest::script(R"({"step": "save", "name": "end"})"));
  const std::set<std::string> leftovers = {"end.png.partial-4242-0", "end-relief.png.partial-4242-3", "end.tess.partial-17-1"};
  const std::set<std::string> others = {"other.png.partial-4242-0", "end.png.partial-x-0", "end.png.partial-4242", "end.tess.old"};
  for (const auto& names : {leftovers, others}) {
    for (const auto& name : names) folder.write("out/" + name, std::string("half a file"));
  }
  ASSERT_EQ(folder.run({folder.at("script.json"), "-o", folder.at("out"), "-q"}).status, 0);
  std::set<std::string> expected = others;
  expected.insert({"end.png", "end-relief.png", "end.tess", "paint.log"});
  EXPECT_EQ(hosttest::filesIn(folder.path() / "out"), expected);
}

// The last file marks a group whole: an earlier group's is gone before the first rename, so that a
// group that stops partway leaves no last file beside files of another group.
TEST(OutputFiles, AGroupThatStopsPartwayLeavesNoLastFile) {
  const HostFolder folder;
  folder.write("final.png/inside", std::string("no file can take the folder's name"));
  folder.write("final.tess", std::string("the earlier storage"));
  painthost::FileGroup group({folder.path() / "final.png", folder.path() / "final.tess"});
  group.add(folder.path() / "final.png", writeNew);
  group.add(folder.path() / "final.tess", writeNew);
  EXPECT_THROW(group.commit(), painthost::EngineFailure);
  EXPECT_EQ(hosttest::filesIn(folder.path()), std::set<std::string>{"final.png"});
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

// What a save point's pictures show: the surface's ground where no paint hides it (none on "Flat",
// whose pictures are as they have always been), and paint where the script put it, in canvas points
// at every scale.
struct PictureCase {
  std::string name;
  std::string canvas;  // the canvas's fields after its size
  std::string steps;
  bool groundShows;               // the bare canvas shows its surface's relief
  std::optional<hosttest::Box> paint;  // the points that hold paint, when any do
  double scale = 1;
  friend void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }
};

class OutputFilesPictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(OutputFilesPictures, ShowTheGroundAndThePaintWhereTheyLie) {
  const PictureCase& c = GetParam();
  const HostFolder folder;
  folder.writePaint("paint.png", 20, 20);
  folder.write("script.json", R"({"canvas": {"width": 320, "height": 256, )" + c.canvas + R"(}, "steps": [)" + c.steps +
                                  R"({"step": "save", "name": "end"}]})");
  const auto result = folder.run({folder.at("script.json"), "-o", folder.at("out"), "-q"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto picture = graphics::readPNG(folder.path() / "out" / "end.png");
  const auto relief = graphics::readPNG(folder.path() / "out" / "end-relief.png");
  ASSERT_TRUE(picture && relief);
  const auto white = [&](std::size_t x, std::size_t y) {
    const auto p = picture->pixel(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  };
  if (c.groundShows) {
    EXPECT_FALSE(white(0, 0) && white(1, 0) && white(0, 1) && white(1, 1)) << "the weave lightens or darkens the canvas";
    bool raised = false;
    for (std::size_t y = 0; y < relief->height() && !raised; ++y) {
      for (std::size_t x = 0; x < relief->width() && !raised; ++x) raised = relief->pixel(x, y)[0] > 0;
    }
    EXPECT_TRUE(raised) << "the ground stands in the relief";
    return;
  }
  const hosttest::Box none{1, 1, 0, 0};
  const hosttest::Box points = c.paint.value_or(none);
  const hosttest::Box cells{points.left * c.scale, points.top * c.scale, (points.right + 1) * c.scale - 1,
                            (points.bottom + 1) * c.scale - 1};
  // The outermost ring of points is left out: the picture is composed from working regions without
  // their one-cell border, and none reaches past the canvas's edge.
  for (std::size_t y = 1; y + 1 < picture->height(); ++y) {
    for (std::size_t x = 1; x + 1 < picture->width(); ++x) {
      ASSERT_EQ(!white(x, y), points.contains(static_cast<double>(x), static_cast<double>(y))) << "point " << x << ", " << y;
    }
  }
  for (std::size_t y = 0; y < relief->height(); ++y) {
    for (std::size_t x = 0; x < relief->width(); ++x) {
      ASSERT_EQ(relief->pixel(x, y)[0] > 0, cells.contains(static_cast<double>(x), static_cast<double>(y))) << "cell " << x << ", " << y;
    }
  }
}

const std::string kImport = R"({"step": "importImage", "file": "paint.png", "x": 100, "y": 60}, )";

INSTANTIATE_TEST_SUITE_P(
    Host, OutputFilesPictures,
    ::testing::Values(PictureCase{"FlatShowsNoGround", R"("surface": "Flat")", "", false, std::nullopt},
                      PictureCase{"ACanvasShowsItsWeave", R"("surface": "Canvas Army Duck")", "", true, std::nullopt},
                      PictureCase{"ImportedAtScale1", R"("scale": 1)", kImport, false, hosttest::Box{100, 60, 119, 79}, 1},
                      PictureCase{"ImportedAtScale2", R"("scale": 2)", kImport, false, hosttest::Box{100, 60, 119, 79}, 2},
                      // Its corner within the last point: the canvas's last cell takes what fits (the
                      // relief shows it).
                      PictureCase{"ImportedOnTheLastPoint", R"("scale": 1)",
                                  R"({"step": "importImage", "file": "paint.png", "x": 319.5, "y": 255.5}, )", false,
                                  hosttest::Box{319, 255, 319, 255}, 1}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return info.param.name; });

// The picture is the canvas's composition whatever tool is current: the dryer and the wetter show
// a picture of their own while current (the layers behind hidden, wet paint darkened).
TEST(OutputFiles, APictureIsTheSameWhicheverToolIsCurrent) {
  const HostFolder folder;
  std::string steps = R"({"step": "tool", "tool": "tube"}, {"step": "color", "color": "#d02020"},
    {"step": "stroke", "samples": [{"x": 60, "y": 60, "force": 0.7}, {"x": 200, "y": 70, "force": 0.7}, {"x": 260, "y": 90, "force": 0.7}]},
    {"step": "createLayer"}, {"step": "tool", "tool": "filbertBrush"}, {"step": "color", "color": "#2040c0", "wetness": 0.8},
    {"step": "stroke", "samples": [{"x": 60, "y": 80, "force": 0.6}, {"x": 200, "y": 90, "force": 0.6}, {"x": 260, "y": 110, "force": 0.6}]},
    {"step": "save", "name": "painted"})";
  for (const auto& name : painthost::toolNames()) {
    steps += R"(, {"step": "tool", "tool": ")" + name + R"("}, {"step": "save", "name": ")" + name + R"("})";
  }
  folder.write("script.json", hosttest::script(steps));
  const auto result = folder.run({folder.at("script.json"), "-o", folder.at("out"), "-q"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto painted = hosttest::bytesOf(folder.path() / "out" / "painted.png");
  for (const auto& name : painthost::toolNames()) {
    EXPECT_TRUE(hosttest::bytesOf(folder.path() / "out" / (name + ".png")) == painted) << name;
  }
}

}  // namespace
