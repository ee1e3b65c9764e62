#include "support/json_value.h"

#include <cctype>
#include <cstdlib>

namespace testing_support {
namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    std::optional<JsonValue> whole() {
        std::optional<JsonValue> value = next();
        skipBlanks();
        if (at_ != text_.size()) return std::nullopt;
        return value;
    }

private:
    void skipBlanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }

    bool take(char wanted) {
        skipBlanks();
        if (at_ >= text_.size() || text_[at_] != wanted) return false;
        ++at_;
        return true;
    }

    bool word(const std::string& expected) {
        if (text_.compare(at_, expected.size(), expected) != 0) return false;
        at_ += expected.size();
        return true;
    }

    std::optional<JsonValue> next() {
        skipBlanks();
        if (at_ >= text_.size()) return std::nullopt;
        JsonValue value;
        const char first = text_[at_];
        if (first == '{') return object();
        if (first == '[') return array();
        if (first == '"') {
            value.kind = JsonValue::Kind::string;
            if (!string(value.text)) return std::nullopt;
            return value;
        }
        if (word("null")) return value;
        if (word("true")) {
            value.kind = JsonValue::Kind::boolean;
            value.boolean = true;
            return value;
        }
        if (word("false")) {
            value.kind = JsonValue::Kind::boolean;
            return value;
        }
        return number();
    }

    std::optional<JsonValue> number() {
        const char* start = text_.c_str() + at_;
        char* end = nullptr;
        std::strtod(start, &end);
        if (end == start || !(std::isdigit(static_cast<unsigned char>(*start)) || *start == '-'))
            return std::nullopt;
        JsonValue value;
        value.kind = JsonValue::Kind::number;
        value.text.assign(start, static_cast<std::size_t>(end - start));
        at_ += value.text.size();
        return value;
    }

    bool string(std::string& out) {
        ++at_;
        while (at_ < text_.size() && text_[at_] != '"') {
            const char c = text_[at_++];
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            const char escaped = text_[at_++];
            if (escaped == 'u') {
                if (at_ + 4 > text_.size()) return false;
                const long code = std::strtol(text_.substr(at_, 4).c_str(), nullptr, 16);
                at_ += 4;
                out += code < 0x80 ? static_cast<char>(code) : '?';
            } else if (std::string("\"\\/").find(escaped) != std::string::npos) {
                out += escaped;
            } else if (std::string("bfnrt").find(escaped) != std::string::npos) {
                out += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped == 'r' ? '\r' : ' ';
            } else {
                return false;
            }
        }
        return take('"');
    }

    std::optional<JsonValue> array() {
        ++at_;
        JsonValue value;
        value.kind = JsonValue::Kind::array;
        if (take(']')) return value;
        do {
            std::optional<JsonValue> item = next();
            if (!item) return std::nullopt;
            value.items.push_back(std::move(*item));
        } while (take(','));
        if (!take(']')) return std::nullopt;
        return value;
    }

    std::optional<JsonValue> object() {
        ++at_;
        JsonValue value;
        value.kind = JsonValue::Kind::object;
        if (take('}')) return value;
        do {
            std::string name;
            skipBlanks();
            if (at_ >= text_.size() || text_[at_] != '"' || !string(name) || !take(':')) return std::nullopt;
            std::optional<JsonValue> member = next();
            if (!member || value.members.contains(name)) return std::nullopt;
            value.members.emplace(name, std::move(*member));
        } while (take(','));
        if (!take('}')) return std::nullopt;
        return value;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
    static const JsonValue none;
    const auto found = members.find(name);
    return found == members.end() ? none : found->second;
}

std::optional<JsonValue> parseJson(const std::string& text) { return Reader(text).whole(); }

}  // namespace testing_support
