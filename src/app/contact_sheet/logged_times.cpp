#include "app/contact_sheet/logged_times.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/picture_log.h"

namespace app {
namespace {

constexpr std::size_t fileColumn = 1;
constexpr std::size_t timeColumn = 2;
constexpr std::size_t positionColumn = 3;
constexpr std::size_t outcomeColumn = 9;

bool fitsShape(char shape, char c) {
    if (shape == 'd') return c >= '0' && c <= '9';
    if (shape == '+') return c == '+' || c == '-';
    return c == shape;
}

// "14.345": seconds as the log writes them (at most a few centuries).
bool isPosition(const std::string& text) {
    const std::size_t point = text.find('.');
    return point != std::string::npos && point > 0 && point <= 12 &&
           text.find_first_not_of("0123456789.") == std::string::npos &&
           text.find('.', point + 1) == std::string::npos;
}

// The field of `column` for each picture saved, where `fits` takes it.
void readLog(const std::string& path, std::size_t column, bool (*fits)(const std::string&),
             std::map<std::string, std::string>& found) {
    std::ifstream log(path);
    for (std::string line; std::getline(log, line);) {
        const std::vector<std::string> fields = csvFields(line);
        if (fields.size() <= outcomeColumn || fields[outcomeColumn] != "saved") continue;
        if (!fits(fields[column])) continue;
        found[std::filesystem::path(fields[fileColumn]).filename().string()] = fields[column];
    }
}

std::map<std::string, std::string> loggedColumn(const std::string& directory, std::size_t column,
                                                bool (*fits)(const std::string&)) {
    std::map<std::string, std::string> found;
    const std::string log = pictureLogPath(directory);
    readLog(log + ".1", column, fits, found);
    readLog(log, column, fits, found);
    return found;
}

}  // namespace

bool isLoggedTime(const std::string& text) {
    static const std::string shape = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd";
    if (text.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (!fitsShape(shape[i], text[i])) return false;
    }
    return true;
}

std::map<std::string, std::string> loggedTimes(const std::string& directory) {
    return loggedColumn(directory, timeColumn, isLoggedTime);
}

std::map<std::string, std::string> loggedPositions(const std::string& directory) {
    return loggedColumn(directory, positionColumn, isPosition);
}

}  // namespace app
