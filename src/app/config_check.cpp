#include "app/config_check.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/survey/survey_settings.h"
#include "platform/files/writable_directory.h"

namespace app {
namespace {

enum class Value { none, word, number, directory };

struct Key {
    const char* name;
    Value value;
};

constexpr Key keys[] = {
    {"DETECT_CARS_ONLY", Value::none},
    {"IMAGES_SAVE_DIRECTORY", Value::directory},
    {"IMAGES_NUMBER_TO_SAVE", Value::number},
    {"EVERY_VEHICLE", Value::none},
    {"PICTURE_LOG", Value::none},
    {"FULL_SIZE_PICTURES", Value::none},
    {"MQTT", Value::word},
    {"CAMERA_NAME", Value::word},
    {"KEEP_FREE_SPACE", Value::word},
    {"ROAD_POINT", Value::word},
    {"CAMERA_FOOT", Value::word},
    {"COUNT_MINUTES", Value::word},
};

// The longest directory the reading keeps.
constexpr std::size_t longestDirectory = saveDirectoryCapacity - 1;

const Key* keyNamed(const std::string& word) {
    for (const Key& key : keys) {
        if (word == key.name) return &key;
    }
    return nullptr;
}

// The words of the file as fscanf("%s") and the echo of the rest of a line
// take them, with the line each starts on.
class ConfigWords {
public:
    explicit ConfigWords(const std::string& text) : text_(text) {}

    bool next(std::string& word, int& line) {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])) != 0) {
            if (text_[at_] == '\n') ++line_;
            ++at_;
        }
        if (at_ >= text_.size()) return false;
        const std::size_t start = at_;
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])) == 0) ++at_;
        word = text_.substr(start, at_ - start);
        line = line_;
        return true;
    }

    // The echo stops at a line end or at a byte of 255, which it consumes.
    std::string restOfLine() {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] != '\r' && text_[at_] != '\n' && text_[at_] != '\xff') ++at_;
        const std::string rest = text_.substr(start, at_ - start);
        if (at_ < text_.size()) {
            if (text_[at_] == '\n') ++line_;
            ++at_;
        }
        return rest;
    }

private:
    const std::string& text_;
    std::size_t at_ = 0;
    int line_ = 1;
};

std::string upperCase(std::string word) {
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word;
}

// Edits (insertions, deletions, changes, swaps of neighbours) from a to b.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

bool keyShaped(const std::string& word) {
    if (word.size() < 3) return false;
    const bool allowed = std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    });
    return allowed && std::any_of(word.begin(), word.end(),
                                  [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
}

std::string knownKeysText() {
    std::string text;
    for (const Key& key : keys) text += (text.empty() ? "" : ", ") + std::string(key.name);
    return text;
}

// A word in a key's place that is no key: said when it looks like one. Words
// in small letters are prose unless they come close to a key.
std::string unknownWordMistake(const std::string& word) {
    const std::size_t equals = word.find('=');
    if (equals != std::string::npos && keyNamed(word.substr(0, equals)) != nullptr)
        return "'" + word + "' is not read: put a blank, not '=', between " + word.substr(0, equals) +
               " and its value";
    if (!keyShaped(word)) return "";
    const std::string suggestion = nearestConfigKey(word);
    const bool capitals = upperCase(word) == word;
    if (!capitals &&
        (suggestion.empty() || (word.find('_') == std::string::npos && upperCase(word) != suggestion)))
        return "";
    if (suggestion.empty()) return "unknown key " + word + " is ignored (the keys: " + knownKeysText() + ")";
    return "unknown key " + word + " is ignored; did you mean " + suggestion + "?";
}

bool wholeNumber(const std::string& text) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && std::isdigit(static_cast<unsigned char>(text.back())) != 0 &&
           value >= INT32_MIN && value <= INT32_MAX;
}

