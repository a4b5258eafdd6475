#include "InkML.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <numbers>
#include <optional>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include "HostErrors.h"
#include "Printable.h"

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
    // Below the normal numbers, a value's share of a unit (1 / resolution) is beyond any number.
    if (!std::isnormal(channel->resolution)) {
      file.refuse(owner + ": value=\"" + attribute(property, "value").value_or("") + "\" is not a positive normal number", property);
    }
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

// Where each piece of text that libxml2 hands over while it reads ends: its node (a text or CDATA
// node, which gathers the pieces) and, piece by piece, their lengths and the line of the file each
// ends on. The text alone does not tell its lines: a character reference (&#10;) is a line break of
// the text and none of the file, and a comment's line breaks are the file's and none of the text.
struct TextPiece {
  std::size_t length;
  long line;
};
using TextPieces = std::unordered_map<const xmlNode*, std::vector<TextPiece>>;

// A trace's text, its text and CDATA nodes one after the other, with the line of the file each of
// its characters lies on.
class TraceText {
 public:
  TraceText(const xmlNode* trace, const TextPieces& pieces) {
    add(trace, pieces);
    for (std::size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] == '\n') breaks_.push_back(i);
    }
  }

  const std::string& text() const { return text_; }

  // The line of the character at `offset`: the line its piece ends on, less the line breaks of the
  // piece after it.
  long lineAt(std::size_t offset) const {
    const auto piece = std::upper_bound(ends_.begin(), ends_.end(), offset, [](std::size_t at, const End& end) { return at < end.offset; });
    if (piece == ends_.end()) return ends_.empty() ? 0 : ends_.back().line;
    const auto after = std::upper_bound(breaks_.begin(), breaks_.end(), offset);
    const auto pieceEnd = std::lower_bound(breaks_.begin(), breaks_.end(), piece->offset);
    return piece->line - (pieceEnd - after);
  }

 private:
  struct End {
    std::size_t offset;  // where a piece ends in the text
    long line;           // the line of the file it ends on
  };

  void add(const xmlNode* node, const TextPieces& pieces) {
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) add(child, pieces);
      if (child->type != XML_TEXT_NODE && child->type != XML_CDATA_SECTION_NODE) continue;
      const std::string_view content = child->content != nullptr ? reinterpret_cast<const char*>(child->content) : "";
      const auto found = pieces.find(child);
      std::size_t end = text_.size(), given = 0;
      if (found != pieces.end()) {
        for (const TextPiece& piece : found->second) given += piece.length;
      }
      text_ += content;
      // Text that was not handed over piece by piece ends on its node's line.
      if (found == pieces.end() || given != content.size()) {
        ends_.push_back({text_.size(), xmlGetLineNo(child)});
        continue;
      }
      for (const TextPiece& piece : found->second) ends_.push_back({end += piece.length, piece.line});
    }
  }

  std::string text_;
  std::vector<End> ends_;
  std::vector<std::size_t> breaks_;  // the offsets of the text's line breaks
};

// A trace's point: its values, channel by channel, and the line of the file it starts on.
struct Point {
  std::vector<double> values;
  long line = 0;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isSign(char c) { return c == '-' || c == '+'; }
bool isQualifier(char c) { return c == '!' || c == '\'' || c == '"'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the decimal number that `text` starts with: a sign, digits with at most one point
// (one digit at least) and an exponent; 0 when it starts with none.
std::size_t decimalLength(std::string_view text) {
  std::size_t i = 0, digits = 0;
  const auto skipDigits = [&] {
    for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
  };
  if (i < text.size() && isSign(text[i])) ++i;
  skipDigits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    skipDigits();
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < text.size() && isSign(text[e])) ++e;
    const std::size_t exponent = e;
    while (e < text.size() && isDigit(text[e])) ++e;
    if (e > exponent) i = e;
  }
  return i;
}

