#pragma once
// --on-picture PROGRAM: each saved picture handed to the user's program in
// the background, at most four at once.
#include <string>

#include "app/picture_record.h"

namespace app {

constexpr std::size_t pictureCommandLimit = 4;

// The program to run; none when empty.
void setPictureCommand(const std::string& program);

// Starts the program for a saved picture, with its path as the argument and
// the record in TAVO_ variables; said on standard error when it cannot start
// or four are still running.
void runPictureCommand(const PictureRecord& record);

// Collects the commands that have ended, without waiting.
void reapPictureCommands();
std::size_t runningPictureCommands();

}  // namespace app
