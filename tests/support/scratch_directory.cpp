#include "support/scratch_directory.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>

namespace testing_support {

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
    static std::atomic<int> serial{0};
    path_ = fs::temp_directory_path() /
            ("tavo-test-" + std::to_string(getpid()) + "-" + std::to_string(serial.fetch_add(1)));
    fs::remove_all(path_);
    fs::create_directories(path_);
    previous_ = fs::current_path();
    fs::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void ScratchDirectory::write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

std::string ScratchDirectory::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
