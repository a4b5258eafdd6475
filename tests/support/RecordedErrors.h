#pragma once
// An error delegate that keeps every error the application hands it, in order, for a test to read.

#include <vector>

#include "Application.h"

namespace testsupport {

class RecordedErrors : public tessivarium::DelegateErrorHandler {
 public:
  void receivedError(tessivarium::ErrorMessage error) override { errors.push_back(error); }
  std::vector<tessivarium::ErrorMessage> errors;
};

}  // namespace testsupport
