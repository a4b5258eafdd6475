#include "commands/CommandManager.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "FatalStop.h"
#include "RecordingStep.h"
#include "commands/AbstractArtworkDrawingOperation.h"
#include "commands/Command.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

using commands_test::RecordingStep;
using Strings = std::vector<std::string>;

class CommandManagerTest : public ::testing::Test {
 protected:
  std::shared_ptr<RecordingStep> step(const std::string& name) {
    return std::make_shared<RecordingStep>(name, &journal);
  }
  std::shared_ptr<RecordingStep> record(const std::string& name) {
    auto s = step(name);
    manager.append(std::shared_ptr<ArtworkDrawingOperation>(s));
    return s;
  }
  Strings names() const {
    Strings out;
    for (const auto& s : manager.operationPool().operations()) out.push_back(s->name());
    return out;
  }
  void expectFlags(bool canUndo, bool canRedo, const char* when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(manager.canUndo(), canUndo);
    EXPECT_EQ(manager.canRedo(), canRedo);
    EXPECT_EQ(manager.hasErasableData(), canRedo);
  }

  std::shared_ptr<testsupport::FakeCanvas> canvas = std::make_shared<testsupport::FakeCanvas>(0, 64, 48);
  CommandManager manager{canvas};
  Strings journal;
  testsupport::ConsoleCapture console;
};

TEST_F(CommandManagerTest, ScriptedHistoryPrintsItsTraceAndAnswersAlongTheWay) {
  EXPECT_EQ(manager.paint(), canvas);
  EXPECT_EQ(manager.current(), -1);
  expectFlags(false, false, "new");
  EXPECT_EQ(manager.undo(), nullptr);
  EXPECT_EQ(manager.redo(), nullptr);
  EXPECT_TRUE(console.lines().empty());

  auto a = record("A");
  expectFlags(true, false, "recorded");
  EXPECT_EQ(manager.undo(), a);
  expectFlags(false, true, "undone");
  EXPECT_EQ(manager.undo(), nullptr);  // nothing in effect: refused, nothing printed
  EXPECT_EQ(manager.redo(), a);
  expectFlags(true, false, "redone");
  EXPECT_EQ(manager.redo(), nullptr);

  EXPECT_EQ(console.lines(), (Strings{"0 0", "Undo -> 0 0", "Undo <- -1 0", "Redo -> -1 0", "Redo <- 0 0"}));
  EXPECT_EQ(journal, (Strings{"undo A", "afterUndo A", "redo A", "afterRedo A"}));
  EXPECT_EQ(manager.operationPool().operationType(), OperationPool::OperationType::redo);
  EXPECT_EQ(a->releases, 0);
}

TEST_F(CommandManagerTest, RecordingAfterAnUndoDiscardsTheUndoneBranch) {
  auto a = record("A"), b = record("B"), c = record("C");
  manager.undo();
  console.clear();
  journal.clear();
  auto d = record("D");

  EXPECT_EQ(journal, (Strings{"release C"}));
  EXPECT_EQ(c->releases, 1);
  EXPECT_EQ(names(), (Strings{"A", "B", "D"}));
  EXPECT_EQ(console.lines(), (Strings{"2 2"}));
  EXPECT_EQ(manager.undo(), d);
  EXPECT_EQ(a->releases + b->releases + d->releases, 0);
}

TEST_F(CommandManagerTest, RecordingWithEveryStepUndoneReleasesThemNewestFirst) {
  record("A"), record("B"), record("C");
  while (manager.undo()) {
  }
  journal.clear();
  console.clear();
  record("D");

  EXPECT_EQ(journal, (Strings{"release C", "release B", "release A"}));
  EXPECT_EQ(names(), (Strings{"D"}));
  EXPECT_EQ(console.lines(), (Strings{"0 0"}));
}

TEST_F(CommandManagerTest, CleanReleasesEveryStepOnceOldestFirstAndPrintsNothing) {
  record("A"), record("B"), record("C");
  manager.undo();
  console.clear();
  journal.clear();
  manager.clean();

  EXPECT_EQ(journal, (Strings{"release A", "release B", "release C"}));
  EXPECT_TRUE(console.lines().empty());
  EXPECT_EQ(manager.operationPool().currentOperation(), -1);
  EXPECT_EQ(manager.operationPool().lastOperation(), -1);
  EXPECT_EQ(manager.operationPool().operationType(), OperationPool::OperationType::clean);
  expectFlags(false, false, "cleaned");
}

TEST_F(CommandManagerTest, RecordedStrokesAreNotKept) {
  manager.append(std::make_shared<Command>(ToolType::tube, foundation::Date(3.5)));
  EXPECT_TRUE(manager.commands().empty());
  EXPECT_FALSE(manager.canUndo());
  EXPECT_TRUE(console.lines().empty());
}

TEST_F(CommandManagerTest, MissingCanvasOrStepStopsFatally) {
  EXPECT_FATAL(CommandManager(nullptr), "CommandManager: an undo history needs a canvas");
  EXPECT_FATAL(manager.append(std::shared_ptr<ArtworkDrawingOperation>()), "OperationPool.doSave: no step to record");
  OperationPool pool;
  EXPECT_FATAL(pool.redo(), "OperationPool.redo: there is no undone step to redo");
  // A step's canvas defaults to the current paint, which must then be set.
  EXPECT_FATAL(AbstractArtworkDrawingOperation(nullptr),
               "An undo step needs a canvas, and there is no current paint");
  AppManager().setCurrentPaint(canvas);
  EXPECT_EQ(AbstractArtworkDrawingOperation(nullptr).paint(), canvas);
}

}  // namespace
}  // namespace tessivarium
