#include "Script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iomanip>
#include <iterator>
#include <limits>
#include <map>
#include <numbers>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "HostErrors.h"
#include "InkML.h"
#include "Printable.h"
#include "SavePoint.h"
#include "Surface.h"
#include "ToolNames.h"
#include "graphics/Image.h"
#include "graphics/PNGFile.h"

namespace painthost {
namespace {

using nlohmann::json;

// A number as the script gives it: the fewest digits that read back as the same number.
std::string describe(double value) {
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
  return std::string(text.data(), end);
}

// The limits that `value` was refused against, "(least to most)", with as many digits as it takes
// for the value to lie outside them as they read, six at least: 1.5707964 lies outside -1.570796 to
// 1.570796, not -1.5708 to 1.5708.
std::string describeRange(double value, double least, double most) {
  std::ostringstream low, high;
  for (int digits = 6;; ++digits) {
    low.str(""), high.str("");
    low << std::setprecision(digits) << least;
    high << std::setprecision(digits) << most;
    const double shownLeast = std::strtod(low.str().c_str(), nullptr), shownMost = std::strtod(high.str().c_str(), nullptr);
    if (!(value >= shownLeast && value <= shownMost) || digits == std::numeric_limits<double>::max_digits10) break;
  }
  return "(" + low.str() + " to " + high.str() + ")";
}

// A value of the script with its position, for messages ("steps[3].samples[2].force").
class Node {
 public:
  Node(const json& value, std::string path, const std::string& file) : value_(value), path_(std::move(path)), file_(file) {}

  const std::string& path() const { return path_; }
  const json& value() const { return value_; }

  [[noreturn]] void refuse(const std::string& reason) const {
    throw BadInput(file_ + ": " + (path_.empty() ? "" : path_ + ": ") + reason);
  }

  bool has(const char* key) const { return value_.contains(key); }
  Node operator[](const char* key) const {
    if (!value_.contains(key)) refuse(std::string("the field \"") + key + "\" is missing");
    return child(key);
  }
  std::optional<Node> optional(const char* key) const {
    if (!value_.contains(key)) return std::nullopt;
    return child(key);
  }
  Node at(std::size_t i) const { return Node(value_[i], path_ + "[" + std::to_string(i) + "]", file_); }

  void requireObject(std::initializer_list<const char*> allowed) const {
    if (!value_.is_object()) refuse("an object is expected");
    for (const auto& [key, v] : value_.items()) {
      if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return key == a; })) {
        Node(v, path_.empty() ? key : path_ + "." + key, file_).refuse("unknown field");
      }
    }
  }
  std::size_t arraySize(std::size_t least) const {
    if (!value_.is_array()) refuse("an array is expected");
    if (value_.size() < least) refuse("at least " + std::to_string(least) + " entries are expected");
    return value_.size();
  }
  double number(double least, double most) const {
    if (!value_.is_number()) refuse("a number is expected");
    const double v = value_.get<double>();
    if (!(v >= least && v <= most)) {
      refuse(describe(v) + " is out of range " + describeRange(v, least, most));
    }
    return v;
  }
  std::int64_t integer(std::int64_t least, std::int64_t most) const {
    if (!value_.is_number_integer()) refuse("a whole number is expected");
    const auto outOfRange = [&](const std::string& written) {
      refuse(written + " is out of range (" + std::to_string(least) + " to " + std::to_string(most) + ")");
    };
    // The reader holds a whole number from 2^63 up unsigned.
    if (value_.is_number_unsigned() && value_.get<std::uint64_t>() > std::uint64_t{std::numeric_limits<std::int64_t>::max()}) {
      outOfRange(std::to_string(value_.get<std::uint64_t>()));
    }
    const auto v = value_.get<std::int64_t>();
    if (v < least || v > most) outOfRange(std::to_string(v));
    return v;
  }
  std::string string() const {
    if (!value_.is_string()) refuse("a string is expected");
    return value_.get<std::string>();
  }
  bool boolean() const {
    if (!value_.is_boolean()) refuse("true or false is expected");
    return value_.get<bool>();
  }

 private:
  Node child(const char* key) const { return Node(value_[key], path_.empty() ? key : path_ + "." + key, file_); }

  const json& value_;
  std::string path_;
  const std::string& file_;
};

