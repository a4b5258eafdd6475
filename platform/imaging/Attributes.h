#pragma once
// A filter's description for the filter machinery: a dictionary of named values, which may be
// numbers, texts or further dictionaries (one per input key).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace imaging {

// Attribute keys and the image type value.
inline constexpr std::string_view kAttributeFilterDisplayName = "FilterDisplayName";
inline constexpr std::string_view kAttributeIdentity = "Identity";
inline constexpr std::string_view kAttributeClass = "Class";
inline constexpr std::string_view kAttributeDisplayName = "DisplayName";
inline constexpr std::string_view kAttributeType = "Type";
inline constexpr std::string_view kAttributeDefault = "Default";
inline constexpr std::string_view kAttributeTypeImage = "Image";

class Attributes;

class AttributeValue {
 public:
  AttributeValue(std::int64_t integer) : value_(integer) {}
  AttributeValue(int integer) : value_(static_cast<std::int64_t>(integer)) {}
  AttributeValue(double number) : value_(number) {}
  AttributeValue(std::string text) : value_(std::move(text)) {}
  AttributeValue(std::string_view text) : value_(std::string(text)) {}
  AttributeValue(const char* text) : value_(std::string(text)) {}
  AttributeValue(Attributes dictionary);

  bool isInteger() const { return std::holds_alternative<std::int64_t>(value_); }
  bool isNumber() const { return std::holds_alternative<double>(value_); }
  bool isText() const { return std::holds_alternative<std::string>(value_); }
  bool isDictionary() const {
    return std::holds_alternative<std::shared_ptr<const Attributes>>(value_);
  }
  // Each accessor stops fatally when the value is of another kind.
  std::int64_t integer() const;
  double number() const;
  const std::string& text() const;
  const Attributes& dictionary() const;

  friend bool operator==(const AttributeValue& a, const AttributeValue& b);

 private:
  std::variant<std::int64_t, double, std::string, std::shared_ptr<const Attributes>> value_;
};

class Attributes {
 public:
  Attributes() = default;
  Attributes(std::initializer_list<std::pair<const std::string, AttributeValue>> entries)
      : entries_(entries) {}

  void set(std::string_view key, AttributeValue value);
  bool contains(std::string_view key) const { return entries_.find(key) != entries_.end(); }
  // Stops fatally for a missing key.
  const AttributeValue& at(std::string_view key) const;
  std::size_t size() const { return entries_.size(); }
  const std::map<std::string, AttributeValue, std::less<>>& entries() const { return entries_; }

  friend bool operator==(const Attributes& a, const Attributes& b) {
    return a.entries_ == b.entries_;
  }

 private:
  std::map<std::string, AttributeValue, std::less<>> entries_;
};

}  // namespace imaging
