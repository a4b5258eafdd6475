#pragma once
// The receiver of a controller's value: a controller hands the tool the angle the user dragged to,
// boxed as a float.

#include <any>

namespace tessivarium {

class ToolChangeValue {
 public:
  virtual ~ToolChangeValue() = default;
  virtual void changedValue(const std::any& value) = 0;
};

}  // namespace tessivarium