constexpr std::int64_t kLargestSide = 4096;
constexpr std::int64_t kSmallestSide = 256;  // a tool's working region must fit
constexpr double kLargestScale = 2.0;
// A picture is imported at one pixel per cell.
constexpr auto kLargestPictureSide = static_cast<std::uint32_t>(kLargestSide * kLargestScale);
constexpr std::int64_t kMostSamplesPerFrame = 1000;

Rgba colorOf(const Node& node) {
  const std::string text = node.string();
  static const std::regex hex("#([0-9a-fA-F]{6}|[0-9a-fA-F]{8})");
  if (!std::regex_match(text, hex)) node.refuse("\"" + text + "\" is not a colour (#rrggbb or #rrggbbaa)");
  Rgba rgba{0, 0, 0, 1};
  for (std::size_t i = 0; i * 2 + 1 < text.size(); ++i) {
    rgba[i] = std::stoi(text.substr(1 + i * 2, 2), nullptr, 16) / 255.0;
  }
  return rgba;
}

CanvasSettings canvasOf(const Node& node) {
  node.requireObject({"width", "height", "surface", "scale", "background"});
  CanvasSettings canvas;
  canvas.width = node["width"].integer(kSmallestSide, kLargestSide);
  canvas.height = node["height"].integer(kSmallestSide, kLargestSide);
  if (auto surface = node.optional("surface")) {
    canvas.surface = surface->string();
    const auto& all = tessivarium::AllSurfaces();
    if (std::none_of(all.begin(), all.end(), [&](const auto& s) { return s->name() == canvas.surface; })) {
      std::string names;
      for (const auto& s : all) names += (names.empty() ? "" : ", ") + s->name();
      surface->refuse("unknown surface \"" + canvas.surface + "\" (one of: " + names + ")");
    }
  }
  if (auto scale = node.optional("scale")) canvas.scale = scale->number(1.0, kLargestScale);
  if (auto background = node.optional("background")) canvas.background = colorOf(*background);
  return canvas;
}

// A coordinate on the canvas: from 0 up to, but not including, the side (the last point's cells
// run up to the side).
double onCanvas(const Node& node, std::int64_t side, const CanvasSettings& canvas) {
  const double v = node.number(-HUGE_VAL, HUGE_VAL);
  if (!(v >= 0 && v < static_cast<double>(side))) {
    node.refuse(describe(v) + " lies outside the " + std::to_string(canvas.width) + " x " + std::to_string(canvas.height) +
                " canvas");
  }
  return v;
}

Sample sampleOf(const Node& node, const CanvasSettings& canvas) {
  node.requireObject({"x", "y", "force", "altitude", "azimuth"});
  Sample sample;
  // A sample must lie on the canvas: the tools' working windows are placed around it.
  sample.x = onCanvas(node["x"], canvas.width, canvas);
  sample.y = onCanvas(node["y"], canvas.height, canvas);
  if (auto force = node.optional("force")) sample.force = force->number(0, 1);
  if (auto altitude = node.optional("altitude")) sample.altitude = altitude->number(0, std::numbers::pi / 2);
  if (auto azimuth = node.optional("azimuth")) sample.azimuth = azimuth->number(-2 * std::numbers::pi, 2 * std::numbers::pi);
  return sample;
}

std::filesystem::path existingFile(const Node& node, const std::filesystem::path& folder) {
  const std::string name = node.string();
  // A NUL would end the name where the file system reads it: "sw.png\u0000.txt" would open sw.png.
  if (holdsControlCharacter(name)) node.refuse("the file name \"" + name + "\" holds a control character");
  const std::filesystem::path file = folder / name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) node.refuse("no such file: " + file.string());
  return file;
}

