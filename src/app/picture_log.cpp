#include "app/picture_log.h"

#include <cstdio>

#include "app/app_state.h"
#include "platform/files/line_log.h"

namespace app {
namespace {

bool needsQuotes(const std::string& text) {
    if (text.find_first_of(",\"\r\n") != std::string::npos) return true;
    return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

}  // namespace

std::string csvField(const std::string& text) {
    if (!needsQuotes(text)) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        line += csvField(fields[i]);
    }
    return line;
}

std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string pictureLogPath(const std::string& saveDirectory) {
    return saveDirectory.empty() ? "tavomotion-pictures.csv" : saveDirectory + "/tavomotion-pictures.csv";
}

void logPicture(const PictureRecord& record) {
    platform::LineLog log{pictureLogPath(imagesSaveDirectory), csvLine(pictureLogColumns()), std::nullopt};
    // Bounded as the pictures are: by the ring, or by the room kept free.
    if (imagesNumberToSave > 0 || keepFreeBytes > 0) log.rotateAtBytes = pictureLogRotateBytes;
    std::string failure;
    if (!platform::appendLine(log, csvLine(pictureLogFields(record)), failure))
        std::fprintf(stderr, "picture log line not written: %s\n", failure.c_str());
}

}  // namespace app
