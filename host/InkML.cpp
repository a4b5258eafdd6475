#include "InkML.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
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

// A channel of the trace format. Its values, and its min and max, count in steps of 1 / resolution
// of its unit (the resolution's unit, "1/deg" giving degrees, or else the channel's units).
struct Channel {
  std::string name;
  double min = 0, max = 0;
  bool hasMax = false;
  double resolution = 1;
  std::string unit{};
};

struct Format {
  std::vector<Channel> channels;
  std::optional<std::size_t> x, y, force, tiltX, tiltY, elevation, azimuth;
  double xToPoints = 1, yToPoints = 1;  // the position channels' values to canvas points
  double toRadians[4] = {};             // OTx, OTy, OE, OA
};

// Canvas points per unit of length: a point is the typographic point, 1/72 inch. Device units, or
// none, are taken as canvas points.
std::optional<double> pointsPer(const std::string& unit) {
  static const std::vector<std::pair<std::string, double>> units = {
      {"", 1},           {"dev", 1},          {"pt", 1},           {"pc", 12},          {"in", 72},
      {"cm", 72 / 2.54}, {"mm", 72 / 25.4}, {"m", 7200 / 2.54}, {"himetric", 72 / 2540.0}};
  for (const auto& [name, points] : units) {
    if (name == unit) return points;
  }
  return std::nullopt;
}

// Radians per unit of angle; degrees without a unit.
std::optional<double> radiansPer(const std::string& unit) {
  if (unit.empty() || unit == "deg") return std::numbers::pi / 180;
  if (unit == "rad") return 1.0;
  return std::nullopt;
}

class File {
 public:
  explicit File(const std::filesystem::path& path) : path_(path) {}
  [[noreturn]] void refuse(const std::string& reason, const xmlNode* node = nullptr) const {
    refuseAt(reason, node != nullptr ? xmlGetLineNo(node) : 0);
  }
  // The same at a line of the file (none when not above 0).
  [[noreturn]] void refuseAt(const std::string& reason, long line) const {
    throw BadInput(path_.string() + (line > 0 ? ":" + std::to_string(line) : "") + ": " + reason);
  }

 private:
  std::filesystem::path path_;
};

double numberAttribute(const xmlNode* node, const char* key, const std::string& owner, const File& file, double fallback) {
  const auto text = attribute(node, key);
  if (!text) return fallback;
  char* end = nullptr;
  const double v = std::strtod(text->c_str(), &end);
  if (end == text->c_str() || *end != '\0' || !std::isfinite(v)) {
    file.refuse(owner + ": " + key + "=\"" + *text + "\" is not a number", node);
  }
  return v;
}

// The resolutions the file gives its channels: <channelProperty channel="OTx" name="resolution"
// value="100" units="1/deg"/>, the first one for each channel.
void applyResolutions(xmlNode* root, Format& format, const File& file) {
  std::vector<xmlNode*> properties;
  collect(root, "channelProperty", properties);
  std::vector<bool> given(format.channels.size(), false);
  for (xmlNode* property : properties) {
    if (attribute(property, "name").value_or("") != "resolution") continue;
    const std::string name = attribute(property, "channel").value_or("");
    const auto channel =
        std::find_if(format.channels.begin(), format.channels.end(), [&](const Channel& c) { return c.name == name; });
    if (channel == format.channels.end()) continue;
    const auto index = static_cast<std::size_t>(channel - format.channels.begin());
    if (given[index]) continue;
    given[index] = true;
    const std::string owner = "the resolution of channel " + name;
    channel->resolution = numberAttribute(property, "value", owner, file, 1);
    if (!(channel->resolution > 0)) file.refuse(owner + " is not above 0", property);
    if (const auto units = attribute(property, "units")) {
      if (!units->starts_with("1/")) file.refuse(owner + ": units=\"" + *units + "\" is not 1/<unit>", property);
      channel->unit = units->substr(2);
    }
  }
}