Strokes strokesOf(const Node& node, const CanvasSettings& canvas, const std::filesystem::path& folder) {
  Strokes strokes;
  if (auto perFrame = node.optional("samplesPerFrame")) strokes.samplesPerFrame = perFrame->integer(1, kMostSamplesPerFrame);
  if (node.has("samples") == node.has("inkml")) node.refuse("a stroke takes either \"samples\" or \"inkml\"");
  if (auto samples = node.optional("samples")) {
    // Two samples at least: one touches down, the last lifts the stylus.
    const std::size_t n = samples->arraySize(2);
    std::vector<Sample> stroke;
    for (std::size_t i = 0; i < n; ++i) stroke.push_back(sampleOf(samples->at(i), canvas));
    strokes.strokes.push_back(std::move(stroke));
    return strokes;
  }
  const Node inkml = node["inkml"];
  InkOptions options;
  if (auto fit = node.optional("fit")) options.fit = fit->boolean();
  strokes.strokes = readInkML(existingFile(inkml, folder), canvas, options);
  return strokes;
}

LayerRef layerOf(const Node& step) {
  if (auto layer = step.optional("layer")) return layer->integer(0, 1000);
  return std::nullopt;
}

// What the steps before a step leave that the step is checked against.
struct Reading {
  std::map<std::string, std::string> saveFiles;  // the files of the save points so far, and whose
  std::string tool = kStartingTool;  // the current tool
};

// A tool step's settings, each refused for a tool that does not have it.
ChooseTool toolOf(const Node& step) {
  step.requireObject({"step", "tool", "wet", "rotation", "autoClean", "autoReset"});
  const Node name = step["tool"];
  ChooseTool choice;
  choice.tool = name.string();
  const std::string& tool = choice.tool;
  if (!isToolName(tool)) name.refuse("unknown tool \"" + tool + "\" (one of: " + joinedToolNames() + ")");
  const ToolAbilities abilities = abilitiesOf(tool);
  auto flag = [&](const char* key, bool ToolAbilities::*ability, const char* lacking, const char* having) {
    std::optional<bool> value;
    if (auto node = step.optional(key)) {
      value = node->boolean();
      if (!(abilities.*ability)) {
        node->refuse("the " + tool + " " + lacking + " (the tools that " + having + ": " + toolsThat(ability) + ")");
      }
    }
    return value;
  };
  choice.wet = flag("wet", &ToolAbilities::wetDrawing, "does not offer wet drawing", "do");
  choice.autoClean = flag("autoClean", &ToolAbilities::clean, "cannot be cleaned", "can");
  choice.autoReset = flag("autoReset", &ToolAbilities::reset, "cannot be reset", "can");
  if (auto rotation = step.optional("rotation")) {
    const double angle = rotation->number(-HUGE_VAL, HUGE_VAL);
    if (!abilities.dial) {
      rotation->refuse("the " + tool + " does not take the dial (the tools that do: " + toolsWithTheDial() + ")");
    }
    if (!(angle >= abilities.dial->least && angle <= abilities.dial->most)) {
      rotation->refuse(describe(angle) + " radians is outside the " + tool + "'s dial " +
                       describeRange(angle, abilities.dial->least, abilities.dial->most));
    }
    choice.rotation = angle;
  }
  return choice;
}

