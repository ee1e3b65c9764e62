#pragma once
// The program's events on an MQTT broker (--mqtt), all under PREFIX/NAME/:
// `available` (online, offline, the last will), `vehicle` (a JSON message per
// picture, or per vehicle record when the survey gives them), `picture` (the
// newest as JPEG), `counts`, `interval`, `status` (the web view's figures) and
// Home Assistant's discovery. The watching never waits for the broker; without
// --mqtt all of this does nothing.
#include <string>

#include "app/picture_record.h"

namespace app {

struct MqttRequest;

// The command line's request, checked before anything starts: the reason
// when a value is wrong.
std::string requestMqttEvents(const MqttRequest& request);

// The camera's name as MQTT uses it (--camera-name, else CAMERA_NAME of
// tavomotion.ini, else the host name), for the web view too.
std::string cameraName();

// Once tavomotion.ini is read: connects (in the background) when a broker is
// named. A wrong value from the file ends the program with status 2.
void startMqttEvents();

// Sends what waits and `offline`, waiting a few seconds at most, and only
// while the broker is connected.
void stopMqttEvents();

// A picture's save has been decided: its vehicle message (unless vehicle
// records come from the survey) and, once saved, the picture itself.
void publishPictureEvent(const PictureRecord& record);

// The survey's hand-over, JSON objects formed by the caller:
// one vehicle record (the vehicle log's fields, the picture's file name, the
// mode) on `vehicle`, and one closed interval's counts on `counts` (retained).
void publishVehicleRecord(const std::string& json);
void publishCounts(const std::string& json);
// The newest interval so far (retained on `interval`), and a direction it
// has, whose sensors Home Assistant is told of the first time.
void publishCurrentInterval(const std::string& json);
void discoverDirection(const std::string& direction);
// From now on `vehicle` carries the survey's records only, not a message
// per picture; called once before the first picture.
void takeVehicleRecordsFromSurvey();

// After each paint: the status when its state has changed, and once a minute.
void offerToMqtt();

// Whether a broker was named: its status reads the running figures.
bool mqttEventsOn();

}  // namespace app