// What the reading ("%d") makes of a value that is no whole number.
std::string numberReadingOf(const std::string& value) {
    int read = 0;
    if (std::sscanf(value.c_str(), "%d", &read) != 1) return "it is not applied";
    return "it is read as " + std::to_string(read);
}

std::string valueMistake(const Key& key, const std::string& value, const std::string& restOfLine) {
    const std::string name = key.name;
    if (key.value == Value::number && !wholeNumber(value))
        return name + " needs a whole number, not '" + value + "'; " + numberReadingOf(value);
    if (key.value != Value::directory) return "";
    const std::size_t remark = restOfLine.find_first_not_of(" \t\v\f");
    if (remark != std::string::npos && restOfLine[remark] != '#')
        return name + " takes one word: '" + value +
               restOfLine.substr(0, restOfLine.find_last_not_of(" \t\v\f") + 1) + "' is read as '" + value +
               "' (a directory with a blank in its name cannot be used)";
    if (value.size() > longestDirectory)
        return name + " takes at most " + std::to_string(longestDirectory) + " characters";
    return "";
}

}  // namespace

std::string nearestConfigKey(const std::string& word) {
    const std::string wanted = upperCase(word);
    std::string nearest;
    std::size_t best = std::max<std::size_t>(2, wanted.size() / 4);
    for (const Key& key : keys) {
        const std::string name = key.name;
        const std::size_t distance = editDistance(wanted, name);
        if (distance < best || (distance == best && nearest.empty())) {
            best = distance;
            nearest = name;
        }
    }
    if (!nearest.empty() || wanted.size() < 4) return nearest;
    for (const Key& key : keys) {
        if (std::string(key.name).find(wanted) != std::string::npos) return key.name;
    }
    return "";
}

std::vector<std::string> configFileMistakes(const std::string& text) {
    std::vector<std::string> mistakes;
    const auto say = [&](int line, const std::string& what) {
        mistakes.push_back("tavomotion.ini line " + std::to_string(line) + ": " + what);
    };
    ConfigWords words(text);
    std::string word;
    int line = 0;
    while (words.next(word, line)) {
        const Key* key = word[0] == '#' ? nullptr : keyNamed(word);
        if (key == nullptr) {
            if (word[0] != '#' && !unknownWordMistake(word).empty()) say(line, unknownWordMistake(word));
            words.restOfLine();
            continue;
        }
        if (key->value == Value::none) {
            words.restOfLine();
            continue;
        }
        std::string value;
        int valueLine = 0;
        if (!words.next(value, valueLine)) {
            say(line, std::string(key->name) + " has no value");
            break;
        }
        if (valueLine != line)
            say(line, std::string(key->name) + " has no value on its line; '" + value + "' of line " +
                          std::to_string(valueLine) + " is taken for it");
        const std::string mistake = valueMistake(*key, value, words.restOfLine());
        if (!mistake.empty()) say(valueLine, mistake);
    }
    return mistakes;
}

std::string saveDirectoryMistake(const std::string& directory) {
    const std::string reason = platform::unwritableDirectoryReason(directory);
    if (reason.empty()) return "";
    const std::string place =
        directory.empty() ? "the working directory" : "the save directory '" + directory + "'";
    return "no picture can be saved: " + place + ": " + reason;
}

std::string readCheckedConfig(int& mistakes) {
    const auto tell = [&](const std::string& line) {
        std::fprintf(stderr, "tavomotion: %s\n", line.c_str());
        ++mistakes;
    };
    const std::string readError = readConfigFile();
    std::ifstream file("tavomotion.ini", std::ios::binary);
    if (file) {
        std::ostringstream text;
        text << file.rdbuf();
        for (const std::string& mistake : configFileMistakes(text.str())) tell(mistake);
    }
    if (!readError.empty()) return readError;
    if (std::string failure = survey::settle(); !failure.empty()) return failure;
    if (const std::string mistake = saveDirectoryMistake(imagesSaveDirectory); !mistake.empty())
        tell(mistake);
    return "";
}

}  // namespace app
