#include "tools/colorPicker/AbstractPickerManager.h"

#include <string>

#include "foundation/Fatal.h"
#include "tools/colorPicker/AbstractPaintPicker.h"

namespace tessivarium {

void AbstractPickerManager::end() {
  // The last pickers may hold the last references to this manager.
  const auto keepAlive = weak_from_this().lock();
  for (const auto& picker : pickers_) picker->cleanUp();
  Pickers().swap(pickers_);
}

void AbstractPickerManager::notifySelection() {
  if (done_) done_();
}

void AbstractPickerManager::install(const Paints& paints, MakePicker make, const char* who) {
  const auto self = weak_from_this().lock();
  if (!self) foundation::fatalError(std::string(who) + ": the manager must be held by a std::shared_ptr");
  for (const auto& paint : paints) pickers_.push_back(make(paint, self));
}

}  // namespace tessivarium
