#include "Filter.h"

#include <utility>

#include "foundation/Fatal.h"
#include "imaging/ConstantColorFilter.h"
#include "imaging/HardLightFilter.h"
#include "imaging/ShadedMaterialFilter.h"

namespace imaging {
namespace {

bool holds(const FilterValue& value, Filter::InputKind kind) {
  switch (kind) {
    case Filter::InputKind::Image:
      return std::holds_alternative<ImagePtr>(value);
    case Filter::InputKind::Number:
      return std::holds_alternative<double>(value);
    case Filter::InputKind::Color:
      return std::holds_alternative<graphics::Color>(value);
  }
  return false;
}

const char* kindName(Filter::InputKind kind) {
  switch (kind) {
    case Filter::InputKind::Image:
      return "Image";
    case Filter::InputKind::Number:
      return "Number";
    case Filter::InputKind::Color:
      return "Color";
  }
  return "";
}

}  // namespace

std::shared_ptr<Filter> Filter::named(std::string_view name) {
  if (name == ConstantColorFilter::kName) return std::make_shared<ConstantColorFilter>();
  if (name == HardLightFilter::kName) return std::make_shared<HardLightFilter>();
  if (name == ShadedMaterialFilter::kName) return std::make_shared<ShadedMaterialFilter>();
  return nullptr;
}

std::vector<std::string> Filter::inputKeys() const {
  std::vector<std::string> keys;
  for (const Input& in : inputs_) keys.push_back(in.key);
  return keys;
}

void Filter::declareInput(std::string key, InputKind kind, FilterValue defaultValue) {
  inputs_.push_back({std::move(key), kind, std::move(defaultValue), {}});
}

const Filter::Input& Filter::input(std::string_view key) const {
  for (const Input& in : inputs_) {
    if (in.key == key) return in;
  }
  foundation::fatalError(name_ + " has no input \"" + std::string(key) + "\"");
}

Filter::Input& Filter::input(std::string_view key) {
  return const_cast<Input&>(std::as_const(*this).input(key));
}

void Filter::setValue(std::string_view key, FilterValue value) {
  Input& in = input(key);
  const bool empty = std::holds_alternative<std::monostate>(value);
  const bool nullImage = std::holds_alternative<ImagePtr>(value) && !std::get<ImagePtr>(value);
  if (!empty && !holds(value, in.kind)) {
    foundation::fatalError(name_ + " takes a value of kind " + kindName(in.kind) + " for \"" +
                           in.key + "\"");
  }
  in.value = nullImage ? FilterValue{} : std::move(value);
}

FilterValue Filter::value(std::string_view key) const {
  const Input& in = input(key);
  return std::holds_alternative<std::monostate>(in.value) ? in.defaultValue : in.value;
}

ImagePtr Filter::imageInput(std::string_view key) const {
  const FilterValue v = value(key);
  return std::holds_alternative<ImagePtr>(v) ? std::get<ImagePtr>(v) : nullptr;
}

std::optional<double> Filter::numberInput(std::string_view key) const {
  const FilterValue v = value(key);
  if (!std::holds_alternative<double>(v)) return std::nullopt;
  return std::get<double>(v);
}

std::optional<graphics::Color> Filter::colorInput(std::string_view key) const {
  const FilterValue v = value(key);
  if (!std::holds_alternative<graphics::Color>(v)) return std::nullopt;
  return std::get<graphics::Color>(v);
}

ImagePtr Filter::outputImage() { return nullptr; }

Attributes Filter::attributes() const {
  Attributes attributes;
  attributes.set(kAttributeFilterDisplayName, name_);
  for (const Input& in : inputs_) {
    Attributes entry;
    entry.set(kAttributeClass, kindName(in.kind));
    if (std::holds_alternative<double>(in.defaultValue)) {
      entry.set(kAttributeDefault, std::get<double>(in.defaultValue));
    }
    attributes.set(in.key, std::move(entry));
  }
  return attributes;
}

}  // namespace imaging