// The values of a trace's points. Commas end points; the values of a point are separated by white
// space or packed, each but the first starting with a sign or a qualifier ("3-584" is 3 and -584,
// "'3'-2" a first difference of 3 and one of -2). The qualifiers: ! explicit, ' a first difference,
// " a second difference; a channel without one keeps its last.
std::vector<Point> pointsOf(const TraceText& trace, std::size_t channels, const std::string& where, const File& file) {
  const std::string& text = trace.text();
  enum class Mode { Explicit, First, Second };
  std::vector<Mode> modes(channels, Mode::Explicit);
  std::vector<double> last(channels, 0), velocity(channels, 0);
  std::vector<Point> points;
  Point point;
  std::size_t i = 0;
  const auto skipSpace = [&] {
    while (i < text.size() && isSpace(text[i])) ++i;
  };
  const auto at = [&] { return where + ", point " + std::to_string(points.size() + 1); };
  while (true) {
    skipSpace();
    if (i == text.size() || text[i] == ',') {
      // Nothing after the last comma, or no text at all, ends the trace; a point without values
      // anywhere else is a fault.
      if (point.values.empty()) {
        if (i == text.size()) break;
        file.refuseAt(at() + ": an empty point", trace.lineAt(i));
      }
      if (point.values.size() != channels) {
        file.refuseAt(at() + ": " + std::to_string(point.values.size()) + " values for " + std::to_string(channels) +
                          " channels",
                      point.line);
      }
      points.push_back(std::move(point));
      point = {};
      if (i == text.size()) break;
      ++i;
      continue;
    }
    const std::size_t start = i;
    const long valueLine = trace.lineAt(i);
    if (point.values.empty()) point.line = valueLine;
    if (point.values.size() == channels) {
      file.refuseAt(at() + ": more values than the " + std::to_string(channels) + " channels", valueLine);
    }
    const std::size_t channel = point.values.size();
    if (isQualifier(text[i])) {
      modes[channel] = text[i] == '!' ? Mode::Explicit : text[i] == '\'' ? Mode::First : Mode::Second;
      ++i;
      skipSpace();
    }
    const std::size_t end = i + decimalLength(std::string_view(text).substr(i));
    double n = 0;
    const char* first = text.data() + i + (i < end && text[i] == '+' ? 1 : 0);
    const auto [parsed, error] = std::from_chars(first, text.data() + end, n);
    const bool separated = end == text.size() || isSpace(text[end]) || text[end] == ',' || isSign(text[end]) ||
                           isQualifier(text[end]);
    if (end == i || !separated || parsed != text.data() + end || error != std::errc() || !std::isfinite(n)) {
      // The value as written, qualifier and all, up to the white space or comma after it.
      const std::string_view written =
          firstBytes(std::string_view(text).substr(start, text.find_first_of(" \t\r\n,", start) - start), 12);
      file.refuseAt(at() + ": \"" + std::string(written) + "\" is not a number", valueLine);
    }
    i = end;
    double value = n;
    if (points.empty() || modes[channel] == Mode::Explicit) {
      velocity[channel] = points.empty() ? 0 : n - last[channel];
    } else if (modes[channel] == Mode::First) {
      velocity[channel] = n;
      value = last[channel] + n;
    } else {
      velocity[channel] += n;
      value = last[channel] + velocity[channel];
    }
    if (!std::isfinite(value)) file.refuseAt(at() + ": its differences add up beyond any number", valueLine);
    last[channel] = value;
    point.values.push_back(value);
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

// libxml2's own handlers of text, to which this program's pass the text on.
struct TextHandlers {
  charactersSAXFunc characters = nullptr;
  cdataBlockSAXFunc cdata = nullptr;
};

// What the parser leaves beside the document. What libxml2 finds wrong with a file is kept instead
// of printed: pen files from handwriting collections often carry identifiers that are not valid XML
// names, which matter to nothing here. Only the fault that stops the file reaches the user, through
// the painter's own message.
struct ParseRecord {
  std::string reason;
  int line = 0;
  TextPieces pieces;
  TextHandlers handlers;
};

ParseRecord& recordOf(void* context) {
  return *static_cast<ParseRecord*>(static_cast<xmlParserCtxt*>(context)->_private);
}

// A piece of text handed to libxml2's handler, which adds it to the last node of the element being
// read, noted there with the line the parser has reached: the line the piece ends on.
template <auto TextHandlers::*handler>
void passText(void* context, const xmlChar* text, int length) {
  ParseRecord& record = recordOf(context);
  if (record.handlers.*handler == nullptr) return;
  (record.handlers.*handler)(context, text, length);
  const auto* parser = static_cast<xmlParserCtxt*>(context);
  const xmlNode* node = parser->node != nullptr ? parser->node->last : nullptr;
  if (node == nullptr || (node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE)) return;
  record.pieces[node].push_back({static_cast<std::size_t>(length), parser->input->line});
}

std::string firstLineOf(const char* message) {
  std::string line = message != nullptr ? message : "";
  line = line.substr(0, line.find('\n'));
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line.empty() ? "unreadable" : line;
}

// Whether the parser has read all the text its decoder gave it while bytes of the file are left
// that the decoder does not take: libxml2 reads a byte that is not in the declared encoding as the
// end of the text, and then reports only that the text ends too soon.
bool decodingStuck(const xmlParserCtxt& parser) {
  const xmlParserInput* input = parser.input;
  if (input == nullptr || input->buf == nullptr || input->buf->encoder == nullptr || input->buf->raw == nullptr) return false;
  return input->cur >= input->end && xmlBufUse(input->buf->raw) > 0;
}

// The fault that stops a file in this program's words where it concerns the text's encoding
// (libxml2's words there name its own buffers and run onto further lines, or speak of the text's
// end); otherwise libxml2's first line, which names the XML fault.
std::string reasonOf(const xmlError& error, const xmlParserCtxt& parser) {
  const std::string message = firstLineOf(error.message);
  if (error.domain == XML_FROM_I18N || error.code == XML_ERR_INVALID_ENCODING || decodingStuck(parser)) {
    return "its text is not in the encoding the file declares";
  }
  if (error.code == XML_ERR_UNSUPPORTED_ENCODING) {
    return "it declares an encoding this program cannot read" + (error.str1 != nullptr ? " (" + std::string(error.str1) + ")" : "");
  }
  if (error.code == XML_ERR_INVALID_CHAR && message.starts_with("Input is not proper UTF-8")) {
    return "its text is not UTF-8, and the file declares no other encoding";
  }
  return "not well-formed XML: " + message;
}

void keepFault(void* context, xmlErrorPtr error) {
  if (context == nullptr || error == nullptr || error->level != XML_ERR_FATAL) return;
  const auto* parser = static_cast<xmlParserCtxt*>(context);
  auto* record = static_cast<ParseRecord*>(parser->_private);
  if (record == nullptr) return;
  if (record->reason.empty()) record->reason = reasonOf(*error, *parser);
  // A fault of the encoding comes from below the parser, without a line; the parser's own fault
  // that follows it has one.
  if (record->line <= 0) record->line = error->line;
}

void ignoreMessage(void*, const char*, ...) {}

// libxml2 reports some faults, those of the text's encoding among them, to its thread's global
// handlers rather than to the parser's: while a file is read, they go to the parser's faults too.
class GlobalFaults {
 public:
  explicit GlobalFaults(xmlParserCtxt* parser)
      : structured_(xmlStructuredError),
        structuredContext_(xmlStructuredErrorContext),
        generic_(xmlGenericError),
        genericContext_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(parser, keepFault);
    xmlSetGenericErrorFunc(nullptr, ignoreMessage);
  }
  ~GlobalFaults() {
    xmlSetStructuredErrorFunc(structuredContext_, structured_);
    xmlSetGenericErrorFunc(genericContext_, generic_);
  }
  GlobalFaults(const GlobalFaults&) = delete;
  GlobalFaults& operator=(const GlobalFaults&) = delete;

 private:
  xmlStructuredErrorFunc structured_;
  void* structuredContext_;
  xmlGenericErrorFunc generic_;
  void* genericContext_;
};

// A pen file as read: its document and the pieces its text was read in.
struct PenDocument {
  std::unique_ptr<xmlDoc, XmlDocument> document;
  TextPieces pieces;
};

PenDocument parse(const std::filesystem::path& path) {
  std::unique_ptr<xmlParserCtxt, XmlParser> parser(xmlNewParserCtxt());
  if (!parser) throw std::bad_alloc();
  ParseRecord record;
  parser->_private = &record;
  // Both the parser's errors and the validity errors it raises while reading (an xml:id that is
  // not a name) go to the structured handler, which libxml2 hands the parser itself.
  parser->sax->serror = keepFault;
  parser->vctxt.error = nullptr;
  parser->vctxt.warning = nullptr;
  // White space between values is text as any other: it takes the same handler when libxml2 keeps
  // it, as it does by default.
  record.handlers = {parser->sax->characters, parser->sax->cdataBlock};
  const bool sameWhiteSpace = parser->sax->ignorableWhitespace == parser->sax->characters;
  parser->sax->characters = passText<&TextHandlers::characters>;
  parser->sax->cdataBlock = passText<&TextHandlers::cdata>;
  if (sameWhiteSpace) parser->sax->ignorableWhitespace = parser->sax->characters;
  const GlobalFaults global(parser.get());
  // No network, no entity expansion: a pen file is data.
  std::unique_ptr<xmlDoc, XmlDocument> document(
      xmlCtxtReadFile(parser.get(), path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!document) {
    throw BadInput(path.string() + (record.line > 0 ? ":" + std::to_string(record.line) : "") + ": " +
                   (record.reason.empty() ? "not well-formed XML: unreadable" : record.reason));
  }
  return {std::move(document), std::move(record.pieces)};
}

// Entities are not expanded, so a reference to one other than XML's own five (which, with
// character references, are text by now) stays a node of its own: the reading below would skip a
// trace inside it and read an undeclared one, which a DTD outside the file may declare, as nothing.
void refuseEntities(const xmlNode* element, const File& file) {
  const auto refuse = [&](const xmlNode* reference) {
    const long line = xmlGetLineNo(reference) > 0 ? xmlGetLineNo(reference) : xmlGetLineNo(element);
    file.refuseAt("the entity &" + std::string(nameOf(reference)) +
                      "; is not read (a pen file may use only &amp;, &lt;, &gt;, &apos;, &quot; and character references)",
                  line);
  };
  for (const xmlAttr* attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
    for (const xmlNode* value = attribute->children; value != nullptr; value = value->next) {
      if (value->type == XML_ENTITY_REF_NODE) refuse(value);
    }
  }
  for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
    if (child->type == XML_ENTITY_REF_NODE) refuse(child);
    if (child->type == XML_ELEMENT_NODE) refuseEntities(child, file);
  }
}

}  // namespace

