#pragma once
// What the MQTT events say: a picture as a vehicle message and as JPEG
// bytes, and the configurations that make a Home Assistant device.
#include <string>
#include <vector>

#include "app/picture_record.h"
#include "platform/mqtt/outgoing_queue.h"

namespace app {

// The picture log's columns as a JSON object, numbers as numbers, empty
// fields as null, with the camera's name first.
std::string pictureVehicleJson(const PictureRecord& record, const std::string& cameraName);

// The picture as JPEG bytes: its full-size copy when there is one, else the
// BMP encoded. Empty, with the reason, when neither can be read.
std::string pictureJpeg(const PictureRecord& record, std::string& failure);

// Home Assistant's MQTT discovery: retained configurations under
// homeassistant/ for the sensors read from `topicRoot`'s topics and the
// image entity of the newest picture.
std::vector<platform::mqtt::Message> discoveryConfigs(const std::string& topicRoot,
                                                      const std::string& cameraName);

// The every-vehicle mode's: the last vehicle's speed, read from `vehicle`.
std::vector<platform::mqtt::Message> surveyDiscoveryConfigs(const std::string& topicRoot,
                                                            const std::string& cameraName);
// A direction's vehicles and v85 in the interval so far, read from `interval`.
std::vector<platform::mqtt::Message> directionDiscoveryConfigs(const std::string& topicRoot,
                                                               const std::string& cameraName,
                                                               const std::string& direction);

constexpr const char* homeAssistantStatusTopic = "homeassistant/status";

}  // namespace app
