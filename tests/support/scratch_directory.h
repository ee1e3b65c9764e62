#pragma once
// A fresh working directory for one test, removed afterwards.
#include <filesystem>
#include <string>

namespace testing_support {

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

}  // namespace testing_support
