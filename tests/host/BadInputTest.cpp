// Every kind of bad input is refused before anything is written: with the script position or the
// file and the reason, and exit status 2.

#include <gtest/gtest.h>
#include <zstd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "HostRun.h"
#include "LyingPNG.h"
#include "StorageFile.h"

namespace {

using hosttest::HostFolder;
using hosttest::script;

struct Cells {
  std::int64_t width = 320, height = 256;
};

// A storage file of `layers` empty layers of `cells`, stored from a `width` x 256 canvas.
std::vector<std::uint8_t> storageFile(std::int64_t width = 320, std::uint32_t layers = 1, std::optional<Cells> cells = std::nullopt) {
  const Cells c = cells.value_or(Cells{width, 256});
  std::stringstream file(std::ios::in | std::ios::out | std::ios::binary);
  painthost::StorageWriter writer(file, {width, 256, 1.0, 0}, layers, c.width, c.height);
  const std::vector<std::uint8_t> empty(static_cast<std::size_t>(c.width * c.height * 4), 0);
  for (std::uint32_t i = 0; i < layers; ++i) writer.add(false, tessivarium::ArtworkRawData(c.width, c.height, 1, empty, empty, empty));
  writer.finish();
  const std::string bytes = file.str();
  return {bytes.begin(), bytes.end()};
}

void putLittle(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, int size = 8) {
  for (int i = 0; i < size; ++i) bytes.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string text(std::vector<std::uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

// A storage file whose header claims `rawSize` bytes of records, its checksum made to match.
std::string claimingRecords(std::vector<std::uint8_t> bytes, std::uint64_t rawSize) {
  putLittle(bytes, 12, rawSize);
  putLittle(bytes, 28, painthost::storageChecksum(bytes));
  return text(std::move(bytes));
}

std::vector<std::uint8_t> recordsOf(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> records(ZSTD_getFrameContentSize(file.data() + 36, file.size() - 36));
  EXPECT_EQ(ZSTD_decompress(records.data(), records.size(), file.data() + 36, file.size() - 36), records.size());
  return records;
}

// The storage file's header around `frame` and `after`, its sizes (`rawSize` the records') and its
// checksum made to match.
std::string storageAround(const std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& frame,
                          const std::vector<std::uint8_t>& after, std::uint64_t rawSize) {
  std::vector<std::uint8_t> out(file.begin(), file.begin() + 36);
  out.insert(out.end(), frame.begin(), frame.end());
  out.insert(out.end(), after.begin(), after.end());
  putLittle(out, 12, rawSize);
  putLittle(out, 20, frame.size() + after.size());
  putLittle(out, 28, painthost::storageChecksum(out));
  return text(std::move(out));
}

// The storage file with its records changed by `change` and `after` put behind their frame, the
// header's sizes and checksum made to match. Without `sized` the frame does not give the records'
// size, and the header says that it is unknown.
std::string reframed(const std::vector<std::uint8_t>& file, const std::function<void(std::vector<std::uint8_t>&)>& change,
                     const std::vector<std::uint8_t>& after = {}, bool sized = true) {
  auto records = recordsOf(file);
  change(records);
  std::vector<std::uint8_t> frame(ZSTD_compressBound(records.size()));
  const std::unique_ptr<ZSTD_CCtx, std::size_t (*)(ZSTD_CCtx*)> compressor(ZSTD_createCCtx(), ZSTD_freeCCtx);
  ZSTD_CCtx_setParameter(compressor.get(), ZSTD_c_compressionLevel, 3);
  ZSTD_CCtx_setParameter(compressor.get(), ZSTD_c_contentSizeFlag, sized ? 1 : 0);
  frame.resize(ZSTD_compress2(compressor.get(), frame.data(), frame.size(), records.data(), records.size()));
  return storageAround(file, frame, after, sized ? records.size() : ZSTD_CONTENTSIZE_UNKNOWN);
}

const std::vector<std::uint8_t> kSkippableFrame = {0x50, 0x2A, 0x4D, 0x18, 4, 0, 0, 0, 1, 2, 3, 4};

// A storage file of two empty layers whose records' frame is 1 MiB long exactly, as many chunks as
// the reader reads it in, with a skippable frame after it. The frame is made by hand: the records'
// first bytes as they are, in raw blocks, up to where the rest, all zeros, in blocks of one
// repeated byte makes up the 1 MiB.
std::string frameOf1MiB() {
  constexpr std::size_t kBlock = 128 << 10, kFrame = 1 << 20, kHeader = 4 + 1 + 8;
  const auto file = storageFile(320, 2);
  const auto records = recordsOf(file);
  const auto blocks = [&](std::size_t bytes) { return (bytes + kBlock - 1) / kBlock; };
  const auto frameBytes = [&](std::size_t raw) { return kHeader + raw + 3 * blocks(raw) + 4 * blocks(records.size() - raw); };
  std::size_t raw = 0;
  while (frameBytes(raw) < kFrame) ++raw;
  EXPECT_EQ(frameBytes(raw), kFrame);
  EXPECT_TRUE(std::all_of(records.begin() + static_cast<std::ptrdiff_t>(raw), records.end(), [](auto b) { return b == 0; }));
  // The magic number, then a single segment with an 8-byte content size.
  std::vector<std::uint8_t> frame = {0x28, 0xB5, 0x2F, 0xFD, 0xE0, 0, 0, 0, 0, 0, 0, 0, 0};
  putLittle(frame, 5, records.size());
  for (std::size_t at = 0, size = 0; at < records.size(); at += size) {
    const bool stored = at < raw;
    size = std::min(kBlock, (stored ? raw : records.size()) - at);
    const std::uint64_t header = size << 3 | (stored ? 0 : 1) << 1 | (at + size == records.size() ? 1 : 0);
    for (int i = 0; i < 3; ++i) frame.push_back(static_cast<std::uint8_t>(header >> (8 * i)));
    if (stored) {
      frame.insert(frame.end(), records.begin() + static_cast<std::ptrdiff_t>(at), records.begin() + static_cast<std::ptrdiff_t>(at + size));
    } else {
      frame.push_back(0);
    }
  }
  EXPECT_EQ(frame.size(), kFrame);
  return storageAround(file, frame, kSkippableFrame, records.size());
}

std::string withByte(std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
  bytes.at(at) = value;
  return text(std::move(bytes));
}

const std::string kStroke = R"({"step": "stroke", "samples": [{"x": 10, "y": 10}, {"x": 20, "y": 12}]})";
const std::string kInkStroke = R"({"step": "stroke", "inkml": "pen.inkml"})";
const std::string kFittedInkStroke = R"({"step": "stroke", "inkml": "pen.inkml", "fit": true})";

std::string ink(const std::string& body, const std::string& format = R"(<channel name="X"/><channel name="Y"/>)") {
  return R"(<ink xmlns="http://www.w3.org/2003/InkML"><traceFormat>)" + format + "</traceFormat>" + body + "</ink>";
}

std::string createLayers(int count) {
  std::string steps;
  for (int i = 0; i < count; ++i) steps += std::string(i ? ", " : "") + R"({"step": "createLayer"})";
  return steps;
}

struct Case {
  std::string name;
  std::string script;                                     // the script's text
  std::vector<std::pair<std::string, std::string>> files;  // more input files, by name
  std::vector<std::string> args;                           // after the script and the output folder
  std::string message;                                     // part of the message on standard error
  std::function<void(const HostFolder&)> makeFiles = {};   // more input files, made in the folder
  std::optional<std::uint64_t> machineMemory = std::nullopt;
  friend void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
};

// A picture of 1 x 1 pixels whose header claims `width` x `height`.
std::function<void(const HostFolder&)> lyingPicture(const std::string& name, std::uint32_t width, std::uint32_t height) {
  return [=](const HostFolder& folder) {
    folder.writePaint(name, 1, 1);
    const auto bytes = hosttest::bytesOf(folder.path() / name);
    folder.write(name, testsupport::claimingSize(std::string(bytes.begin(), bytes.end()), width, height));
  };
}

const std::string kImport = R"({"step": "importImage", "file": "big.png", "x": 0, "y": 0})";

std::vector<Case> cases() {
  const auto storage = storageFile();
  return {
      {"MalformedJson", R"({"canvas": {"width": 320,)", {}, {}, "script.json:1:25: not valid JSON: syntax error while parsing object key"},
      {"NumberTooLargeToHold", R"({"canvas": {"width": 1e400, "height": 256}, "steps": []})", {}, {},
       "script.json:1:26: the number 1e400 is too large to hold\n"},
      {"MalformedJsonOnLine3", "{\"canvas\": {\"width\": 320, \"height\": 256},\n \"steps\": [\n  {\"step\": \"save\" \"name\": \"a\"}]}",
       {}, {}, "script.json:3:24: not valid JSON: syntax error while parsing object - unexpected string literal"},
      // A whole number beyond 64 bits, which the JSON reader would read as a fraction.
      {"WholeNumberTooLargeToHold", R"({"canvas": {"width": 18446744073709551616, "height": 256}, "steps": []})", {}, {},
       "script.json:1:41: the number 18446744073709551616 is too large to hold\n"},
      // A key given twice, which the JSON reader would let the last of win.
      {"FieldGivenTwice", R"({"canvas": {"width": 5000, "width": 256, "height": 256}, "steps": []})", {}, {},
       "script.json:1:28: the field \"width\" is given twice\n"},
      {"StepsGivenTwice", "{\"canvas\": {\"width\": 320, \"height\": 256},\n \"steps\": [],\n \"steps\": [{\"step\": \"save\", \"name\": \"a\"}]}",
       {}, {}, "script.json:3:2: the field \"steps\" is given twice\n"},
      // Nothing but white space after the script's value: the JSON reader takes a NUL for the end.
      {"TextAfterANul", script(R"({"step": "save", "name": "a"})") + std::string("\n\0{}", 4), {}, {},
       "script.json:2:1: not valid JSON: a NUL byte\n"},
      {"NotAnObject", "[1, 2]", {}, {}, "script.json: an object is expected"},
      {"MissingSteps", R"({"canvas": {"width": 320, "height": 256}})", {}, {}, "the field \"steps\" is missing"},
      {"UnknownStep", script(R"({"step": "paint"})"), {}, {}, "steps[0].step: unknown step \"paint\""},
      {"UnknownField", script(R"({"step": "color", "colour": "#ffffff", "color": "#ffffff"})"), {}, {},
       "steps[0].colour: unknown field"},
      {"UnknownTool", script(R"({"step": "tool", "tool": "pencil"})"), {}, {},
       "steps[0].tool: unknown tool \"pencil\" (one of: tube, sprayer, dryer, wetter, knife1, "},
      // What the input holds is quoted with its control characters escaped: one line of its own.
      {"ToolNameWithALineBreak", script(R"({"step": "tool", "tool": "pen\ncil"})"), {}, {},
       "steps[0].tool: unknown tool \"pen\\ncil\" (one of: tube, "},
      {"ColourWithAnEscapeSequence", script(R"({"step": "color", "color": "\u001b[31mred"})"), {}, {},
       "steps[0].color: \"\\u001b[31mred\" is not a colour (#rrggbb or #rrggbbaa)\n"},
      {"FieldNameWithABell", script(R"({"step": "clean", "to\u0007ol": 1})"), {}, {}, "steps[0].to\\u0007ol: unknown field\n"},
      // Tool settings, each refused where the tool does not have it.
      {"WetOnATubeOnly", script(R"({"step": "tool", "tool": "roller", "wet": true})"), {}, {},
       "steps[0].wet: the roller does not offer wet drawing (the tools that do: tube, knife1, "},
      {"WetNotTrueOrFalse", script(R"({"step": "tool", "tool": "tube", "wet": 1})"), {}, {}, "steps[0].wet: true or false is expected"},
      {"RotationWithoutTheDial", script(R"({"step": "tool", "tool": "extraWideBrush", "rotation": 1})"), {}, {},
       "steps[0].rotation: the extraWideBrush does not take the dial (the tools that do: knife1, "},
      {"RotationBeyondAKnife", script(R"({"step": "tool", "tool": "knife4", "rotation": 1.6})"), {}, {},
       "steps[0].rotation: 1.6 radians is outside the knife4's dial (-1.5708 to 1.5708)"},
      // Just beyond a quarter turn: the limits with the digits that tell them from the value.
      {"RotationJustBeyondAKnife", script(R"({"step": "tool", "tool": "knife4", "rotation": 1.5708})"), {}, {},
       "steps[0].rotation: 1.5708 radians is outside the knife4's dial (-1.570796 to 1.570796)"},
      // The limits with the digits that put the value outside them as they read.
      {"RotationAKnifesLimitRoundsPast", script(R"({"step": "tool", "tool": "knife4", "rotation": 1.5707964})"), {}, {},
       "steps[0].rotation: 1.5707964 radians is outside the knife4's dial (-1.570796 to 1.570796)\n"},
      {"RotationABrushsLimitRoundsPast", script(R"({"step": "tool", "tool": "flatBrush", "rotation": 6.2831854})"), {}, {},
       "steps[0].rotation: 6.2831854 radians is outside the flatBrush's dial (0 to 6.283185)\n"},
      {"AzimuthOneStepBeyondAFullTurn",
       script(R"({"step": "stroke", "samples": [{"x": 1, "y": 1, "azimuth": 6.283185307179587}, {"x": 2, "y": 2}]})"), {}, {},
       "steps[0].samples[0].azimuth: 6.283185307179587 is out of range (-6.283185 to 6.283185)\n"},
      {"RotationBelowABrush", script(R"({"step": "tool", "tool": "smallFanBrush", "rotation": -0.1})"), {}, {},
       "steps[0].rotation: -0.1 radians is outside the smallFanBrush's dial (0 to 6.28319)"},
      {"AutoCleanOnARoller", script(R"({"step": "tool", "tool": "roller", "autoClean": false})"), {}, {},
       "steps[0].autoClean: the roller cannot be cleaned (the tools that can: knife1, "},
      {"AutoResetOnATowel", script(R"({"step": "tool", "tool": "towel", "autoReset": true})"), {}, {},
       "steps[0].autoReset: the towel cannot be reset (the tools that can: knife1, "},
      // The wide brushes' paint pass takes no drawing mode: they always lay their paint wet.
      {"WetOnAWideBrush", script(R"({"step": "tool", "tool": "wideBrush", "wet": false})"), {}, {},
       "steps[0].wet: the wideBrush does not offer wet drawing (the tools that do: tube, knife1, "},
      {"ColourForTheRoller", script(kStroke + R"(, {"step": "tool", "tool": "roller"}, {"step": "color", "color": "#ff0000"})"), {},
       {}, "steps[2]: the current tool, the roller, takes no colour (the tools that do: tube, sprayer, knife1, "},
      {"CleanTheTube", script(R"({"step": "tool", "tool": "tube"}, {"step": "clean"})"), {}, {},
       "steps[1]: the current tool, the tube, cannot be cleaned (the tools that can: knife1, "},
      {"CleanWithAField", script(R"({"step": "clean", "tool": "towel"})"), {}, {}, "steps[0].tool: unknown field"},
      {"SamplesAndPenData", script(R"({"step": "stroke", "samples": [{"x": 1, "y": 1}, {"x": 2, "y": 2}], "inkml": "pen.inkml"})"),
       {{"pen.inkml", "<ink><trace>1 2, 3 4</trace></ink>"}}, {}, "steps[0]: a stroke takes either \"samples\" or \"inkml\""},
      {"ForceOutOfRange",
       script(kStroke + R"(, {"step": "stroke", "samples": [{"x": 1, "y": 1}, {"x": 2, "y": 2}, {"x": 3, "y": 3, "force": 1.0000001}]})"),
       {}, {}, "steps[1].samples[2].force: 1.0000001 is out of range (0 to 1)"},
      {"NotANumber", script(R"({"step": "stroke", "samples": [{"x": "1", "y": 1}, {"x": 2, "y": 2}]})"), {}, {},
       "steps[0].samples[0].x: a number is expected"},
      {"StrokeOutsideTheCanvas", script(R"({"step": "stroke", "samples": [{"x": 10, "y": 10}, {"x": 320, "y": 12}]})"), {},
       {}, "steps[0].samples[1].x: 320 lies outside the 320 x 256 canvas"},
      {"OneSampleStroke", script(R"({"step": "stroke", "samples": [{"x": 10, "y": 10}]})"), {}, {},
       "steps[0].samples: at least 2 entries are expected"},
      {"CanvasTooSmall", R"({"canvas": {"width": 100, "height": 256}, "steps": []})", {}, {},
       "canvas.width: 100 is out of range (256 to 4096)"},
      // Whole numbers from 2^63 up, as written.
      {"CanvasOf2To64Less1", R"({"canvas": {"width": 18446744073709551615, "height": 256}, "steps": []})", {}, {},
       "canvas.width: 18446744073709551615 is out of range (256 to 4096)\n"},
      {"CanvasOf2To63", R"({"canvas": {"width": 9223372036854775808, "height": 256}, "steps": []})", {}, {},
       "canvas.width: 9223372036854775808 is out of range (256 to 4096)\n"},
      {"UnknownSurface", R"({"canvas": {"width": 320, "height": 256, "surface": "Silk"}, "steps": []})", {}, {},
       "canvas.surface: unknown surface \"Silk\""},
      {"BadColour", script(R"({"step": "color", "color": "red"})"), {}, {}, "steps[0].color: \"red\" is not a colour"},
      {"MissingImage", script(R"({"step": "importImage", "file": "gone.png", "x": 0, "y": 0})"), {}, {},
       "steps[0].file: no such file: "},
      // A NUL would end the name where the file system reads it.
      {"FileNameWithANul", script(R"({"step": "importImage", "file": "sw.png\u0000.txt", "x": 0, "y": 0})"), {}, {},
       "steps[0].file: the file name \"sw.png\\u0000.txt\" holds a control character\n",
       [](const HostFolder& folder) { folder.writePaint("sw.png", 2, 2); }},
      {"ImageNotAPicture", script(R"({"step": "importImage", "file": "notes.png", "x": 0, "y": 0})"),
       {{"notes.png", "not a picture"}}, {}, "steps[0].file: not a PNG picture: "},
      {"NoSuchLayer", script(R"({"step": "createLayer"}, {"step": "selectLayer", "layer": 2})"), {}, {},
       "steps[1]: layer 2 does not exist (the canvas has 2 layers then)"},
      {"LayerGoneAfterUndo", script(R"({"step": "createLayer"}, {"step": "undo"}, {"step": "hideLayer", "layer": 1})"), {}, {},
       "steps[2]: layer 1 does not exist (the canvas has 1 layer then)"},
      {"DeleteTheOnlyLayer", script(R"({"step": "deleteLayer"})"), {}, {}, "steps[0]: the canvas's only layer cannot be deleted"},
      {"MoreLayersThanAStorageFileHolds", script(createLayers(1000)), {}, {},
       "steps[999]: the canvas would have 1001 layers then, and a storage file holds at most 1000"},
      {"SaveNamedTwice", script(R"({"step": "save", "name": "a"}, {"step": "save", "name": "a"})"), {}, {},
       "steps[1].name: a second save point named \"a\""},
      {"SaveNamedAsAnEarlierSavesRelief", script(R"({"step": "save", "name": "a"}, {"step": "save", "name": "a-relief"})"), {},
       {}, "steps[1].name: the save point \"a-relief\" would write a-relief.png over the save point \"a\"'s"},
      {"SaveWhoseReliefIsAnEarlierSavesPicture",
       script(R"({"step": "save", "name": "a-relief"}, {"step": "save", "name": "a"})"), {}, {},
       "steps[1].name: the save point \"a\" would write a-relief.png over the save point \"a-relief\"'s"},
      // Pictures no canvas holds, refused from their header.
      {"PictureWiderThanAnyCanvas", script(kImport), {}, {},
       "big.png is 8193 x 1 pixels; no canvas holds a side beyond 8192 cells (4096 points at scale 2)",
       [](const HostFolder& folder) { folder.writePaint("big.png", 8193, 1); }},
      {"PictureTallerThanAnyCanvasByItsHeaderAlone", script(kImport), {}, {}, "big.png is 1 x 16384 pixels; no canvas holds",
       lyingPicture("big.png", 1, 16384)},
      {"NoScriptFile", "", {}, {}, "script.json: no such script file"},
      {"UnknownOption", script(""), {}, {"--colour"}, "--colour"},
      {"ThreadsOutOfRange", script(""), {}, {"--threads", "0"}, "--threads: 0 is not 1 to 256"},
      {"ThreadsNotANumber", script(""), {}, {"--threads", "abc"}, "--threads: abc is not a whole number"},
      {"LoadNamedEmpty", script(""), {}, {"--load", ""}, "--load: an empty name names nothing"},
      // Pen files.
      {"InkNotXml", script(kInkStroke), {{"pen.inkml", "<ink><trace>1 2, 3 4</ink>"}}, {}, "pen.inkml:1: not well-formed XML"},
      {"InkNotInkML", script(kInkStroke), {{"pen.inkml", "<svg/>"}}, {}, "pen.inkml:1: not an InkML file"},
      {"InkNoTraces", script(kInkStroke), {{"pen.inkml", ink("")}}, {}, "pen.inkml: no <trace> in the file"},
      {"InkWithoutXY", script(kInkStroke), {{"pen.inkml", ink("<trace>1, 2</trace>", R"(<channel name="F"/>)")}}, {},
       "the trace format has no X and Y channels"},
      {"InkValueNotANumber", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 3 y</trace>")}}, {},
       "pen.inkml:1: trace 1, point 2: \"y\" is not a number"},
      // A trace over several lines: the fault is placed on the line of its value, as written.
      {"InkValueOnALaterLine", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2,\n3 4,\n4x 5</trace>")}}, {},
       "pen.inkml:3: trace 1, point 3: \"4x\" is not a number"},
      // Character references are line breaks of the text only, a comment's line breaks of the file only.
      {"InkValueAfterCharacterReferencesAndAComment", script(kInkStroke),
       {{"pen.inkml", ink("<trace>1 2,&#10;&#10;&#10;&#10;3 4,<!-- a\nb\n-->\n5 x</trace>")}}, {},
       "pen.inkml:4: trace 1, point 3: \"x\" is not a number\n"},
      // Quoted up to twelve bytes, cut before a character that does not fit in them.
      {"InkValueCutOnACharacter", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 12345678901\u20ac5 6</trace>")}}, {},
       "pen.inkml:1: trace 1, point 2: \"12345678901\" is not a number\n"},
      {"InkOutsideTheCanvasOnALaterLine", script(kInkStroke), {{"pen.inkml", ink("\n<trace>\n1 2,\n3 4,\n900 5</trace>")}}, {},
       "pen.inkml:5: trace 1, point 3: (900, 5) lies outside"},
      // Values packed without white space are read whole before one is refused.
      {"InkPackedValueNotANumber", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2,'3'-2x,4 5</trace>")}}, {},
       "pen.inkml:1: trace 1, point 2: \"'-2x\" is not a number"},
      {"InkQualifierWithoutAValue", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 3 '</trace>")}}, {},
       "pen.inkml:1: trace 1, point 2: \"'\" is not a number"},
      {"InkNumberWithTwoPoints", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 3 4.5.6</trace>")}}, {},
       "pen.inkml:1: trace 1, point 2: \"4.5.6\" is not a number"},
      {"InkTooFewValues", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 3 4, 5</trace>")}}, {},
       "trace 1, point 3: 1 values for 2 channels"},
      {"InkOutsideTheCanvas", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 3 4</trace><trace>10 10, 400 10</trace>")}}, {},
       "trace 2, point 2: (400, 10) lies outside the 320 x 256 canvas"},
      // As a script's samples: 0 <= x < width, 0 <= y < height.
      {"InkAtTheCanvasWidth", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 320 4</trace>")}}, {},
       "pen.inkml:1: trace 1, point 2: (320, 4) lies outside the 320 x 256 canvas"},
      {"InkAtTheCanvasHeight", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 3 256</trace>")}}, {},
       "pen.inkml:1: trace 1, point 2: (3, 256) lies outside the 320 x 256 canvas"},
      {"InkForceWithoutMax", script(kInkStroke),
       {{"pen.inkml", ink("<trace>1 2 0.5, 3 4 300</trace>", R"(<channel name="X"/><channel name="Y"/><channel name="F"/>)")}}, {},
       "trace 1, point 2: force 300 is not 0 to 1 and the F channel gives no max"},
      {"InkForceMaxNotAboveMin", script(kInkStroke),
       {{"pen.inkml", ink("<trace>1 2 5, 3 4 6</trace>", R"(<channel name="X"/><channel name="Y"/><channel name="F" min="8" max="8"/>)")}},
       {}, "pen.inkml:1: the F channel's max is not above its min"},
      {"InkTraceWithoutPoints", script(kInkStroke), {{"pen.inkml", ink("<trace>1 2, 3 4</trace><trace> </trace>")}}, {},
       "pen.inkml:1: trace 2: no points"},
      {"InkLengthOfNoKnownUnit", script(kInkStroke),
       {{"pen.inkml", ink("<trace>1 2, 3 4</trace>", R"(<channel name="X" units="furlong"/><channel name="Y"/>)")}}, {},
       "pen.inkml:1: channel X: the unit \"furlong\" is not a length this program knows (pt, pc, in, cm, mm, m, himetric, dev)"},
      {"InkTiltOfNoAngleUnit", script(kInkStroke),
       {{"pen.inkml", ink("<trace>1 2 3, 3 4 5</trace>", R"(<channel name="X"/><channel name="Y"/><channel name="OTx" units="grad"/>)")}},
       {}, "pen.inkml:1: channel OTx: the unit \"grad\" is not an angle (deg or rad)"},
      {"InkResolutionNotAbove0", script(kInkStroke),
       {{"pen.inkml", ink(R"(<channelProperties><channelProperty channel="Y" name="resolution" value="0"/></channelProperties>)"
                          "<trace>1 2, 3 4</trace>")}},
       {}, "pen.inkml:1: the resolution of channel Y is not above 0"},
      {"InkResolutionBelowTheNormalNumbers", script(kInkStroke),
       {{"pen.inkml", ink(R"(<channelProperties><channelProperty channel="Y" name="resolution" value="1e-320"/></channelProperties>)"
                          "<trace>1 2, 3 4</trace>")}},
       {}, "pen.inkml:1: the resolution of channel Y: value=\"1e-320\" is not a positive normal number\n"},
      {"InkResolutionUnitsNotPerUnit", script(kInkStroke),
       {{"pen.inkml", ink(R"(<channelProperties><channelProperty channel="X" name="resolution" value="10" units="cm"/></channelProperties>)"
                          "<trace>1 2, 3 4</trace>")}},
       {}, "pen.inkml:1: the resolution of channel X: units=\"cm\" is not 1/<unit>"},
      {"InkTiltBeyondItsResolution", script(kInkStroke),
       {{"pen.inkml", ink(R"(<channelProperties><channelProperty channel="OTx" name="resolution" value="10" units="1/deg"/></channelProperties>)"
                          "<trace>1 2 120, 3 4 950</trace>",
                          R"(<channel name="X"/><channel name="Y"/><channel name="OTx" units="deg"/>)")}},
       {}, "pen.inkml:1: trace 1, point 2: tilt 95 degrees is not below 90"},
      // The encoding and the entities: the file and the line, in this program's words, on one line.
      {"InkNotUtf8", script(kInkStroke), {{"pen.inkml", "<ink><trace>1 2, \xff 4</trace></ink>"}}, {},
       "pen.inkml:1: its text is not UTF-8, and the file declares no other encoding\n"},
      {"InkNotInItsEncoding", script(kInkStroke),
       {{"pen.inkml", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<ink><trace>1 2, \x82\xff 4</trace></ink>"}}, {},
       "pen.inkml:2: its text is not in the encoding the file declares\n"},
      // libxml2 takes the first byte that is not ASCII for the text's end.
      {"InkNotInTheAsciiItDeclares", script(kInkStroke),
       {{"pen.inkml", "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<ink>\n<trace>1 2, 3\xe9 4</trace></ink>"}}, {},
       "pen.inkml:3: its text is not in the encoding the file declares\n"},
      {"InkUndeclaredEntity", script(kInkStroke),
       {{"pen.inkml", "<!DOCTYPE ink SYSTEM \"ink.dtd\">\n<ink>\n<trace>1 2, &undeclared;40 40</trace></ink>"}}, {},
       "pen.inkml:3: the entity &undeclared; is not read (a pen file may use only &amp;, &lt;, &gt;, &apos;, &quot; and "},
      {"InkTraceInAnEntity", script(kInkStroke),
       {{"pen.inkml", "<!DOCTYPE ink [<!ENTITY t \"<trace>5 6, 7 8</trace>\">]>\n<ink><trace>1 2, 3 4</trace>\n&t;</ink>"}}, {},
       "pen.inkml:3: the entity &t; is not read"},
      {"InkDifferencesBeyondANumber", script(kFittedInkStroke), {{"pen.inkml", ink("<trace>1 2, '1e308 '1, '1e308 '1</trace>")}},
       {}, "pen.inkml:1: trace 1, point 3: its differences add up beyond any number"},
      {"InkSpanTooFarToFit", script(kFittedInkStroke), {{"pen.inkml", ink("<trace>-1e308 2, 1e308 4</trace>")}}, {},
       "pen.inkml: the traces span too far to be fitted into the canvas"},
      // Storage files to start from.
      {"StorageTruncated", script(""), {{"in.tess", text(std::vector<std::uint8_t>(storage.begin(), storage.end() - 9))}},
       {"--load", "in.tess"}, "in.tess: truncated storage file"},
      {"StorageOtherVersion", script(""), {{"in.tess", withByte(storage, 8, 2)}}, {"--load", "in.tess"},
       "in.tess: storage file of format version 2; this program reads version 1"},
      {"StorageChecksumFlipped", script(""), {{"in.tess", withByte(storage, 28, static_cast<std::uint8_t>(storage[28] ^ 1))}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: its checksum does not match"},
      {"StorageRecordsFlipped", script(""), {{"in.tess", withByte(storage, 40, static_cast<std::uint8_t>(storage[40] ^ 0x10))}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: its checksum does not match"},
      {"StorageClaimsMoreRecordsThanItsFrameHolds", script(""), {{"in.tess", claimingRecords(storage, std::uint64_t{1} << 32)}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: its header gives 4294967296 bytes of records, its compressed frame"},
      {"StorageForeign", script(""), {{"in.tess", "\x89PNG\r\n\x1a\n not ours"}}, {"--load", "in.tess"},
       "in.tess: not a storage file of tessivarium-paint"},
      {"StorageOfAnotherCanvas", script(""), {{"in.tess", text(storageFile(400))}}, {"--load", "in.tess"},
       "in.tess: stored from a 400 x 256 canvas at scale 1; the script's canvas is 320 x 256 at scale 1"},
      {"StorageMissing", script(""), {}, {"--load", "in.tess"}, "in.tess: no such storage file"},
      {"StorageClaimsCompressedRecordsNear2To64", script(""), {{"in.tess", [&] {
         auto bytes = storage;
         putLittle(bytes, 20, ~std::uint64_t{0});
         return text(bytes);
       }()}},
       {"--load", "in.tess"},
       "in.tess: truncated storage file: " + std::to_string(storage.size() - 36) +
           " bytes of compressed records follow its header, which gives 18446744073709551615"},
      {"StorageHiddenFlagNeither0Nor1", script(""), {{"in.tess", reframed(storage, [](auto& records) { records.at(36) = 7; })}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: layer 0 has the hidden flag 7, not 0 or 1"},
      {"StorageHiddenFlag2", script(""), {{"in.tess", reframed(storage, [](auto& records) { records.at(36) = 2; })}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: layer 0 has the hidden flag 2, not 0 or 1"},
      // The writer always gives the frame the records' size; "unknown" in the header does not stand for it.
      {"StorageRecordsOfUnknownSize", script(""), {{"in.tess", reframed(storage, [](auto&) {}, {}, false)}}, {"--load", "in.tess"},
       "in.tess: damaged storage file: its compressed frame does not give the size of its records\n"},
      {"StorageBytesAfterItsRecords", script(""), {{"in.tess", text(storage) + "xyz"}}, {"--load", "in.tess"},
       "in.tess: damaged storage file: bytes after its records\n"},
      // A skippable frame of four bytes after the records' frame.
      {"StorageFrameAfterItsRecords", script(""), {{"in.tess", reframed(storage, [](auto&) {}, kSkippableFrame)}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: its compressed records hold more than one zstd frame"},
      // The records' frame ends where the file's chunks do: the frame after it is still unread.
      {"StorageFrameAfterA1MiBFrame", script(""), {{"in.tess", frameOf1MiB()}}, {"--load", "in.tess"},
       "in.tess: damaged storage file: its compressed records hold more than one zstd frame"},
      // Records of another size than the canvas's layers, each refused before its arrays are made.
      {"StorageRecordsOfOneCell", script(""), {{"in.tess", text(storageFile(320, 1, Cells{1, 1}))}}, {"--load", "in.tess"},
       "in.tess: damaged storage file: layer 0 holds 1 x 1 x 1 cells, not the 320 x 256 x 1 of the canvas's layers"},
      {"StorageRecordsLargerThanTheCanvas", script(""), {{"in.tess", text(storageFile(320, 1, Cells{512, 512}))}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: layer 0 holds 512 x 512 x 1 cells, not the 320 x 256 x 1"},
      {"StorageRecordsOfOneLongRow", script(""), {{"in.tess", text(storageFile(320, 1, Cells{1'048'576, 1}))}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: layer 0 holds 1048576 x 1 x 1 cells, not the 320 x 256 x 1"},
      {"StorageSecondLayerNarrower", script(""),
       {{"in.tess", reframed(storageFile(320, 2), [](auto& records) { putLittle(records, 36 + 25 + 3 * 320 * 256 * 4 + 1, 319); })}},
       {"--load", "in.tess"}, "in.tess: damaged storage file: layer 1 holds 319 x 256 x 1 cells, not the 320 x 256 x 1"},
      // Eight layers of 1.25 MB where the textures may take some 7 MB.
      {"StorageLayersBeyondTheTextureMemory", script(""), {{"in.tess", text(storageFile(320, 8))}}, {"--load", "in.tess"},
       "in.tess: its 8 layers need 10.0 MB of texture memory; the canvas's textures take ", {}, 24 << 20},
  };
}

class BadInput : public ::testing::TestWithParam<Case> {};

TEST_P(BadInput, IsRefusedWithItsPositionAndNothingIsWritten) {
  const Case& c = GetParam();
  const HostFolder folder;
  if (!c.script.empty()) folder.write("script.json", c.script);
  for (const auto& [name, contents] : c.files) folder.write(name, contents);
  if (c.makeFiles) c.makeFiles(folder);
  const auto inputs = hosttest::filesIn(folder.path());
  std::vector<std::string> args = {folder.at("script.json"), "-o", folder.at("out")};
  for (const auto& arg : c.args) args.push_back(arg.ends_with(".tess") ? folder.at(arg) : arg);

  ::testing::internal::CaptureStderr();
  const auto result = folder.run(args, c.machineMemory);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "only the program's own messages reach the terminal";
  EXPECT_EQ(result.status, 2) << result.err;
  EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  EXPECT_EQ(hosttest::filesIn(folder.path()), inputs) << "nothing is written beside the inputs";
  EXPECT_TRUE(hosttest::filesIn(folder.path() / "out").empty());
}

INSTANTIATE_TEST_SUITE_P(Host, BadInput, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace

namespace {

struct EngineErrorCase {
  std::string name;
  std::string steps;  // between the two save points
  std::string message;
  std::optional<std::uint64_t> machineMemory = std::nullopt;
  friend void PrintTo(const EngineErrorCase& c, std::ostream* out) { *out << c.name; }
};

class BadInputEngineError : public ::testing::TestWithParam<EngineErrorCase> {};

TEST_P(BadInputEngineError, StopsTheRunWithStatus1AndKeepsTheEarlierSavePoints) {
  const auto& c = GetParam();
  const HostFolder folder;
  folder.write("script.json", hosttest::script(R"({"step": "save", "name": "before"}, )" + c.steps + R"(, {"step": "save", "name": "after"})"));
  const auto result = folder.run({folder.at("script.json"), "-o", folder.at("out"), "-q"}, c.machineMemory);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  EXPECT_EQ(hosttest::filesIn(folder.path() / "out"),
            (std::set<std::string>{"before.png", "before-relief.png", "before.tess", "paint.log"}));
}

INSTANTIATE_TEST_SUITE_P(
    Host, BadInputEngineError,
    ::testing::Values(
        // No paint under the point, and the flat surface has no ground to give a colour either.
        EngineErrorCase{"ColourPickOfNothing", R"({"step": "pickColor", "x": 100, "y": 100})",
                        "steps[1] (pickColor): the pick: the engine reported NoColorSelected"},
        // Half of a machine of 24 MB for textures; each layer takes 1.25 MB.
        EngineErrorCase{"LayersBeyondTheMachinesMemory", createLayers(12),
                        "(createLayer): a new layer needs 1.2 MB of texture memory; the canvas's textures take ", 24 << 20},
        // On 26 MB the canvas has room for two layers only (8 MB for textures), and the merged
        // paint would go into a third.
        EngineErrorCase{"MergeBeyondTheMachinesMemory", createLayers(1) + R"(, {"step": "mergeLayers", "layers": [1, 0]})",
                        "(mergeLayers): a new layer needs 1.2 MB of texture memory; the canvas's textures take ", 26 << 20}),
    [](const ::testing::TestParamInfo<EngineErrorCase>& info) { return info.param.name; });

}  // namespace
