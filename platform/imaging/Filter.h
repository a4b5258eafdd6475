#pragma once
// Filters: named operations on images with key-value inputs and an output image. The kit's
// built-in filters are made by name; a custom filter derives from Filter and overrides
// outputImage() and attributes().

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/Attributes.h"
#include "imaging/FilterValue.h"
#include "imaging/Image.h"

namespace imaging {

class Filter {
 public:
  enum class InputKind { Image, Number, Color };

  // A new built-in filter: "CIConstantColorGenerator", "CIHardLightBlendMode" or
  // "CIShadedMaterial"; null for any other name.
  static std::shared_ptr<Filter> named(std::string_view name);

  virtual ~Filter() = default;
  Filter(const Filter&) = delete;
  Filter& operator=(const Filter&) = delete;

  const std::string& name() const { return name_; }
  // The keys of the inputs the filter takes, in the order they were declared.
  std::vector<std::string> inputKeys() const;

  // Stores a value (an empty value removes it). A key the filter does not take, or a value of
  // another kind than the input's, stops fatally.
  void setValue(std::string_view key, FilterValue value);
  // The stored value, else the input's default, else no value; unknown keys stop fatally.
  FilterValue value(std::string_view key) const;

  // The filter's result for its current inputs; null when it cannot make one. The base makes
  // none.
  virtual ImagePtr outputImage();
  // The display name (the filter's name) and, per input, its class and default.
  virtual Attributes attributes() const;

 protected:
  explicit Filter(std::string name) : name_(std::move(name)) {}
  void declareInput(std::string key, InputKind kind, FilterValue defaultValue = {});

  // Typed reads of an input's value (stored or default); absent when there is none.
  ImagePtr imageInput(std::string_view key) const;
  std::optional<double> numberInput(std::string_view key) const;
  std::optional<graphics::Color> colorInput(std::string_view key) const;

 private:
  struct Input {
    std::string key;
    InputKind kind;
    FilterValue defaultValue;
    FilterValue value;
  };
  const Input& input(std::string_view key) const;
  Input& input(std::string_view key);

  std::string name_;
  std::vector<Input> inputs_;
};

}  // namespace imaging
