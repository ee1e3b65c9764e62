#pragma once
// What follows a picture once its save has been decided: the full-size copy
// beside it, its line in the event log, the user's command.
#include <string>

#include "app/picture_record.h"

namespace app {

// `record` holds the number, the file and the figures that decided; `failure`
// is empty when the picture was saved.
void followUpPicture(PictureRecord record, const std::string& failure, const FrameExtras& extras);

// Picture commands still running when the program ends are left to finish;
// standard error says how many.
void leavePictureCommands();

}  // namespace app
