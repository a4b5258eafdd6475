#include "tools/colorPicker/AbstractPaintPicker.h"

#include <string>
#include <vector>

#include "Application.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "tools/colorPicker/AbstractPickerManager.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"

namespace tessivarium {

AbstractPaintPicker::AbstractPaintPicker(const std::shared_ptr<DrawingPaint>& paint,
                                         std::shared_ptr<AbstractPickerManager> manager)
    : manager_(std::move(manager)), paint_(paint) {}

void AbstractPaintPicker::checkParts(const DrawingPaint* paint, const AbstractPickerManager* manager,
                                     const char* who) {
  if (!paint) foundation::fatalError(std::string(who) + ": a picker needs a canvas");
  if (!manager) foundation::fatalError(std::string(who) + ": a picker needs a manager");
}

void AbstractPaintPicker::install() {
  const auto canvas = paint_.lock();
  auto handlers = canvas->touchHandlers();
  handlers.push_back(shared_from_this());
  canvas->setTouchHandlers(std::move(handlers));
}

void AbstractPaintPicker::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
  if (!manager_) return;
  manager_->setForce(0);
  manager_->touchesBegan(touches, event);
}

void AbstractPaintPicker::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
  if (!manager_) return;
  for (const auto& touch : touches) {
    const double force = Application().forceValue(touch->force() / touch->maximumPossibleForce());
    if (force >= manager_->force()) manager_->setForce(force);
  }
  manager_->touchesMoved(touches, event);
}

void AbstractPaintPicker::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
  if (manager_) manager_->touchesEnded(touches, event);
}

void AbstractPaintPicker::cleanUp() {
  // The canvas may hold the last reference to this picker.
  const auto keepAlive = shared_from_this();
  if (const auto canvas = paint_.lock()) {
    auto handlers = canvas->touchHandlers();
    for (auto it = handlers.begin(); it != handlers.end(); ++it) {
      if (it->get() == this) {
        handlers.erase(it);
        canvas->setTouchHandlers(std::move(handlers));
        break;
      }
    }
  }
  manager_.reset();
}

}  // namespace tessivarium
