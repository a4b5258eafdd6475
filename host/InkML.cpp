#include "InkML.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <optional>
#include <sstream>
#include <string_view>

#include "HostErrors.h"

namespace painthost {
namespace {

std::string_view nameOf(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

bool isElement(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && nameOf(node) == name;
}

std::optional<std::string> attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) return std::nullopt;
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

std::string textOf(const xmlNode* node) {
  xmlChar* value = xmlNodeGetContent(node);
  if (value == nullptr) return {};
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

// Every element named `name` below `node`, in document order.
void collect(xmlNode* node, std::string_view name, std::vector<xmlNode*>& found) {
  for (xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    if (nameOf(child) == name) found.push_back(child);
    collect(child, name, found);
  }
}

std::string describe(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// A channel of the trace format and how its values are turned into sample values.
struct Channel {
  std::string name;
  double min = 0, max = 0;
  bool hasMax = false;
  double toRadians = std::numbers::pi / 180;  // angle channels; degrees unless "rad"
};

struct Format {
  std::vector<Channel> channels;
  std::optional<std::size_t> x, y, force, tiltX, tiltY, elevation, azimuth;
};

class File {
 public:
  explicit File(const std::filesystem::path& path) : path_(path) {}
  [[noreturn]] void refuse(const std::string& reason, const xmlNode* node = nullptr) const {
    std::string where = path_.string();
    if (node != nullptr) where += ":" + std::to_string(xmlGetLineNo(node));
    throw BadInput(where + ": " + reason);
  }

 private:
  std::filesystem::path path_;
};

Format formatOf(xmlNode* root, const File& file) {
  std::vector<xmlNode*> formats;
  collect(root, "traceFormat", formats);
  Format format;
  if (formats.empty()) {
    // InkML's default trace format: X and Y.
    format.channels = {Channel{"X"}, Channel{"Y"}};
  } else {
    for (xmlNode* child = formats.front()->children; child != nullptr; child = child->next) {
      if (!isElement(child, "channel")) continue;  // intermittent channels are not read
      Channel channel;
      channel.name = attribute(child, "name").value_or("");
      if (channel.name.empty()) file.refuse("a channel without a name", child);
      auto number = [&](const char* key) -> std::optional<double> {
        const auto text = attribute(child, key);
        if (!text) return std::nullopt;
        char* end = nullptr;
        const double v = std::strtod(text->c_str(), &end);
        if (end == text->c_str() || *end != '\0' || !std::isfinite(v)) {
          file.refuse("channel " + channel.name + ": " + key + "=\"" + *text + "\" is not a number", child);
        }
        return v;
      };
      channel.min = number("min").value_or(0.0);
      if (const auto max = number("max")) channel.max = *max, channel.hasMax = true;
      const std::string units = attribute(child, "units").value_or("deg");
      if (units == "rad") channel.toRadians = 1.0;
      format.channels.push_back(channel);
    }
  }
  for (std::size_t i = 0; i < format.channels.size(); ++i) {
    const std::string& name = format.channels[i].name;
    if (name == "X") format.x = i;
    if (name == "Y") format.y = i;
    if (name == "F") format.force = i;
    if (name == "OTx") format.tiltX = i;
    if (name == "OTy") format.tiltY = i;
    if (name == "OE") format.elevation = i;
    if (name == "OA") format.azimuth = i;
  }
  if (!format.x || !format.y) file.refuse("the trace format has no X and Y channels", formats.empty() ? nullptr : formats.front());
  if (format.force && format.channels[*format.force].hasMax &&
      !(format.channels[*format.force].max > format.channels[*format.force].min)) {
    file.refuse("the F channel's max is not above its min", formats.front());
  }
  return format;
}

// The values of a trace's points. Each value may carry InkML's prefixes: ! explicit, ' a first
// difference, " a second difference; a prefix holds for its channel until another is given.
std::vector<std::vector<double>> pointsOf(const std::string& text, std::size_t channels, const std::string& where,
                                          const File& file, const xmlNode* node) {
  enum class Mode { Explicit, First, Second };
  std::vector<Mode> modes(channels, Mode::Explicit);
  std::vector<double> last(channels, 0), velocity(channels, 0);
  std::vector<std::vector<double>> points;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string point = text.substr(start, end - start);
    start = end + 1;
    if (point.find_first_not_of(" \t\r\n") == std::string::npos) {
      if (end == text.size()) break;
      file.refuse(where + ", point " + std::to_string(points.size() + 1) + ": an empty point", node);
    }
    const std::string at = where + ", point " + std::to_string(points.size() + 1);
    std::vector<double> values;
    const char* c = point.c_str();
    while (true) {
      while (*c == ' ' || *c == '\t' || *c == '\r' || *c == '\n') ++c;
      if (*c == '\0') break;
      if (values.size() == channels) file.refuse(at + ": more values than the " + std::to_string(channels) + " channels", node);
      const std::size_t i = values.size();
      if (*c == '!' || *c == '\'' || *c == '"') {
        modes[i] = *c == '!' ? Mode::Explicit : *c == '\'' ? Mode::First : Mode::Second;
        ++c;
      }
      char* after = nullptr;
      const double n = std::strtod(c, &after);
      if (after == c || !std::isfinite(n)) file.refuse(at + ": \"" + std::string(c).substr(0, 12) + "\" is not a number", node);
      c = after;
      double value = n;
      if (points.empty() || modes[i] == Mode::Explicit) {
        velocity[i] = points.empty() ? 0 : n - last[i];
      } else if (modes[i] == Mode::First) {
        velocity[i] = n;
        value = last[i] + n;
      } else {
        velocity[i] += n;
        value = last[i] + velocity[i];
      }
      if (!std::isfinite(value)) file.refuse(at + ": its differences add up beyond any number", node);
      last[i] = value;
      values.push_back(value);
    }
    if (values.size() != channels) {
      file.refuse(at + ": " + std::to_string(values.size()) + " values for " + std::to_string(channels) + " channels", node);
    }
    points.push_back(std::move(values));
  }
  return points;
}

Sample sampleOf(const std::vector<double>& p, const Format& format, const std::string& at, const File& file,
                const xmlNode* node) {
  Sample sample;
  sample.x = p[*format.x];
  sample.y = p[*format.y];
  if (format.force) {
    const Channel& f = format.channels[*format.force];
    const double raw = p[*format.force];
    sample.force = f.hasMax ? (raw - f.min) / (f.max - f.min) : raw;
    if (!(sample.force >= 0 && sample.force <= 1)) {
      file.refuse(at + ": force " + describe(raw) +
                      (f.hasMax ? " lies outside the F channel's min and max" : " is not 0 to 1 and the F channel gives no max"),
                  node);
    }
  }
  if (format.elevation) {
    sample.altitude = p[*format.elevation] * format.channels[*format.elevation].toRadians;
    if (!(sample.altitude >= 0 && sample.altitude <= std::numbers::pi / 2 + 1e-9)) {
      file.refuse(at + ": elevation " + describe(p[*format.elevation]) + " is not 0 to 90 degrees", node);
    }
    sample.altitude = std::min(sample.altitude, std::numbers::pi / 2);
  } else if (format.tiltX || format.tiltY) {
    // Tilt along x and y: the pen leans by both at once; upright is no tilt.
    auto tangent = [&](const std::optional<std::size_t>& channel) {
      if (!channel) return 0.0;
      const double angle = p[*channel] * format.channels[*channel].toRadians;
      if (!(std::abs(angle) < std::numbers::pi / 2)) file.refuse(at + ": tilt " + describe(p[*channel]) + " is not below 90 degrees", node);
      return std::tan(angle);
    };
    const double tx = tangent(format.tiltX), ty = tangent(format.tiltY);
    sample.altitude = std::atan2(1.0, std::hypot(tx, ty));
    sample.azimuth = (tx == 0 && ty == 0) ? 0.0 : std::atan2(ty, tx);
  }
  if (format.azimuth) sample.azimuth = p[*format.azimuth] * format.channels[*format.azimuth].toRadians;
  if (!(std::abs(sample.azimuth) <= 2 * std::numbers::pi)) file.refuse(at + ": azimuth " + describe(sample.azimuth) + " radians is out of range", node);
  return sample;
}

struct XmlDocument {
  void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

}  // namespace

std::vector<std::vector<Sample>> readInkML(const std::filesystem::path& path, const CanvasSettings& canvas,
                                           const InkOptions& options) {
  const File file(path);
  // No network, no entity expansion: a pen file is data.
  std::unique_ptr<xmlDoc, XmlDocument> document(
      xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!document) {
    const xmlError* error = xmlGetLastError();
    std::string reason = error != nullptr && error->message != nullptr ? error->message : "unreadable";
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
    throw BadInput(path.string() + (error != nullptr && error->line > 0 ? ":" + std::to_string(error->line) : "") +
                   ": not well-formed XML: " + reason);
  }
  xmlNode* root = xmlDocGetRootElement(document.get());
  if (root == nullptr || nameOf(root) != "ink") file.refuse("not an InkML file (its root element is not <ink>)", root);
  const Format format = formatOf(root, file);

  std::vector<xmlNode*> traces;
  collect(root, "trace", traces);
  if (traces.empty()) file.refuse("no <trace> in the file");
  std::vector<std::vector<Sample>> strokes;
  for (std::size_t t = 0; t < traces.size(); ++t) {
    const std::string where = "trace " + std::to_string(t + 1);
    const auto points = pointsOf(textOf(traces[t]), format.channels.size(), where, file, traces[t]);
    if (points.size() < 2) file.refuse(where + ": fewer than 2 points", traces[t]);
    std::vector<Sample> stroke;
    for (std::size_t i = 0; i < points.size(); ++i) {
      stroke.push_back(sampleOf(points[i], format, where + ", point " + std::to_string(i + 1), file, traces[t]));
    }
    strokes.push_back(std::move(stroke));
  }

  const double right = static_cast<double>(canvas.width - 1), bottom = static_cast<double>(canvas.height - 1);
  if (options.fit) {
    double minX = strokes[0][0].x, maxX = minX, minY = strokes[0][0].y, maxY = minY;
    for (const auto& stroke : strokes) {
      for (const auto& s : stroke) {
        minX = std::min(minX, s.x), maxX = std::max(maxX, s.x);
        minY = std::min(minY, s.y), maxY = std::max(maxY, s.y);
      }
    }
    const double margin = static_cast<double>(std::min(canvas.width, canvas.height)) / 20;
    const double spanX = maxX - minX, spanY = maxY - minY;
    // Each value is finite, but two far apart can span more than a number holds.
    if (!std::isfinite(spanX) || !std::isfinite(spanY)) file.refuse("the traces span too far to be fitted into the canvas");
    double scale = 1;
    if (spanX > 0 || spanY > 0) {
      scale = std::min(spanX > 0 ? (right - 2 * margin) / spanX : HUGE_VAL, spanY > 0 ? (bottom - 2 * margin) / spanY : HUGE_VAL);
    }
    const double offsetX = (right - spanX * scale) / 2, offsetY = (bottom - spanY * scale) / 2;
    for (auto& stroke : strokes) {
      for (auto& s : stroke) {
        s.x = std::clamp(offsetX + (s.x - minX) * scale, 0.0, right);
        s.y = std::clamp(offsetY + (s.y - minY) * scale, 0.0, bottom);
      }
    }
  } else {
    for (std::size_t t = 0; t < strokes.size(); ++t) {
      for (std::size_t i = 0; i < strokes[t].size(); ++i) {
        const Sample& s = strokes[t][i];
        if (!(s.x >= 0 && s.x <= right && s.y >= 0 && s.y <= bottom)) {
          file.refuse("trace " + std::to_string(t + 1) + ", point " + std::to_string(i + 1) + ": (" + describe(s.x) + ", " +
                          describe(s.y) + ") lies outside the " + std::to_string(canvas.width) + " x " +
                          std::to_string(canvas.height) + " canvas (\"fit\": true scales the traces into it)",
                      traces[t]);
        }
      }
    }
  }
  return strokes;
}

}  // namespace painthost
