#include "Attributes.h"

#include "foundation/Fatal.h"

namespace imaging {

AttributeValue::AttributeValue(Attributes dictionary)
    : value_(std::make_shared<const Attributes>(std::move(dictionary))) {}

std::int64_t AttributeValue::integer() const {
  if (!isInteger()) foundation::fatalError("Attribute value is not an integer");
  return std::get<std::int64_t>(value_);
}

double AttributeValue::number() const {
  if (!isNumber()) foundation::fatalError("Attribute value is not a number");
  return std::get<double>(value_);
}

const std::string& AttributeValue::text() const {
  if (!isText()) foundation::fatalError("Attribute value is not a text");
  return std::get<std::string>(value_);
}

const Attributes& AttributeValue::dictionary() const {
  if (!isDictionary()) foundation::fatalError("Attribute value is not a dictionary");
  return *std::get<std::shared_ptr<const Attributes>>(value_);
}

bool operator==(const AttributeValue& a, const AttributeValue& b) {
  if (a.isDictionary() && b.isDictionary()) return a.dictionary() == b.dictionary();
  return a.value_ == b.value_;
}

void Attributes::set(std::string_view key, AttributeValue value) {
  entries_.insert_or_assign(std::string(key), std::move(value));
}

const AttributeValue& Attributes::at(std::string_view key) const {
  const auto it = entries_.find(key);
  if (it == entries_.end()) foundation::fatalError("No attribute \"" + std::string(key) + "\"");
  return it->second;
}

}  // namespace imaging
