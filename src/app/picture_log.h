#pragma once
// The event log tavomotion-pictures.csv in the save directory: one line per
// picture, appended as soon as its save has been decided, CSV as RFC 4180
// has it.
#include <string>
#include <vector>

#include "app/picture_record.h"

namespace app {

// A field as CSV holds it: quoted, with its quotes doubled, when it holds a
// comma, a quote, a line break or a blank at either end.
std::string csvField(const std::string& text);
std::string csvLine(const std::vector<std::string>& fields);

// The fields of one CSV line; a field in quotes may hold commas and doubled
// quotes.
std::vector<std::string> csvFields(const std::string& line);

// The log's path: in the save directory, or the working directory.
std::string pictureLogPath(const std::string& saveDirectory);

// Appends the record's line; a line that cannot be written is said on
// standard error, and not tried again.
void logPicture(const PictureRecord& record);

// With a cap on the pictures, or room kept free, the log is renamed to .1 at
// this size.
constexpr std::int64_t pictureLogRotateBytes = 1 << 20;

}  // namespace app
