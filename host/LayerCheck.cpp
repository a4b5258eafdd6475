#include "LayerCheck.h"

#include <algorithm>
#include <type_traits>
#include <variant>

#include "HostErrors.h"
#include "StorageFile.h"

namespace painthost {
namespace {

using LayerId = std::size_t;

// The canvas's layer stack as the engine's layer bodies change it. A layer keeps the position it
// was last numbered with while it is out of the stack: the history puts it back there, and selects
// by that number, as the engine does.
class Stack {
 public:
  explicit Stack(const StartingLayers& start) : current_(start.current) {
    for (const bool hidden : start.hidden) {
      stack_.push_back(layers_.size());
      layers_.push_back({hidden, 0});
    }
    renumber();
  }

  std::int64_t size() const { return static_cast<std::int64_t>(stack_.size()); }
  std::int64_t current() const { return current_; }
  LayerId at(std::int64_t position) const { return stack_[static_cast<std::size_t>(position)]; }
  // The layer a step names, or the current one.
  LayerId named(const LayerRef& layer) const { return at(layer ? *layer : current_); }
  bool hidden(LayerId layer) const { return layers_[layer].hidden; }
  std::int64_t index(LayerId layer) const { return layers_[layer].index; }
  void setIndex(LayerId layer, std::int64_t index) { layers_[layer].index = index; }

  void select(std::int64_t index) {
    current_ = index;
    renumber();
  }
  void setHidden(LayerId layer, bool hidden) {
    layers_[layer].hidden = hidden;
    renumber();
  }
  // A new shown layer at the front, selected.
  LayerId create() {
    current_ = size();
    stack_.push_back(layers_.size());
    layers_.push_back({false, current_});
    renumber();
    return stack_.back();
  }
  void remove(LayerId layer, bool renumbered) {
    stack_.erase(std::find(stack_.begin(), stack_.end(), layer));
    if (renumbered) renumber();
  }
  // Back at the position it had, or at the front when the stack has become shorter.
  void putBack(LayerId layer) { stack_.insert(stack_.begin() + std::clamp<std::int64_t>(index(layer), 0, size()), layer); }
  // One position towards the front or the back, and selected there; whether it moved.
  bool move(LayerId layer, bool towardsFront) {
    const auto from = std::find(stack_.begin(), stack_.end(), layer) - stack_.begin();
    const auto to = std::clamp<std::int64_t>(from + (towardsFront ? 1 : -1), 0, size() - 1);
    stack_.erase(stack_.begin() + from);
    stack_.insert(stack_.begin() + to, layer);
    select(to);
    return to != from;
  }
  // Numbers the layers by their positions; a selection off the stack becomes the front layer.
  void renumber() {
    for (std::size_t i = 0; i < stack_.size(); ++i) layers_[stack_[i]].index = static_cast<std::int64_t>(i);
    if (current_ < 0 || current_ >= size()) current_ = size() - 1;
  }

 private:
  struct Layer {
    bool hidden;
    std::int64_t index;
  };
  std::vector<Layer> layers_;  // every layer there has been, by id
  std::vector<LayerId> stack_;
  std::int64_t current_;
};

// A recorded step, with what its undo and redo need.
struct Entry {
  enum class Kind { paint, region, move, hide, remove, create, merge };
  Kind kind;
  LayerId layer;  // the step's layer; for a create or merge, the layer current when it was made
  bool towardsFront = false, moved = false;  // move
  bool hidden = false;                       // hide
  LayerId created = 0;                       // create, merge
  std::vector<LayerId> merged = {};          // merge, by position, the back-most first
  std::optional<std::int64_t> selects = {};  // create, merge: the position its undo or redo selects
  bool kept = true;                          // in the history whatever texture memory does
};

// The script's steps followed through the stack and the history.
class Follower {
 public:
  Follower(const StartingLayers& start, const HistoryMemory& memory, const std::string& name)
      : stack_(start), memory_(memory), name_(name) {}

  // Follows one step; false when what it does depends on what texture memory leaves of the history.
  bool follow(const Step& step);

 private:
  [[noreturn]] void refuse(const std::string& reason) const { throw BadInput(name_ + ": " + step_->where + ": " + reason); }
  void requireLayer(std::int64_t layer) const;
  void requireLayer(const LayerRef& layer) const {
    if (layer) requireLayer(*layer);
  }
  // A step the engine records: the undone steps go first.
  void record(Entry entry);
  // Asks for a texture of `bytes` more through the history, which gives up steps to make room when
  // the counted memory would pass the limit; whether it may.
  bool ask(std::int64_t bytes, bool atTheLimit);
  void stroke();
  void merge(const std::vector<std::int64_t>& positions);
  bool undo();
  bool redo();
  // What the history's layer steps do after their undo and redo: select a layer.
  void restore(const Entry& entry) { stack_.select(entry.selects ? *entry.selects : stack_.index(entry.layer)); }

