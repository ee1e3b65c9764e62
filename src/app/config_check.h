#pragma once
// Mistakes in tavomotion.ini that the reading itself passes over in silence:
// a misspelt key, a number that is none, a directory with a blank, a save
// directory where no picture can be written. Told on standard error; the run
// then goes on as the file says.
#include <string>
#include <vector>

namespace app {

// One line per mistake, "tavomotion.ini line N: ...", for the file's text
// `text` taken word by word as readConfigFile takes it.
std::vector<std::string> configFileMistakes(const std::string& text);

// The known key nearest to `word` (a misspelling, another letter case, part
// of a key); empty when none is near.
std::string nearestConfigKey(const std::string& word);

// Empty when a picture can be written into `directory` (the working
// directory when empty), otherwise the line that says why not.
std::string saveDirectoryMistake(const std::string& directory);

// Reads tavomotion.ini as the run does, telling every mistake found on
// standard error. `mistakes` counts them. The reason the run cannot start
// (a value the reading refuses), empty when it can.
std::string readCheckedConfig(int& mistakes);

}  // namespace app
