#include "app/mqtt_settings.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/console/console.h"
#include "platform/http/credentials_file.h"

namespace app {
namespace {

constexpr const char* defaultPrefix = "tavomotion";
constexpr std::size_t longestName = 64;
constexpr const char* nameCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_";

MqttRequest fromConfigFile;

// Levels of letters, digits, - and _ joined by single slashes: no wildcard,
// no empty level.
bool isTopicPrefix(const std::string& prefix) {
    if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/') return false;
    if (prefix.find("//") != std::string::npos) return false;
    return prefix.find_first_not_of(std::string(nameCharacters) + "/") == std::string::npos;
}

std::string checkedValue(const std::string& option, const std::string& value) {
    if (value.empty()) return option + " needs a value";
    if (option == "--camera-name" && !isCameraName(value))
        return "--camera-name takes letters, digits, - and _ (at most 64), not '" + value + "'";
    if (option == "--mqtt-prefix" && !isTopicPrefix(value))
        return "--mqtt-prefix takes topic levels of letters, digits, - and _ joined by /, not '" + value +
               "'";
    return "";
}

}  // namespace

bool takesMqttValue(const std::string& option) {
    return option == "--mqtt" || option == "--mqtt-auth" || option == "--mqtt-ca" ||
           option == "--mqtt-prefix" || option == "--camera-name";
}

std::string applyMqttOption(MqttRequest& request, const std::string& option, const std::string& value) {
    const std::string problem = checkedValue(option, value);
    if (!problem.empty()) return problem;
    if (option == "--mqtt") request.url = value;
    if (option == "--mqtt-auth") request.authFile = value;
    if (option == "--mqtt-ca") request.caFile = value;
    if (option == "--mqtt-prefix") request.prefix = value;
    if (option == "--camera-name") request.cameraName = value;
    return "";
}

bool isMqttFlag(const std::string& flag) { return flag == "--mqtt-discovery"; }

void applyMqttFlag(MqttRequest& request, const std::string&) { request.discovery = true; }

std::string mqttUsage() {
    return "  --mqtt URL          send each picture, the newest picture and the status to an MQTT\n"
           "                      broker, mqtt://HOST[:PORT] or mqtts://HOST[:PORT] (TLS) (also\n"
           "                      the key MQTT in tavomotion.ini)\n"
           "  --mqtt-auth FILE    log in to the broker with the one user:password line of FILE\n"
           "                      (a file only its owner may read)\n"
           "  --mqtt-ca FILE      TLS: trust the certificates of FILE instead of the system's\n"
           "  --mqtt-prefix PREFIX\n"
           "                      the topics' first levels (default tavomotion)\n"
           "  --mqtt-discovery    announce the camera to Home Assistant (homeassistant/...)\n"
           "  --camera-name NAME  the camera's name in topics and on the web page: letters, digits,\n"
           "                      - and _ (default the host name; also the key CAMERA_NAME in\n"
           "                      tavomotion.ini)\n";
}

bool applyMqttKey(std::FILE* file, const char* token) {
    const std::string key = token;
    if (key != "MQTT" && key != "CAMERA_NAME") return false;
    char value[256] = "";
    static_cast<void>(std::fscanf(file, "%255s", value));
    if (key == "MQTT") {
        fromConfigFile.url = value;
        platform::console::print("MQTT broker %s\n", value);
    } else {
        fromConfigFile.cameraName = value;
        platform::console::print("camera name %s\n", value);
    }
    return true;
}

MqttRequest withConfigFile(MqttRequest request) {
    if (!request.url) request.url = fromConfigFile.url;
    if (!request.cameraName) request.cameraName = fromConfigFile.cameraName;
    return request;
}

void forgetMqttKeys() { fromConfigFile = MqttRequest{}; }

bool isCameraName(const std::string& name) {
    return !name.empty() && name.size() <= longestName &&
           name.find_first_not_of(nameCharacters) == std::string::npos;
}

std::string defaultCameraName() {
    char host[256] = "";
    if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    std::string name = host;
    name = name.substr(0, std::min(name.find('.'), longestName));
    for (char& c : name) {
        if (std::string(nameCharacters).find(c) == std::string::npos) c = '_';
    }
    return name.empty() ? "camera" : name;
}

std::optional<MqttSetup> mqttSetupFor(const MqttRequest& request, std::string& failure) {
    failure.clear();
    if (!request.url) {
        if (request.authFile || request.caFile || request.prefix || request.discovery)
            failure =
                "--mqtt-auth, --mqtt-ca, --mqtt-prefix and --mqtt-discovery need --mqtt (or the key MQTT)";
        return std::nullopt;
    }
    MqttSetup setup;
    const std::optional<platform::mqtt::BrokerAddress> broker =
        platform::mqtt::parseBrokerUrl(*request.url, failure);
    if (!broker) return std::nullopt;
    if (request.caFile && !broker->tls) {
        failure = "--mqtt-ca needs an mqtts:// broker";
        return std::nullopt;
    }
    setup.cameraName = request.cameraName.value_or(defaultCameraName());
    if (!isCameraName(setup.cameraName)) {
        failure =
            "the camera name takes letters, digits, - and _ (at most 64), not '" + setup.cameraName + "'";
        return std::nullopt;
    }
    platform::mqtt::ClientSettings& client = setup.client;
    client.broker = *broker;
    if (request.authFile) {
        const auto credentials =
            platform::http::readCredentialsFile(*request.authFile, failure, "--mqtt-auth");
        if (!credentials) return std::nullopt;
        client.userAndPassword = {credentials->user, credentials->password};
    }
    client.caFile = request.caFile.value_or("");
    if (!client.caFile.empty() && !std::ifstream(client.caFile).good()) {
        failure = "--mqtt-ca " + client.caFile + ": " + std::strerror(errno);
        return std::nullopt;
    }
    setup.topicRoot = request.prefix.value_or(defaultPrefix) + "/" + setup.cameraName + "/";
    client.clientId = "tavomotion-" + setup.cameraName;
    client.greeting = {setup.topicRoot + "available", "online", true};
    client.lastWill = {setup.topicRoot + "available", "offline", true};
    setup.discovery = request.discovery;
    return setup;
}

}  // namespace app