Action actionOf(const Node& step, const std::string& kind, const CanvasSettings& canvas, const std::filesystem::path& folder,
                Reading& reading) {
  if (kind == "tool") {
    ChooseTool choice = toolOf(step);
    reading.tool = choice.tool;
    return choice;
  }
  if (kind == "clean") {
    step.requireObject({"step"});
    if (!abilitiesOf(reading.tool).clean) {
      step.refuse("the current tool, the " + reading.tool + ", cannot be cleaned (the tools that can: " +
                  toolsThat(&ToolAbilities::clean) + ")");
    }
    return CleanTool{};
  }
  if (kind == "color") {
    step.requireObject({"step", "color", "wetness"});
    if (!abilitiesOf(reading.tool).fill) {
      step.refuse("the current tool, the " + reading.tool + ", takes no colour (the tools that do: " +
                  toolsThat(&ToolAbilities::fill) + ")");
    }
    FillColor fill{colorOf(step["color"]), std::nullopt};
    if (auto wetness = step.optional("wetness")) fill.wetness = wetness->number(0, 1);
    return fill;
  }
  if (kind == "stroke") {
    step.requireObject({"step", "samples", "inkml", "fit", "samplesPerFrame"});
    return strokesOf(step, canvas, folder);
  }
  if (kind == "undo" || kind == "redo" || kind == "createLayer") {
    step.requireObject({"step"});
    if (kind == "undo") return Undo{};
    if (kind == "redo") return Redo{};
    return CreateLayer{};
  }
  if (kind == "deleteLayer" || kind == "dryLayer" || kind == "hideLayer" || kind == "showLayer") {
    step.requireObject({"step", "layer"});
    if (kind == "deleteLayer") return DeleteLayer{layerOf(step)};
    if (kind == "dryLayer") return DryLayer{layerOf(step)};
    return HideLayer{layerOf(step), kind == "hideLayer"};
  }
  if (kind == "selectLayer") {
    step.requireObject({"step", "layer"});
    return SelectLayer{step["layer"].integer(0, 1000)};
  }
  if (kind == "moveLayer") {
    step.requireObject({"step", "layer", "direction"});
    const Node direction = step["direction"];
    const std::string towards = direction.string();
    if (towards != "front" && towards != "back") direction.refuse("\"front\" or \"back\" is expected");
    return MoveLayer{layerOf(step), towards == "front"};
  }
  if (kind == "mergeLayers") {
    step.requireObject({"step", "layers"});
    const Node layers = step["layers"];
    MergeLayers merge;
    for (std::size_t i = 0, n = layers.arraySize(2); i < n; ++i) {
      const auto layer = layers.at(i).integer(0, 1000);
      if (std::find(merge.layers.begin(), merge.layers.end(), layer) != merge.layers.end()) {
        layers.at(i).refuse("layer " + std::to_string(layer) + " is named twice");
      }
      merge.layers.push_back(layer);
    }
    return merge;
  }
  if (kind == "wetLayer") {
    step.requireObject({"step", "layer", "wetness", "thickness"});
    WetLayer wet{layerOf(step)};
    if (auto wetness = step.optional("wetness")) wet.wetness = wetness->number(0, 1);
    if (auto thickness = step.optional("thickness")) wet.thickness = thickness->number(0, 1);
    return wet;
  }
  if (kind == "importImage") {
    step.requireObject({"step", "file", "x", "y", "thickness", "wet"});
    const Node file = step["file"];
    ImportImage import;
    import.file = existingFile(file, folder);
    // The header's size first: a picture no canvas holds is not decoded at all.
    const auto size = graphics::readPNGSize(import.file);
    if (!size) file.refuse("not a PNG picture: " + import.file.string());
    if (size->width > kLargestPictureSide || size->height > kLargestPictureSide) {
      file.refuse(import.file.string() + " is " + std::to_string(size->width) + " x " + std::to_string(size->height) +
                  " pixels; no canvas holds a side beyond " + std::to_string(kLargestPictureSide) + " cells (" +
                  std::to_string(kLargestSide) + " points at scale " + describe(kLargestScale) + ")");
    }
    if (!graphics::Image::fromFile(import.file)) file.refuse("not a PNG picture: " + import.file.string());
    import.x = onCanvas(step["x"], canvas.width, canvas);
    import.y = onCanvas(step["y"], canvas.height, canvas);
    if (auto thickness = step.optional("thickness")) import.thickness = thickness->number(0, 1);
    if (auto wet = step.optional("wet")) import.wet = wet->boolean();
    return import;
  }
  if (kind == "pickColor" || kind == "pickPattern") {
    step.requireObject({"step", "x", "y"});
    const double x = onCanvas(step["x"], canvas.width, canvas), y = onCanvas(step["y"], canvas.height, canvas);
    if (kind == "pickColor") return PickColor{x, y};
    return PickPattern{x, y};
  }
  if (kind == "save") {
    step.requireObject({"step", "name"});
    const Node nameNode = step["name"];
    const std::string name = nameNode.string();
    static const std::regex allowed("[A-Za-z0-9_-]{1,64}");
    if (!std::regex_match(name, allowed)) nameNode.refuse("a save name is 1 to 64 letters, digits, '-' or '_'");
    for (const auto& file : savePointFileNames(name)) {
      const auto [earlier, added] = reading.saveFiles.emplace(file, name);
      if (added) continue;
      if (earlier->second == name) nameNode.refuse("a second save point named \"" + name + "\" would overwrite the first");
      nameNode.refuse("the save point \"" + name + "\" would write " + file + " over the save point \"" + earlier->second + "\"'s");
    }
    return Save{name};
  }
  step["step"].refuse("unknown step \"" + kind + "\"");
}