  Stack stack_;
  std::vector<Entry> entries_;
  std::size_t done_ = 0;  // the entries in effect, oldest first; the rest are undone
  const HistoryMemory& memory_;
  std::int64_t counted_ = 0;  // the memory counted since the start that the check can size
  const std::string& name_;
  const Step* step_ = nullptr;
};

void Follower::requireLayer(std::int64_t layer) const {
  const auto count = stack_.size();
  if (layer >= count) {
    refuse("layer " + std::to_string(layer) + " does not exist (the canvas has " + std::to_string(count) +
           (count == 1 ? " layer then)" : " layers then)"));
  }
}

void Follower::record(Entry entry) {
  entries_.resize(done_);
  entries_.push_back(std::move(entry));
  done_ = entries_.size();
}

bool Follower::ask(std::int64_t bytes, bool atTheLimit) {
  // A snapshot is refused at the limit, a layer when it would pass it.
  const bool shortOfRoom = atTheLimit ? counted_ >= memory_.room : counted_ > memory_.room - bytes;
  if (shortOfRoom) {
    for (Entry& entry : entries_) entry.kept = false;
  }
  counted_ += bytes;
  return !shortOfRoom;
}

void Follower::stroke() {
  // A hidden layer's view draws no frame, so nothing is painted on it and nothing recorded.
  const LayerId layer = stack_.named(std::nullopt);
  if (stack_.hidden(layer)) return;
  // Without a snapshot the stroke is not recorded.
  const bool kept = ask(0, true);
  record({.kind = Entry::Kind::paint, .layer = layer, .kept = kept});
}

void Follower::merge(const std::vector<std::int64_t>& positions) {
  for (const auto position : positions) requireLayer(position);
  ask(memory_.layer, false);
  Entry entry{.kind = Entry::Kind::merge, .layer = stack_.named(std::nullopt)};
  for (const auto position : positions) entry.merged.push_back(stack_.at(position));
  std::stable_sort(entry.merged.begin(), entry.merged.end(),
                   [&](LayerId a, LayerId b) { return stack_.index(a) < stack_.index(b); });
  entry.created = stack_.create();
  entry.selects = stack_.index(entry.created);
  for (auto it = entry.merged.rbegin(); it != entry.merged.rend(); ++it) stack_.remove(*it, false);
  stack_.renumber();
  counted_ -= static_cast<std::int64_t>(entry.merged.size()) * memory_.layer;
  record(std::move(entry));
}

bool Follower::undo() {
  if (done_ == 0) return true;
  Entry& entry = entries_[done_ - 1];
  if (!entry.kept) return false;
  done_ -= 1;
  const auto layers = static_cast<std::int64_t>(entry.merged.size());
  switch (entry.kind) {
    case Entry::Kind::paint:
      return true;
    case Entry::Kind::region:
      counted_ -= memory_.layerSnapshot;
      break;
    case Entry::Kind::move:
      if (entry.moved) stack_.move(entry.layer, !entry.towardsFront);
      break;
    case Entry::Kind::hide:
      stack_.setHidden(entry.layer, !entry.hidden);
      break;
    case Entry::Kind::remove:
      stack_.putBack(entry.layer);
      counted_ += memory_.layer;
      break;
    case Entry::Kind::create:
    case Entry::Kind::merge:
      stack_.remove(entry.created, false);
      entry.selects.reset();
      for (const LayerId layer : entry.merged) stack_.putBack(layer);
      counted_ += (layers - 1) * memory_.layer;
      break;
  }
  restore(entry);
  return true;
}

bool Follower::redo() {
  if (done_ == entries_.size()) return true;
  Entry& entry = entries_[done_];
  if (!entry.kept) return false;
  done_ += 1;
  const auto layers = static_cast<std::int64_t>(entry.merged.size());
  switch (entry.kind) {
    case Entry::Kind::paint:
      return true;
    case Entry::Kind::region:
      ask(memory_.layerSnapshot, true);  // the snapshot is taken afresh
      break;
    case Entry::Kind::move:
      entry.moved = stack_.move(entry.layer, entry.towardsFront);
      break;
    case Entry::Kind::hide:
      stack_.setHidden(entry.layer, entry.hidden);
      break;
    case Entry::Kind::remove:
      stack_.remove(entry.layer, true);
      counted_ -= memory_.layer;
      break;
    case Entry::Kind::create:
    case Entry::Kind::merge:
      // A merged layer goes back to the front, the merged ones out again.
      if (entry.kind == Entry::Kind::merge) stack_.setIndex(entry.created, stack_.size());
      stack_.putBack(entry.created);
      entry.selects = stack_.index(entry.created);
      for (auto it = entry.merged.rbegin(); it != entry.merged.rend(); ++it) stack_.remove(*it, false);
      counted_ += (1 - layers) * memory_.layer;
      break;
  }
  restore(entry);
  return true;
}

bool Follower::follow(const Step& step) {
  step_ = &step;
  bool followed = true;
  std::visit(
      [&](const auto& action) {
        using A = std::decay_t<decltype(action)>;
        if constexpr (std::is_same_v<A, Strokes>) {
          for (std::size_t i = 0; i < action.strokes.size(); ++i) stroke();
        } else if constexpr (std::is_same_v<A, CreateLayer>) {
          ask(memory_.layer, false);
          Entry entry{.kind = Entry::Kind::create, .layer = stack_.named(std::nullopt)};
          entry.created = stack_.create();
          entry.selects = stack_.index(entry.created);
          record(std::move(entry));
        } else if constexpr (std::is_same_v<A, DeleteLayer>) {
          requireLayer(action.layer);
          if (stack_.size() == 1) refuse("the canvas's only layer cannot be deleted");
          const LayerId layer = stack_.named(action.layer);
          stack_.remove(layer, true);
          counted_ -= memory_.layer;
          record({.kind = Entry::Kind::remove, .layer = layer});
        } else if constexpr (std::is_same_v<A, SelectLayer>) {
          requireLayer(action.layer);
          stack_.select(action.layer);
        } else if constexpr (std::is_same_v<A, MoveLayer>) {
          requireLayer(action.layer);
          const LayerId layer = stack_.named(action.layer);
          const bool moved = stack_.move(layer, action.towardsFront);
          record({.kind = Entry::Kind::move, .layer = layer, .towardsFront = action.towardsFront, .moved = moved});
        } else if constexpr (std::is_same_v<A, MergeLayers>) {
          merge(action.layers);
        } else if constexpr (std::is_same_v<A, HideLayer>) {
          requireLayer(action.layer);
          const LayerId layer = stack_.named(action.layer);
          // A hide or show that changes nothing is not recorded.
          if (stack_.hidden(layer) == action.hidden) return;
          stack_.setHidden(layer, action.hidden);
          record({.kind = Entry::Kind::hide, .layer = layer, .hidden = action.hidden});
        } else if constexpr (std::is_same_v<A, DryLayer> || std::is_same_v<A, WetLayer>) {
          requireLayer(action.layer);
          // Recorded with or without its snapshot of the whole layer.
          ask(memory_.layerSnapshot, true);
          record({.kind = Entry::Kind::region, .layer = stack_.named(action.layer)});
        } else if constexpr (std::is_same_v<A, ImportImage>) {
          ask(0, true);  // its picture and its snapshot, of sizes the check does not know
          record({.kind = Entry::Kind::paint, .layer = stack_.named(std::nullopt)});
        } else if constexpr (std::is_same_v<A, Undo>) {
          followed = undo();
        } else if constexpr (std::is_same_v<A, Redo>) {
          followed = redo();
        }
      },
      step.action);
  // A save point must be readable again.
  if (stack_.size() > kMostLayers) {
    refuse("the canvas would have " + std::to_string(stack_.size()) + " layers then, and a storage file holds at most " +
           std::to_string(kMostLayers));
  }
  return followed;
}

}  // namespace

std::optional<std::string> checkLayerSteps(const Script& script, const StartingLayers& start, const HistoryMemory& memory,
                                           const std::string& name) {
  Follower follower(start, memory, name);
  for (const Step& step : script.steps) {
    if (!follower.follow(step)) {
      return name + ": " + step.where + " (" + step.kind + "): which step this " +
             (std::holds_alternative<Undo>(step.action) ? "takes back" : "makes again") +
             " depends on what texture memory leaves of the undo history, so the layer steps from here on are "
             "checked as the run meets them";
    }
  }
  return std::nullopt;
}

}  // namespace painthost
