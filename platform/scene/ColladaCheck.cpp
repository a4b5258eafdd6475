#include "scene/ColladaCheck.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "scene/SceneError.h"

namespace scene {

namespace {

// Numbers larger than this are refused, so that every reader, signed or unsigned, 32 or 64 bits,
// reads the same value.
constexpr std::uint64_t kLargestPlainNumber = 0x7FFF'FFFF;
// How much of the start of a file is searched for "<collada".
constexpr std::size_t kHeadLength = 4096;

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

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Calls `each` with every whitespace-separated token of `text`.
template <typename Each>
void forEachToken(std::string_view text, Each&& each) {
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && isSpace(text[at])) ++at;
    const std::size_t start = at;
    while (at < text.size() && !isSpace(text[at])) ++at;
    if (at > start) each(text.substr(start, at - start));
  }
}

// Decimal digits only (surrounding whitespace allowed), at most kLargestPlainNumber.
std::optional<std::uint64_t> plainNumber(std::string_view text) {
  std::optional<std::uint64_t> result;
  int tokens = 0;
  forEachToken(text, [&](std::string_view token) {
    if (++tokens > 1) return;
    std::uint64_t value = 0;
    for (const char c : token) {
      if (c < '0' || c > '9') return;
      value = value * 10 + static_cast<std::uint64_t>(c - '0');
      if (value > kLargestPlainNumber) return;
    }
    result = value;
  });
  return tokens == 1 ? result : std::nullopt;
}

// A decimal real as the reader takes it: a sign, digits with at most one point and at least one
// digit, an optional exponent; or "inf" or "nan" in any case.
bool isRealNumber(std::string_view token) {
  if (!token.empty() && (token[0] == '+' || token[0] == '-')) token.remove_prefix(1);
  std::string lower(token);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  if (lower == "inf" || lower == "infinity" || lower == "nan") return true;
  std::size_t at = 0, digits = 0;
  const auto skipDigits = [&] {
    std::size_t n = 0;
    while (at < token.size() && token[at] >= '0' && token[at] <= '9') ++at, ++n;
    return n;
  };
  digits += skipDigits();
  if (at < token.size() && token[at] == '.') {
    ++at;
    digits += skipDigits();
  }
  if (digits == 0) return false;
  if (at < token.size() && (token[at] == 'e' || token[at] == 'E')) {
    ++at;
    if (at < token.size() && (token[at] == '+' || token[at] == '-')) ++at;
    if (skipDigits() == 0) return false;
  }
  return at == token.size();
}

// For an element whose text the reader reads as reals (failing, and leaking, on anything else or
// on fewer than it reads): how many it reads at least. Absent for other elements.
std::optional<std::size_t> realsRead(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, std::size_t>, 9> kReads = {{
      {"float_array", 0},  // as many as its count, checked with the array
      {"translate", 3},
      {"rotate", 4},
      {"scale", 3},
      {"matrix", 16},
      {"lookat", 9},
      {"skew", 7},
      {"color", 4},
      {"float", 1},
  }};
  for (const auto& [element, count] : kReads) {
    if (element == name) return count;
  }
  return std::nullopt;
}

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b, std::uint64_t cap) {
  return std::min(cap, a + b);  // both operands are at most cap, far below 2^63
}

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// While it lives, libxml2 keeps to itself the errors it would print (bad encodings): the refusal
// says what went wrong. The handler is libxml2's per-thread setting, put back afterwards.
class QuietXMLErrors {
 public:
  QuietXMLErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, &ignore);
  }
  ~QuietXMLErrors() { xmlSetGenericErrorFunc(context_, handler_); }
  QuietXMLErrors(const QuietXMLErrors&) = delete;
  QuietXMLErrors& operator=(const QuietXMLErrors&) = delete;

 private:
  static void ignore(void*, const char*, ...) {}
  xmlGenericErrorFunc handler_;
  void* context_;
};

