#include "app/picture_commands.h"

#include <cstdio>

#include "app/picture_log.h"
#include "platform/process/child_programs.h"

namespace app {
namespace {

std::string command;

platform::ChildPrograms& children() {
    static platform::ChildPrograms running(pictureCommandLimit);
    return running;
}

// The log line's fields as TAVO_NUMBER=..., TAVO_FULL_SIZE=...; empty ones unset.
std::vector<std::string> pictureEnvironment(const PictureRecord& record) {
    const std::vector<std::string> columns = pictureLogColumns();
    const std::vector<std::string> fields = pictureLogFields(record);
    std::vector<std::string> environment;
    for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
        if (fields[i].empty()) continue;
        std::string name = "TAVO_";
        for (const char c : columns[i]) name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        environment.push_back(name + "=" + fields[i]);
    }
    return environment;
}

}  // namespace

void setPictureCommand(const std::string& program) { command = program; }

void runPictureCommand(const PictureRecord& record) {
    if (command.empty()) return;
    std::string failure;
    if (!children().start(command, record.file, pictureEnvironment(record), failure))
        std::fprintf(stderr, "picture command not run for %s: %s\n", record.file.c_str(), failure.c_str());
}

void reapPictureCommands() {
    if (!command.empty()) children().reap();
}

std::size_t runningPictureCommands() { return command.empty() ? 0 : children().running(); }

}  // namespace app