// The channels of the first trace format in the file (InkML's default, X and Y, without one).
std::vector<Channel> channelsOf(const xmlNode* format, const File& file) {
  if (format == nullptr) return {Channel{"X"}, Channel{"Y"}};
  std::vector<Channel> channels;
  for (const xmlNode* child = format->children; child != nullptr; child = child->next) {
    if (!isElement(child, "channel")) continue;  // intermittent channels are not read
    Channel channel;
    channel.name = attribute(child, "name").value_or("");
    if (channel.name.empty()) file.refuse("a channel without a name", child);
    const std::string owner = "channel " + channel.name;
    channel.min = numberAttribute(child, "min", owner, file, 0);
    channel.hasMax = attribute(child, "max").has_value();
    channel.max = numberAttribute(child, "max", owner, file, 0);
    channel.unit = attribute(child, "units").value_or("");
    channels.push_back(channel);
  }
  return channels;
}

// How the values of the channels read become canvas points and radians.
void setConversions(Format& format, const File& file, const xmlNode* where, bool fit) {
  // Fitted positions are scaled into the canvas anyway: a length this program does not know only
  // matters where the values are canvas points.
  auto toPoints = [&](std::size_t index) {
    const Channel& c = format.channels[index];
    const auto points = pointsPer(c.unit);
    if (!points && !fit) {
      file.refuse("channel " + c.name + ": the unit \"" + c.unit +
                      "\" is not a length this program knows (pt, pc, in, cm, mm, m, himetric, dev)",
                  where);
    }
    return points.value_or(1.0) / c.resolution;
  };
  format.xToPoints = toPoints(*format.x);
  format.yToPoints = toPoints(*format.y);
  const std::optional<std::size_t> angles[4] = {format.tiltX, format.tiltY, format.elevation, format.azimuth};
  for (std::size_t a = 0; a < 4; ++a) {
    if (!angles[a]) continue;
    const Channel& c = format.channels[*angles[a]];
    const auto radians = radiansPer(c.unit);
    if (!radians) file.refuse("channel " + c.name + ": the unit \"" + c.unit + "\" is not an angle (deg or rad)", where);
    format.toRadians[a] = *radians / c.resolution;
  }
}

Format formatOf(xmlNode* root, const File& file, bool fit) {
  std::vector<xmlNode*> formats;
  collect(root, "traceFormat", formats);
  const xmlNode* where = formats.empty() ? nullptr : formats.front();
  Format format;
  format.channels = channelsOf(where, file);
  applyResolutions(root, format, file);
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
  if (!format.x || !format.y) file.refuse("the trace format has no X and Y channels", where);
  setConversions(format, file, where, fit);
  if (format.force && format.channels[*format.force].hasMax &&
      !(format.channels[*format.force].max > format.channels[*format.force].min)) {
    file.refuse("the F channel's max is not above its min", where);
  }
  return format;
}

// A trace's point: its values, channel by channel, and the line of the file it starts on.
struct Point {
  std::vector<double> values;
  long line = 0;
};