// Owners of what libxml2 allocates.
struct DocumentFree {
  void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct ContextFree {
  void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

class ColladaChecker {
 public:
  explicit ColladaChecker(std::string name) : name_(std::move(name)) {}

  void check(const xmlNode* root) {
    collect(root);
    for (const xmlNode* accessor : accessors_) checkAccessor(accessor);
    for (const xmlNode* mesh : meshes_) checkMesh(mesh);
    checkNodes();
    for (const xmlNode* instance : instances_) checkInstance(instance);
  }

 private:
  [[noreturn]] void refuse(const std::string& reason) const {
    throw SceneError("scene file \"" + name_ + "\": " + reason);
  }

  static std::string label(const xmlNode* element) {
    std::string text;
    text.append("<").append(nameOf(element)).append(">");  // not "<" + ...: GCC 12 warns -Wrestrict
    if (const auto id = attribute(element, "id")) text.append(" \"").append(*id).append("\"");
    return text;
  }

  std::uint64_t number(const xmlNode* element, const char* name, std::optional<std::uint64_t> absent) const {
    const auto text = attribute(element, name);
    if (!text) {
      if (absent) return *absent;
      refuse(label(element) + " has no " + name);
    }
    const auto value = plainNumber(*text);
    if (!value) refuse(label(element) + ": " + name + " \"" + *text + "\" is not a plain number");
    return *value;
  }

  // The element's text, which must be all it holds.
  std::string textOf(const xmlNode* element) const {
    std::string text;
    int pieces = 0;
    for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
      if ((child->type != XML_TEXT_NODE && child->type != XML_CDATA_SECTION_NODE) || ++pieces > 1) {
        refuse(label(element) + " holds something other than one text");
      }
      text = reinterpret_cast<const char*>(child->content);
    }
    return text;
  }

  // The number of tokens of the element's text, each a plain number.
  std::uint64_t indexCount(const xmlNode* element, std::vector<std::uint64_t>* values = nullptr) const {
    std::uint64_t count = 0;
    forEachToken(textOf(element), [&](std::string_view token) {
      const auto value = plainNumber(token);
      if (!value) refuse(label(element) + " holds \"" + std::string(token) + "\", not a plain number");
      if (values) values->push_back(*value);
      ++count;
    });
    return count;
  }

  // Walks every element without recursion, checks the nesting and the arrays, and notes what the
  // later checks need.
  void collect(const xmlNode* root) {
    std::vector<std::pair<const xmlNode*, std::size_t>> pending{{root, 1}};
    while (!pending.empty()) {
      const auto [element, depth] = pending.back();
      pending.pop_back();
      if (depth > kDeepestXMLNesting) {
        refuse("elements are nested deeper than " + std::to_string(kDeepestXMLNesting) + " levels");
      }
      const auto id = attribute(element, "id");
      if (id && !ids_.insert(*id).second) refuse("the id \"" + *id + "\" is given twice");
      const std::string_view name = nameOf(element);
      if (const auto reads = realsRead(name)) checkReals(element, *reads);
      if (name == "unit") {
        if (const auto meter = attribute(element, "meter"); meter && !isRealNumber(*meter)) {
          refuse("<unit>: meter \"" + *meter + "\" is not a number");
        }
      }
      if (endsWith(name, "_array")) {
        checkArray(element);
      } else if (name == "accessor") {
        accessors_.push_back(element);
      } else if (name == "mesh") {
        meshes_.push_back(element);
      } else if (name == "visual_scene") {
        if (id) visualScenes_.insert(*id);
      } else if (name.starts_with("instance_")) {
        instances_.push_back(element);
      } else if (name == "node") {
        nodeIndex_.emplace(element, nodes_.size());
        nodes_.push_back(element);
        if (id) nodesById_.emplace(*id, nodes_.size() - 1);
      }
      for (const xmlNode* child = element->last; child != nullptr; child = child->prev) {
        if (child->type == XML_ELEMENT_NODE) pending.emplace_back(child, depth + 1);
      }
    }
  }

  // The reader gives up on a reference it cannot follow, and leaks what it has read so far: every
  // instance must name an element of this file ("#id"), and a scene instance a visual scene.
  void checkInstance(const xmlNode* instance) const {
    const bool isMaterial = isElement(instance, "instance_material");
    const auto reference = attribute(instance, isMaterial ? "target" : "url");
    if (!reference || !reference->starts_with('#') || !ids_.contains(reference->substr(1))) {
      refuse(label(instance) + " names no element of the file");
    }
    if (isElement(instance, "instance_visual_scene") && !visualScenes_.contains(reference->substr(1))) {
      refuse(label(instance) + " names no visual scene of the file");
    }
  }

  void checkReals(const xmlNode* element, std::size_t least) const {
    std::size_t count = 0;
    forEachToken(textOf(element), [&](std::string_view token) {
      if (!isRealNumber(token)) refuse(label(element) + " holds \"" + std::string(token) + "\", not a number");
      ++count;
    });
    if (count < least) {
      refuse(label(element) + " holds " + std::to_string(count) + " numbers, not " + std::to_string(least));
    }
  }

  void checkArray(const xmlNode* array) {
    const std::uint64_t promised = number(array, "count", std::nullopt);
    std::uint64_t held = 0;
    forEachToken(textOf(array), [&](std::string_view) { ++held; });
    if (promised > held) {
      refuse(label(array) + " promises " + std::to_string(promised) + " values and holds " + std::to_string(held));
    }
    if (const auto id = attribute(array, "id")) arrays_.emplace(*id, promised);
  }

  void checkAccessor(const xmlNode* accessor) {
    const std::uint64_t count = number(accessor, "count", std::nullopt);
    const std::uint64_t stride = number(accessor, "stride", 1);
    const std::uint64_t offset = number(accessor, "offset", 0);
    const auto source = attribute(accessor, "source");
    const auto array = source && source->starts_with('#') ? arrays_.find(source->substr(1)) : arrays_.end();
    if (array == arrays_.end()) refuse("an accessor refers to an array the file does not hold");
    std::uint64_t params = 0;
    for (const xmlNode* child = accessor->children; child != nullptr; child = child->next) {
      if (isElement(child, "param")) ++params;
    }
    if (count == 0) return;
    // Each operand is below 2^31, so this cannot overflow.
    const std::uint64_t reach = offset + (count - 1) * stride + std::max<std::uint64_t>(params, 1);
    if (reach > array->second) {
      refuse("an accessor of \"" + array->first + "\" reaches value " + std::to_string(reach) + " of " +
             std::to_string(array->second));
    }
  }

  void checkMesh(const xmlNode* mesh) {
    std::uint64_t indices = 0;
    for (const xmlNode* child = mesh->children; child != nullptr; child = child->next) {
      if (child->type != XML_ELEMENT_NODE) continue;
      if (const auto perPrimitive = fixedIndices(nameOf(child))) {
        indices = saturatingAdd(indices, checkPrimitive(child, *perPrimitive), kMostSceneIndices + 1);
      }
    }
    const xmlNode* geometry = mesh->parent;
    if (geometry != nullptr && isElement(geometry, "geometry")) {
      if (const auto id = attribute(geometry, "id")) geometryIndices_.emplace(*id, indices);
    }
  }

  // For a primitive element: the vertices of each primitive when fixed (3, 2), 0 when the index
  // data says (polylist, polygons, strips, fans); absent for anything else.
  static std::optional<std::uint64_t> fixedIndices(std::string_view name) {
    if (name == "triangles") return 3;
    if (name == "lines") return 2;
    if (name == "polylist" || name == "polygons" || name == "linestrips" || name == "trifans" ||
        name == "tristrips") {
      return 0;
    }
    return std::nullopt;
  }

  // Checks one primitive element and returns how many indices it holds.
  std::uint64_t checkPrimitive(const xmlNode* primitive, std::uint64_t perPrimitive) {
    const std::string what = label(primitive);
    const std::uint64_t count = number(primitive, "count", std::nullopt);
    std::uint64_t offsets = 1;
    bool hasVertex = false;
    const xmlNode* vcount = nullptr;
    std::vector<const xmlNode*> lists;
    for (const xmlNode* child = primitive->children; child != nullptr; child = child->next) {
      if (isElement(child, "input")) {
        offsets = std::max(offsets, number(child, "offset", 0) + 1);
        hasVertex = hasVertex || attribute(child, "semantic") == "VERTEX";
      } else if (isElement(child, "p")) {
        lists.push_back(child);
      } else if (isElement(child, "vcount")) {
        vcount = child;
      }
    }
    if (!hasVertex) refuse(what + " has no VERTEX input");
    std::uint64_t held = 0;
    for (const xmlNode* list : lists) {
      const std::uint64_t indices = indexCount(list);
      if (indices % offsets != 0) {
        refuse(what + " has a <p> of " + std::to_string(indices) + " indices, not a multiple of its " +
               std::to_string(offsets) + " inputs");
      }
      held += indices;
    }

    const std::string name(nameOf(primitive));
    std::uint64_t vertices = 0;
    if (perPrimitive > 0) {
      vertices = count * perPrimitive;
    } else if (name == "polylist") {
      if (vcount == nullptr) {
        if (count > 0) refuse(what + " has no <vcount>");
      } else {
        std::vector<std::uint64_t> sizes;
        indexCount(vcount, &sizes);
        if (sizes.size() < count) {
          refuse(what + " of count " + std::to_string(count) + " has " + std::to_string(sizes.size()) +
                 " <vcount> entries");
        }
        for (std::uint64_t i = 0; i < count; ++i) vertices += sizes[i];  // below 2^62
      }
    } else {
      // One <p> per primitive.
      if (lists.size() != count) {
        refuse(what + " of count " + std::to_string(count) + " has " + std::to_string(lists.size()) + " <p>");
      }
      return held;
    }
    if (lists.size() > 1) refuse(what + " has more than one <p>");
    std::uint64_t promised = 0;
    if (__builtin_mul_overflow(vertices, offsets, &promised) || promised != held) {
      refuse(what + " of count " + std::to_string(count) + " promises " + std::to_string(vertices) + " x " +
             std::to_string(offsets) + " indices and holds " + std::to_string(held));
    }
    return held;
  }

  // What one node and everything under it amounts to once its instances are expanded.
  struct Expanded {
    std::uint64_t nodes = 0, depth = 0, indices = 0;
  };

  // The nodes a node contains: its child nodes and the nodes its instance_node elements name.
  std::vector<std::size_t> partsOf(const xmlNode* node, std::uint64_t& ownIndices) const {
    std::vector<std::size_t> parts;
    ownIndices = 0;
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
      if (isElement(child, "node")) {
        parts.push_back(nodeIndex_.at(child));
      } else if (isElement(child, "instance_node") || isElement(child, "instance_geometry")) {
        const auto url = attribute(child, "url");
        if (!url || !url->starts_with('#')) continue;  // nothing the reader resolves
        const std::string id = url->substr(1);
        if (isElement(child, "instance_geometry")) {
          const auto geometry = geometryIndices_.find(id);
          if (geometry != geometryIndices_.end()) {
            ownIndices = saturatingAdd(ownIndices, geometry->second, kMostSceneIndices + 1);
          }
          continue;
        }
        if (const auto named = nodesById_.find(id); named != nodesById_.end()) parts.push_back(named->second);
      }
    }
    return parts;
  }

