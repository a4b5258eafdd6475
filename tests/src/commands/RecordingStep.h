#pragma once
// An undo step for the history's tests: it notes every call in a shared journal as "<call>
// <name>", counts its releases, fails the test when it is used after its release, and can run a
// hook from within its undo or redo (to ask the history for a snapshot, as region steps do). A
// snapshot handed to it is released with it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/ArtworkDrawingOperation.h"
#include "components/ArtworkData.h"

namespace tessivarium::commands_test {

class RecordingStep : public ArtworkDrawingOperation {
 public:
  RecordingStep(std::string name, std::vector<std::string>* journal) : name_(std::move(name)), journal_(journal) {}

  const std::string& name() const override { return name_; }
  void undo() override {
    use("undo");
    if (onUndo) onUndo(*this);
  }
  void afterUndo() override { use("afterUndo"); }
  void redo() override {
    use("redo");
    if (onRedo) onRedo(*this);
  }
  void afterRedo() override { use("afterRedo"); }
  void release() override {
    use("release");
    ++releases;
    if (onRelease) onRelease(*this);
    if (snapshot) snapshot->release();
    snapshot.reset();
  }

  std::int64_t heldBytes() const override { return snapshot ? snapshot->countedBytes() : 0; }

  int releases = 0;
  std::shared_ptr<ArtworkData> snapshot;
  std::function<void(RecordingStep&)> onUndo, onRedo, onRelease;

 private:
  void use(const char* call) {
    EXPECT_EQ(releases, 0) << call << " of " << name_ << " after its release";
    if (journal_) journal_->push_back(std::string(call) + " " + name_);
  }

  std::string name_;
  std::vector<std::string>* journal_;
};

}  // namespace tessivarium::commands_test
