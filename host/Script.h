#pragma once
// A painting script as the painter plays it: the canvas, then the steps in order. Reading it
// (readScript) checks every value, so that playing it can only fail inside the engine; each step
// keeps its position in the script ("steps[4]") for the messages of that failure.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace painthost {

// One stylus sample in canvas points. Force is a fraction of the stylus's largest force; the
// altitude is the angle above the canvas (pi/2 upright), the azimuth the angle in its plane, both
// in radians.
struct Sample {
  double x = 0, y = 0;
  double force = 0.5;
  double altitude = 1.0471975511965976;  // pi/3
  double azimuth = 0.0;
};

// Red, green, blue, alpha, each 0 to 1.
using Rgba = std::array<double, 4>;

struct CanvasSettings {
  std::int64_t width = 1024, height = 768;
  std::string surface = "Flat";  // a surface's name, as the surface table spells it
  double scale = 1.0;            // data cells per picture pixel
  Rgba background{1, 1, 1, 1};
};

// Layer steps name a layer by its position in the stack, 0 the back-most; none: the current one.
using LayerRef = std::optional<std::int64_t>;

// A tool made current, with the settings the step gives it (none: the tool keeps its own).
struct ChooseTool {
  std::string tool;
  std::optional<bool> wet, autoClean, autoReset;
  std::optional<double> rotation;  // radians, within the tool's dial range
};
struct CleanTool {};
struct FillColor { Rgba color; std::optional<double> wetness; };
// One or more strokes (an InkML file gives one per trace), each played touch-down to touch-up.
struct Strokes { std::vector<std::vector<Sample>> strokes; std::int64_t samplesPerFrame = 4; };
struct Undo {};
struct Redo {};
struct CreateLayer {};
struct DeleteLayer { LayerRef layer; };
struct SelectLayer { std::int64_t layer = 0; };
struct MoveLayer { LayerRef layer; bool towardsFront = true; };
struct MergeLayers { std::vector<std::int64_t> layers; };
struct HideLayer { LayerRef layer; bool hidden = true; };
struct DryLayer { LayerRef layer; };
struct WetLayer { LayerRef layer; double wetness = 0.5, thickness = 0.0; };
struct ImportImage { std::filesystem::path file; double x = 0, y = 0; std::optional<double> thickness; bool wet = false; };
struct PickColor { double x = 0, y = 0; };
struct PickPattern { double x = 0, y = 0; };
struct Save { std::string name; };

using Action = std::variant<ChooseTool, CleanTool, FillColor, Strokes, Undo, Redo, CreateLayer, DeleteLayer, SelectLayer,
                            MoveLayer, MergeLayers, HideLayer, DryLayer, WetLayer, ImportImage, PickColor,
                            PickPattern, Save>;

struct Step {
  std::string where;  // "steps[4]"
  std::string kind;   // the script's name of the step ("stroke")
  Action action;
};

struct Script {
  CanvasSettings canvas;
  std::vector<Step> steps;
};

// Reads and checks the script; relative file names in it are taken from the script's folder.
// Throws BadInput naming the file and the position of the first fault.
Script readScript(const std::filesystem::path& file);
// The same for script text; `folder` resolves its file names, `name` stands for it in messages.
Script parseScript(const std::string& text, const std::filesystem::path& folder, const std::string& name);

// The samples of every stroke step, for progress.
std::int64_t sampleCount(const Script& script);

}  // namespace painthost
