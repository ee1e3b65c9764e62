#pragma once
// What the user asks of the MQTT events: the options of the command line and
// the keys MQTT and CAMERA_NAME of tavomotion.ini (the command line wins).
#include <cstdio>
#include <optional>
#include <string>

#include "platform/mqtt/mqtt_client.h"

namespace app {

struct MqttRequest {
    std::optional<std::string> url;
    std::optional<std::string> authFile;
    std::optional<std::string> caFile;
    std::optional<std::string> cameraName;
    std::optional<std::string> prefix;
    bool discovery = false;
};

// The command line's MQTT options: whether `option` is one that takes a
// value, and applying it (an error text when it is wrong).
bool takesMqttValue(const std::string& option);
std::string applyMqttOption(MqttRequest& request, const std::string& option, const std::string& value);
bool isMqttFlag(const std::string& flag);
void applyMqttFlag(MqttRequest& request, const std::string& flag);
std::string mqttUsage();

// tavomotion.ini: true when `token` was an MQTT key (its value read from `file`).
bool applyMqttKey(std::FILE* file, const char* token);
// What tavomotion.ini said, merged under what the command line said.
MqttRequest withConfigFile(MqttRequest request);
void forgetMqttKeys();

// The camera's name in topics: letters, digits, - and _.
bool isCameraName(const std::string& name);
// The host name, cut at its first dot, other characters made '_'.
std::string defaultCameraName();

struct MqttSetup {
    platform::mqtt::ClientSettings client;
    std::string topicRoot;  // PREFIX/NAME/
    std::string cameraName;
    bool discovery = false;
};

// The client's settings for `request` (credentials read from their file);
// nothing, with the reason, when a value is wrong. No URL: nothing, no reason.
std::optional<MqttSetup> mqttSetupFor(const MqttRequest& request, std::string& failure);

}  // namespace app
