#include "app/survey/survey_logs.h"

#include <cstdio>
#include <fstream>

#include "app/picture_log.h"
#include "platform/files/line_log.h"

namespace app::survey {
namespace {

// The last vehicle is on one of the last lines: no need to read a year of them.
constexpr std::streamoff tailBytes = 4096;

void append(const std::string& path, const std::vector<std::string>& columns,
            const std::vector<std::string>& fields, const char* what) {
    const platform::LineLog log{path, csvLine(columns), std::nullopt};
    std::string failure;
    if (!platform::appendLine(log, csvLine(fields), failure))
        std::fprintf(stderr, "%s line not written: %s\n", what, failure.c_str());
}

}  // namespace

std::string surveyFilePath(const std::string& saveDirectory, const char* name) {
    return saveDirectory.empty() ? name : saveDirectory + "/" + name;
}

std::int64_t nextVehicleNumber(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return 1;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(std::max<std::streamoff>(0, size - tailBytes));
    std::string line;
    std::int64_t last = 0;
    while (std::getline(file, line)) {
        if (file.eof()) break;  // a line without its end was not written whole
        const std::string first = csvFields(line).front();
        if (!first.empty() && first.find_first_not_of("0123456789") == std::string::npos && first.size() < 18)
            last = std::max<std::int64_t>(last, std::stoll(first));
    }
    return last + 1;
}

void logVehicle(const std::string& path, const VehicleRecord& record) {
    append(path, vehicleLogColumns(), vehicleLogFields(record), "vehicle log");
}

void logCount(const std::string& path, const IntervalCount& count) {
    append(path, countsColumns(), countsFields(count), "counts log");
}

}  // namespace app::survey
