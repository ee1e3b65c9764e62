#pragma once
// A strict reader of JSON text for the tests: what the program sends must
// parse as a whole, and its members can then be looked at.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct JsonValue {
    enum class Kind { null, boolean, number, string, array, object } kind = Kind::null;
    bool boolean = false;
    std::string text;  // a string's value, or a number as written
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member `name` of an object; a null value when there is none.
    const JsonValue& operator[](const std::string& name) const;
};

// Nothing when `text` is not one JSON value (blanks around it allowed).
std::optional<JsonValue> parseJson(const std::string& text);

}  // namespace testing_support