// The values of a trace's points; `line` is the line its text starts on. Each value may carry
// InkML's prefixes: ! explicit, ' a first difference, " a second difference; a prefix holds for
// its channel until another is given.
std::vector<Point> pointsOf(const std::string& text, std::size_t channels, const std::string& where, const File& file,
                            long line) {
  enum class Mode { Explicit, First, Second };
  std::vector<Mode> modes(channels, Mode::Explicit);
  std::vector<double> last(channels, 0), velocity(channels, 0);
  std::vector<Point> points;
  // The line of text[at]; the places asked for never go back, so each newline is counted once.
  std::size_t counted = 0;
  const auto lineAt = [&](std::size_t at) {
    const auto from = text.begin() + static_cast<std::ptrdiff_t>(counted), to = text.begin() + static_cast<std::ptrdiff_t>(at);
    line += std::count(from, to, '\n');
    counted = at;
    return line;
  };
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string point = text.substr(start, end - start);
    const std::size_t pointStart = start;
    start = end + 1;
    const std::size_t first = point.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
      if (end == text.size()) break;
      file.refuseAt(where + ", point " + std::to_string(points.size() + 1) + ": an empty point", lineAt(end));
    }
    const std::string at = where + ", point " + std::to_string(points.size() + 1);
    Point made{{}, lineAt(pointStart + first)};
    std::vector<double>& values = made.values;
    const char* c = point.c_str();
    while (true) {
      while (*c == ' ' || *c == '\t' || *c == '\r' || *c == '\n') ++c;
      if (*c == '\0') break;
      const long valueLine = lineAt(pointStart + static_cast<std::size_t>(c - point.c_str()));
      if (values.size() == channels) {
        file.refuseAt(at + ": more values than the " + std::to_string(channels) + " channels", valueLine);
      }
      const std::size_t i = values.size();
      // The value as written, up to the white space after it, prefix and all.
      const std::string token(c, std::strcspn(c, " \t\r\n"));
      if (*c == '!' || *c == '\'' || *c == '"') {
        modes[i] = *c == '!' ? Mode::Explicit : *c == '\'' ? Mode::First : Mode::Second;
        ++c;
      }
      char* after = nullptr;
      const double n = std::strtod(c, &after);
      if (after == c || !std::isfinite(n) || (*after != '\0' && std::strchr(" \t\r\n", *after) == nullptr)) {
        file.refuseAt(at + ": \"" + token.substr(0, 12) + "\" is not a number", valueLine);
      }
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
      if (!std::isfinite(value)) file.refuseAt(at + ": its differences add up beyond any number", valueLine);
      last[i] = value;
      values.push_back(value);
    }
    if (values.size() != channels) {
      file.refuseAt(at + ": " + std::to_string(values.size()) + " values for " + std::to_string(channels) + " channels",
                    made.line);
    }
    points.push_back(std::move(made));
  }
  return points;
}

Sample sampleOf(const Point& point, const Format& format, const std::string& at, const File& file) {
  const std::vector<double>& p = point.values;
  const auto refuse = [&](const std::string& reason) { file.refuseAt(at + ": " + reason, point.line); };
  Sample sample;
  sample.x = p[*format.x] * format.xToPoints;
  sample.y = p[*format.y] * format.yToPoints;
  if (format.force) {
    const Channel& f = format.channels[*format.force];
    const double raw = p[*format.force];
    sample.force = f.hasMax ? (raw - f.min) / (f.max - f.min) : raw / f.resolution;
    if (!(sample.force >= 0 && sample.force <= 1)) {
      refuse("force " + describe(raw) +
             (f.hasMax ? " lies outside the F channel's min and max" : " is not 0 to 1 and the F channel gives no max"));
    }
  }
  constexpr double kDegree = std::numbers::pi / 180;
  auto angle = [&](const std::optional<std::size_t>& channel, std::size_t which) {
    return channel ? p[*channel] * format.toRadians[which] : 0.0;
  };
  if (format.elevation) {
    sample.altitude = angle(format.elevation, 2);
    if (!(sample.altitude >= 0 && sample.altitude <= std::numbers::pi / 2 + 1e-9)) {
      refuse("elevation " + describe(sample.altitude / kDegree) + " degrees is not 0 to 90");
    }
    sample.altitude = std::min(sample.altitude, std::numbers::pi / 2);
  } else if (format.tiltX || format.tiltY) {
    // Tilt along x and y: the pen leans by both at once; upright is no tilt.
    auto tangent = [&](const std::optional<std::size_t>& channel, std::size_t which) {
      const double tilt = angle(channel, which);
      if (!(std::abs(tilt) < std::numbers::pi / 2)) {
        refuse("tilt " + describe(tilt / kDegree) + " degrees is not below 90");
      }
      return std::tan(tilt);
    };
    const double tx = tangent(format.tiltX, 0), ty = tangent(format.tiltY, 1);
    sample.altitude = std::atan2(1.0, std::hypot(tx, ty));
    sample.azimuth = (tx == 0 && ty == 0) ? 0.0 : std::atan2(ty, tx);
  }
  if (format.azimuth) sample.azimuth = angle(format.azimuth, 3);
  if (!(std::abs(sample.azimuth) <= 2 * std::numbers::pi)) {
    refuse("azimuth " + describe(sample.azimuth) + " radians is out of range");
  }
  return sample;
}

