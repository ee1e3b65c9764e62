#pragma once
// The synthetic road scene as the fault tests run it, and what they check
// in its console trace and its pictures.
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// Seed 20 passes a vehicle every few seconds of scene.
std::vector<std::string> fastSceneFor(const std::string& seconds);

// `trace` with the line `inserted` after every `line` that ends a line, also
// where the trace carries on an earlier line without a line break.
std::string withLineAfterEach(const std::string& trace, const std::string& line, const std::string& inserted);

// `trace` with "unable to save grabbed file [NAME]" after every
// "saving grabbed file [NAME]" line from the `skipped`-th on.
std::string withPicturesUnsaved(const std::string& trace, int skipped = 0);

int linesStartingWith(const std::string& text, const std::string& start);

std::string fileContent(const std::filesystem::path& path);

// `directory` made ready for a run that saves its pictures in its folder
// "pictures" (created, and named in its tavomotion.ini).
std::filesystem::path preparedCamera(const std::filesystem::path& directory);

// The names in `directory`, sorted.
std::vector<std::string> namesIn(const std::filesystem::path& directory);

// The tavo_N.bmp names in `directory` shorter than a whole 320 x 240 picture.
std::vector<std::string> cutPictures(const std::filesystem::path& directory);

constexpr std::uintmax_t wholePictureBytes = 54 + 230400;

}  // namespace testing_support