// The script's text handed to the JSON reader a character at a time, counting the characters it
// has read: where the reader is when it hands over a key or a number.
class CountingReader {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CountingReader(const char* at, std::size_t* read) : at_(at), read_(read) {}
  reference operator*() const { return *at_; }
  CountingReader& operator++() {
    ++at_, ++*read_;
    return *this;
  }
  CountingReader operator++(int) {
    CountingReader before = *this;
    ++*this;
    return before;
  }
  bool operator==(const CountingReader& other) const { return at_ == other.at_; }

 private:
  const char* at_;
  std::size_t* read_;
};

// A fault of the script's text: the characters up to and including the one it lies at, and why.
struct TextFault {
  std::size_t position = 0;
  std::string reason;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A number written without a point or an exponent.
bool isWholeNumber(const std::string& written) {
  const std::string_view digits = std::string_view(written).substr(written.starts_with('-') ? 1 : 0);
  return !digits.empty() && std::all_of(digits.begin(), digits.end(), isDigit);
}

// The JSON reader's values put together into the document, refusing what the reader lets through:
// a key given twice in an object (the reader would keep the last), and a whole number too large for
// 64 bits (which it would read as a fraction).
class DocumentBuilder {
 public:
  DocumentBuilder(json& root, const std::string& text, const std::size_t& read) : root_(root), text_(text), read_(read) {}

  const std::optional<TextFault>& fault() const { return fault_; }

  bool null() { return add(nullptr); }
  bool boolean(bool v) { return add(v); }
  bool number_integer(json::number_integer_t v) { return add(v); }
  bool number_unsigned(json::number_unsigned_t v) { return add(v); }
  bool number_float(json::number_float_t v, const json::string_t& written) {
    if (isWholeNumber(written)) {
      // The reader has read the character after the number, unless the text ends with the number.
      const bool readOn = !isDigit(text_[read_ - 1]);
      return stop(readOn ? read_ - 1 : read_, "the number " + written + " is too large to hold");
    }
    return add(v);
  }
  bool string(json::string_t& v) { return add(std::move(v)); }
  bool binary(json::binary_t&) { return false; }  // JSON text holds none
  bool start_object(std::size_t) {
    open_.push_back(place(json::object()));
    return true;
  }
  bool key(json::string_t& name) {
    json& object = *open_.back();
    if (object.contains(name)) {
      // The reader has read up to the key's closing quote: its opening one is the first before it
      // that is not escaped, by an odd number of backslashes.
      const auto backslashesBefore = [&](std::size_t at) { return at - 1 - text_.find_last_not_of('\\', at - 1); };
      std::size_t quote = read_ - 1;
      do {
        quote = text_.rfind('"', quote - 1);
      } while (backslashesBefore(quote) % 2 == 1);
      return stop(quote + 1, "the field \"" + name + "\" is given twice");
    }
    member_ = &object[name];
    return true;
  }
  bool end_object() {
    open_.pop_back();
    return true;
  }
  bool start_array(std::size_t) {
    open_.push_back(place(json::array()));
    return true;
  }
  bool end_array() {
    open_.pop_back();
    return true;
  }
  bool parse_error(std::size_t position, const std::string& token, const json::exception& e) {
    // 406: a number beyond a double's range, which the reader reads as out of range, not as a fault
    // of the syntax.
    if (e.id == 406) return stop(position, "the number " + token + " is too large to hold");
    // The reader's own text: "[json.exception.parse_error.101] parse error at line 1, column 27:
    // syntax error while parsing object - ..."; its prefix and its place say nothing more.
    std::string reason = e.what();
    if (const auto end = reason.find(": "); end != std::string::npos) reason = reason.substr(end + 2);
    return stop(position, "not valid JSON: " + reason);
  }