  // Depth-first over the node graph without recursion: a node met again while it is still open
  // is a cycle; a closed node's expansion is kept, so shared instances are counted once each.
  void checkNodes() {
    enum class State : std::uint8_t { unseen, open, closed };
    std::vector<State> states(nodes_.size(), State::unseen);
    std::vector<Expanded> expanded(nodes_.size());
    std::vector<std::vector<std::size_t>> parts(nodes_.size());
    std::vector<std::uint64_t> ownIndices(nodes_.size(), 0);
    struct Frame {
      std::size_t node, next;
    };
    for (std::size_t start = 0; start < nodes_.size(); ++start) {
      if (states[start] != State::unseen) continue;
      std::vector<Frame> stack{{start, 0}};
      states[start] = State::open;
      parts[start] = partsOf(nodes_[start], ownIndices[start]);
      while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < parts[frame.node].size()) {
          const std::size_t part = parts[frame.node][frame.next++];
          if (states[part] == State::open) {
            refuse("instance_node references form a cycle through " + label(nodes_[part]));
          }
          if (states[part] == State::unseen) {
            states[part] = State::open;
            parts[part] = partsOf(nodes_[part], ownIndices[part]);
            stack.push_back({part, 0});
          }
          continue;
        }
        Expanded total{1, 1, ownIndices[frame.node]};
        for (const std::size_t part : parts[frame.node]) {
          total.nodes = saturatingAdd(total.nodes, expanded[part].nodes, kMostSceneNodes + 1);
          total.depth = std::max(total.depth, std::min<std::uint64_t>(expanded[part].depth + 1, kDeepestNodeNesting + 1));
          total.indices = saturatingAdd(total.indices, expanded[part].indices, kMostSceneIndices + 1);
        }
        expanded[frame.node] = total;
        states[frame.node] = State::closed;
        stack.pop_back();
      }
    }

    Expanded scene;
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
      if (nodes_[i]->parent == nullptr || !isElement(nodes_[i]->parent, "visual_scene")) continue;
      scene.nodes = saturatingAdd(scene.nodes, expanded[i].nodes, kMostSceneNodes + 1);
      scene.depth = std::max(scene.depth, expanded[i].depth);
      scene.indices = saturatingAdd(scene.indices, expanded[i].indices, kMostSceneIndices + 1);
    }
    if (scene.depth > kDeepestNodeNesting) {
      refuse("nodes are nested deeper than " + std::to_string(kDeepestNodeNesting) + " levels");
    }
    if (scene.nodes > kMostSceneNodes) {
      refuse("the scene expands to more than " + std::to_string(kMostSceneNodes) + " nodes");
    }
    if (scene.indices > kMostSceneIndices) {
      refuse("the scene's meshes expand to more than " + std::to_string(kMostSceneIndices) + " indices");
    }
  }

  std::string name_;
  std::unordered_map<std::string, std::uint64_t> arrays_;           // id -> promised count
  std::unordered_map<std::string, std::uint64_t> geometryIndices_;  // id -> indices of its mesh
  std::vector<const xmlNode*> accessors_, meshes_, nodes_, instances_;
  std::unordered_set<std::string> visualScenes_;
  std::unordered_map<const xmlNode*, std::size_t> nodeIndex_;
  std::unordered_map<std::string, std::size_t> nodesById_;
  std::unordered_set<std::string> ids_;
};

