#pragma once
// "CIConstantColorGenerator": an endless image of the colour given as "inputColor".

#include "imaging/Filter.h"

namespace imaging {

class ConstantColorFilter final : public Filter {
 public:
  static constexpr std::string_view kName = "CIConstantColorGenerator";
  ConstantColorFilter();
  // Null until a colour is given.
  ImagePtr outputImage() override;
};

}  // namespace imaging