 private:
  // The value in the array or at the key it belongs to.
  json* place(json value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    json& container = *open_.back();
    if (container.is_array()) {
      container.push_back(std::move(value));
      return &container.back();
    }
    *member_ = std::move(value);
    return member_;
  }
  bool add(json value) {
    place(std::move(value));
    return true;
  }
  bool stop(std::size_t position, std::string reason) {
    fault_ = TextFault{position, std::move(reason)};
    return false;
  }

  json& root_;
  const std::string& text_;
  const std::size_t& read_;
  std::vector<json*> open_;  // the objects and arrays being read, the innermost last
  json* member_ = nullptr;   // where the value of the key just read goes
  std::optional<TextFault> fault_;
};

// The line and column of a fault in the text, "script.json:3:5: ".
std::string placeOf(const std::string& text, std::size_t position, const std::string& name) {
  const std::string_view before = std::string_view(text).substr(0, std::min(position, text.size()));
  const auto line = 1 + std::count(before.begin(), before.end(), '\n');
  const auto lastBreak = before.rfind('\n');
  const auto column = lastBreak == std::string_view::npos ? before.size() : before.size() - lastBreak - 1;
  return name + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

// The script's text read as one JSON value, with nothing but white space after it; a fault is
// refused with its line and column.
json documentOf(const std::string& text, const std::string& name) {
  // The reader would take a NUL for the end of the text and leave what follows it unread.
  if (const auto nul = text.find('\0'); nul != std::string::npos) {
    throw BadInput(placeOf(text, nul + 1, name) + "not valid JSON: a NUL byte");
  }
  json document;
  std::size_t read = 0;
  DocumentBuilder builder(document, text, read);
  json::sax_parse(CountingReader(text.data(), &read), CountingReader(text.data() + text.size(), &read), &builder);
  if (const auto& fault = builder.fault()) throw BadInput(placeOf(text, fault->position, name) + fault->reason);
  return document;
}

}  // namespace

Script parseScript(const std::string& text, const std::filesystem::path& folder, const std::string& name) {
  const json document = documentOf(text, name);
  const Node root(document, "", name);
  root.requireObject({"canvas", "steps"});
  Script script;
  script.canvas = canvasOf(root["canvas"]);
  const Node steps = root["steps"];
  Reading reading;
  for (std::size_t i = 0, n = steps.arraySize(0); i < n; ++i) {
    const Node step = steps.at(i);
    if (!step.value().is_object()) step.refuse("an object is expected");
    const std::string kind = step["step"].string();
    script.steps.push_back(Step{step.path(), kind, actionOf(step, kind, script.canvas, folder, reading)});
  }
  return script;
}

Script readScript(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) throw BadInput(file.string() + ": no such script file");
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) throw BadInput(file.string() + ": cannot be read");
  return parseScript(text.str(), file.parent_path(), file.string());
}

std::int64_t sampleCount(const Script& script) {
  std::int64_t samples = 0;
  for (const Step& step : script.steps) {
    if (const auto* strokes = std::get_if<Strokes>(&step.action)) {
      for (const auto& stroke : strokes->strokes) samples += static_cast<std::int64_t>(stroke.size());
    }
  }
  return samples;
}

}  // namespace painthost
