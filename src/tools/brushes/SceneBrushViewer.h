#pragma once
// The round brush's viewer: no scene file and no tool model, only one bristle mesh built in code
// (BrushBristle), shown in the current canvas's brush view. While attached it is the brush view's
// renderer delegate, and is told of every frame it renders (it does nothing then). It never counts
// as initialized, so every touch it follows hands the bristle to the brush view again before the
// tilt. Main thread only; the renderer call may come from the view's rendering thread and touches
// nothing.

#include <memory>
#include <vector>

#include "scene/View.h"
#include "tools/AbstractDAEThickToolViewer.h"
#include "tools/brushes/BrushBristle.h"

namespace tessivarium {

class SceneBrushViewer final : public AbstractDAEThickToolViewer,
                               public scene::RendererDelegate,
                               public std::enable_shared_from_this<SceneBrushViewer> {
 public:
  // The viewer of `tool` at `scale`, with the empty scene name.
  SceneBrushViewer(AbstractDrawingTool& tool, float scale);

  // The bristles shown: none before the first load, then the one default bristle.
  const std::vector<std::shared_ptr<BrushBristle>>& bristles() const { return bristles_; }

  // Makes the content node when there is none, builds the default bristle under it when it holds
  // nothing yet (so a second load builds nothing), and hands it to the current canvas's brush view.
  void loads() override;
  // The base attach (this load), then this viewer becomes the brush view's renderer delegate.
  void attachView() override;
  // The base detach, then the brush view has no renderer delegate.
  void dettachView() override;

  void willRenderScene(scene::View& view, scene::Scene& scene, double time) override;

 private:
  std::vector<std::shared_ptr<BrushBristle>> bristles_;
};

}  // namespace tessivarium
