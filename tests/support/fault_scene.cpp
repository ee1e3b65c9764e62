#include "support/fault_scene.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

std::vector<std::string> fastSceneFor(const std::string& seconds) {
    return {"0", "--source", "synthetic:20", "--fast", "--headless", "--run-for", seconds};
}

fs::path preparedCamera(const fs::path& directory) {
    fs::create_directories(directory / "pictures");
    std::ofstream(directory / "tavomotion.ini") << "IMAGES_SAVE_DIRECTORY pictures\n";
    return directory;
}

std::string withLineAfterEach(const std::string& trace, const std::string& line,
                              const std::string& inserted) {
    const std::string ending = line + "\n";
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = trace.find(ending); at != std::string::npos; at = trace.find(ending, from)) {
        result.append(trace, from, at + ending.size() - from);
        result += inserted + "\n";
        from = at + ending.size();
    }
    return result + trace.substr(from);
}

std::string withPicturesUnsaved(const std::string& trace, int skipped) {
    const std::string saving = "saving grabbed file [";
    std::istringstream lines(trace);
    std::string result;
    std::string current;
    int seen = 0;
    while (std::getline(lines, current)) {
        result += current + "\n";
        if (current.rfind(saving, 0) == 0 && seen++ >= skipped)
            result += "unable to save " + current.substr(7) + "\n";
    }
    if (!trace.empty() && trace.back() != '\n') result.pop_back();
    return result;
}

int linesStartingWith(const std::string& text, const std::string& start) {
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) count += line.rfind(start, 0) == 0 ? 1 : 0;
    return count;
}

std::string fileContent(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> cutPictures(const fs::path& directory) {
    std::vector<std::string> cut;
    for (const std::string& name : namesIn(directory)) {
        const bool picture = name.rfind("tavo_", 0) == 0 && name.ends_with(".bmp");
        if (picture && fs::file_size(directory / name) < wholePictureBytes) cut.push_back(name);
    }
    return cut;
}

}  // namespace testing_support