std::vector<std::vector<Sample>> readInkML(const std::filesystem::path& path, const CanvasSettings& canvas,
                                           const InkOptions& options) {
  const File file(path);
  const PenDocument pen = parse(path);
  xmlNode* root = xmlDocGetRootElement(pen.document.get());
  if (root == nullptr || nameOf(root) != "ink") file.refuse("not an InkML file (its root element is not <ink>)", root);
  refuseEntities(root, file);
  const Format format = formatOf(root, file, options.fit);

  std::vector<xmlNode*> traces;
  collect(root, "trace", traces);
  if (traces.empty()) file.refuse("no <trace> in the file");
  std::vector<std::vector<Sample>> strokes;
  std::vector<std::vector<long>> lines;  // each sample's line, for the canvas check below
  for (std::size_t t = 0; t < traces.size(); ++t) {
    const std::string where = "trace " + std::to_string(t + 1);
    const auto points = pointsOf(TraceText(traces[t], pen.pieces), format.channels.size(), where, file);
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

  if (options.fit) {
    const double right = static_cast<double>(canvas.width - 1), bottom = static_cast<double>(canvas.height - 1);
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
        if (!(s.x >= 0 && s.x < static_cast<double>(canvas.width) && s.y >= 0 && s.y < static_cast<double>(canvas.height))) {
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
