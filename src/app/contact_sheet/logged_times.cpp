#include "app/contact_sheet/logged_times.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/picture_log.h"

namespace app {
namespace {

constexpr std::size_t fileColumn = 1;
constexpr std::size_t timeColumn = 2;
constexpr std::size_t outcomeColumn = 9;

bool fitsShape(char shape, char c) {
    if (shape == 'd') return c >= '0' && c <= '9';
    if (shape == '+') return c == '+' || c == '-';
    return c == shape;
}

void readLog(const std::string& path, std::map<std::string, std::string>& times) {
    std::ifstream log(path);
    for (std::string line; std::getline(log, line);) {
        const std::vector<std::string> fields = csvFields(line);
        if (fields.size() <= outcomeColumn || fields[outcomeColumn] != "saved") continue;
        if (!isLoggedTime(fields[timeColumn])) continue;
        times[std::filesystem::path(fields[fileColumn]).filename().string()] = fields[timeColumn];
    }
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
    std::map<std::string, std::string> times;
    const std::string log = pictureLogPath(directory);
    readLog(log + ".1", times);
    readLog(log, times);
    return times;
}

}  // namespace app