// Whether the COLLADA reader would take the file: a ".dae" name or "<collada" near the start
// (NUL bytes of a wide encoding dropped, any case). A zip archive is refused outright: the
// reader would look inside it.
bool looksLikeCollada(const std::filesystem::path& path, const std::string& name) {
  std::ifstream in(path, std::ios::binary);
  std::array<char, kHeadLength> head{};
  in.read(head.data(), head.size());
  const auto length = static_cast<std::size_t>(in.gcount());
  if (length >= 4 && std::string_view(head.data(), 4) == std::string_view("PK\3\4", 4)) {
    throw SceneError("scene file \"" + name + "\": not a COLLADA file (an archive)");
  }
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".dae") return true;
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    if (head[i] != '\0') text += static_cast<char>(std::tolower(static_cast<unsigned char>(head[i])));
  }
  return text.find("<collada") != std::string::npos;
}

}  // namespace

void checkColladaFile(const std::filesystem::path& path, const std::string& name) {
  const auto fail = [&name](const std::string& reason) { throw SceneError("scene file \"" + name + "\": " + reason); };
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) fail("cannot be read");
  if (size > kLargestSceneFile) {
    fail("is " + std::to_string(size) + " bytes, more than the " + std::to_string(kLargestSceneFile) +
         " a scene file may have");
  }
  if (!looksLikeCollada(path, name)) fail("not a COLLADA file");

  xmlInitParser();
  const QuietXMLErrors quiet;
  const std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
  if (!context) fail("cannot be parsed (no memory)");
  const std::unique_ptr<xmlDoc, DocumentFree> document(xmlCtxtReadFile(
      context.get(), path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!document) {
    std::string reason = context->lastError.message != nullptr ? context->lastError.message : "";
    // libxml2 stops at the same depth as the walk below, with advice that does not apply here.
    if (reason.starts_with("Excessive depth")) {
      fail("elements are nested deeper than " + std::to_string(kDeepestXMLNesting) + " levels");
    }
    while (!reason.empty() && isSpace(reason.back())) reason.pop_back();
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    fail("malformed XML at line " + std::to_string(context->lastError.line) + ": " + reason);
  }
  if (document->intSubset != nullptr || document->extSubset != nullptr) fail("has a document type declaration");
  const xmlNode* root = xmlDocGetRootElement(document.get());
  if (root == nullptr || nameOf(root) != "COLLADA") fail("not a COLLADA file");
  ColladaChecker(name).check(root);
}

}  // namespace scene
