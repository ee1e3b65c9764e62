#pragma once
// The files of the save directory the web view may send: the pictures
// tavo_N.bmp and tavo_N.jpg, and the pictures' event log.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace app::web {

constexpr const char* eventLogName = "tavomotion-pictures.csv";

struct PictureFile {
    std::string name;
    std::int64_t modifiedSeconds;  // since 1970
    std::uint64_t bytes;
};

// tavo_N.bmp or tavo_N.jpg, N of 1 to 9 digits: nothing else is a picture.
bool isPictureName(const std::string& name);

// The pictures of `directory`, newest first (by file time, then number).
std::vector<PictureFile> listPictures(const std::string& directory);

// The pictures as a JSON list of {"name", "time", "bytes"}, with "position"
// (seconds into the recording) for those `positions` has by their BMP name.
std::string picturesJson(const std::vector<PictureFile>& pictures,
                         const std::map<std::string, std::string>& positions);

// The time of `directory`/`name` as utcTime gives it; empty when it is not there.
std::string savedFileTime(const std::string& directory, const std::string& name);
// Whether `directory`/`name` is a regular file (a symbolic link is not followed).
bool savedFileExists(const std::string& directory, const std::string& name);

// Opens `name` of `directory` for reading when it is a regular file there
// (a symbolic link is not followed); -1 otherwise. `bytes` gets its size.
int openSavedFile(const std::string& directory, const std::string& name, std::uint64_t& bytes);

}  // namespace app::web