struct XmlDocument {
  void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

struct XmlParser {
  void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};

// What libxml2 finds wrong with a file, kept instead of printed: pen files from handwriting
// collections often carry identifiers that are not valid XML names, which matter to nothing here.
// Only the fault that stops the file reaches the user, through the painter's own message.
struct ParseFaults {
  std::string firstFatal;
  int line = 0;
};

void keepFault(void* context, xmlErrorPtr error) {
  if (context == nullptr || error == nullptr) return;
  auto* faults = static_cast<ParseFaults*>(static_cast<xmlParserCtxt*>(context)->_private);
  if (faults == nullptr || error->level != XML_ERR_FATAL || !faults->firstFatal.empty()) return;
  faults->firstFatal = error->message != nullptr ? error->message : "unreadable";
  while (!faults->firstFatal.empty() && (faults->firstFatal.back() == '\n' || faults->firstFatal.back() == ' ')) {
    faults->firstFatal.pop_back();
  }
  faults->line = error->line;
}

std::unique_ptr<xmlDoc, XmlDocument> parse(const std::filesystem::path& path) {
  std::unique_ptr<xmlParserCtxt, XmlParser> parser(xmlNewParserCtxt());
  if (!parser) throw std::bad_alloc();
  ParseFaults faults;
  parser->_private = &faults;
  // Both the parser's errors and the validity errors it raises while reading (an xml:id that is
  // not a name) go to the structured handler, which libxml2 hands the parser itself.
  parser->sax->serror = keepFault;
  parser->vctxt.error = nullptr;
  parser->vctxt.warning = nullptr;
  // No network, no entity expansion: a pen file is data.
  std::unique_ptr<xmlDoc, XmlDocument> document(
      xmlCtxtReadFile(parser.get(), path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!document) {
    throw BadInput(path.string() + (faults.line > 0 ? ":" + std::to_string(faults.line) : "") + ": not well-formed XML: " +
                   (faults.firstFatal.empty() ? "unreadable" : faults.firstFatal));
  }
  return document;
}

}  // namespace

std::vector<std::vector<Sample>> readInkML(const std::filesystem::path& path, const CanvasSettings& canvas,
                                           const InkOptions& options) {
  const File file(path);
  const auto document = parse(path);
  xmlNode* root = xmlDocGetRootElement(document.get());
  if (root == nullptr || nameOf(root) != "ink") file.refuse("not an InkML file (its root element is not <ink>)", root);
  const Format format = formatOf(root, file, options.fit);

  std::vector<xmlNode*> traces;
  collect(root, "trace", traces);
  if (traces.empty()) file.refuse("no <trace> in the file");
  std::vector<std::vector<Sample>> strokes;
  std::vector<std::vector<long>> lines;  // each sample's line, for the canvas check below
  for (std::size_t t = 0; t < traces.size(); ++t) {
    const std::string where = "trace " + std::to_string(t + 1);
    const auto points = pointsOf(textOf(traces[t]), format.channels.size(), where, file, xmlGetLineNo(traces[t]));
    if (points.empty()) file.refuse(where + ": no points", traces[t]);
    std::vector<Sample> stroke;
    lines.emplace_back();
    for (std::size_t i = 0; i < points.size(); ++i) {
      stroke.push_back(sampleOf(points[i], format, where + ", point " + std::to_string(i + 1), file));
      lines.back().push_back(points[i].line);
    }
    // A trace of one point is a tap: the stylus touches down there and lifts there.
    if (stroke.size() == 1) stroke.push_back(stroke.front());
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
          file.refuseAt("trace " + std::to_string(t + 1) + ", point " + std::to_string(i + 1) + ": (" + describe(s.x) + ", " +
                          describe(s.y) + ") lies outside the " + std::to_string(canvas.width) + " x " +
                          std::to_string(canvas.height) + " canvas (\"fit\": true scales the traces into it)",
                      lines[t][std::min(i, lines[t].size() - 1)]);
        }
      }
    }
  }
  return strokes;
}

}  // namespace painthost
