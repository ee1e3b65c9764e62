#include "app/mqtt_events.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "app/mqtt_messages.h"
#include "app/mqtt_settings.h"
#include "app/web/picture_files.h"
#include "app/web/status_board.h"
#include "app/web/status_json.h"
#include "platform/clock/clock.h"

namespace app {
namespace {

constexpr std::int64_t statusIntervalNanoseconds = 60'000'000'000;
constexpr auto stopPatience = std::chrono::seconds(3);
constexpr int usageStatus = 2;

using platform::mqtt::Message;

struct Events {
    MqttSetup setup;
    std::vector<Message> discovery;
    std::set<std::string> directionsDiscovered;
    std::unique_ptr<platform::mqtt::Client> client;
    // Set on the client's thread, acted on by the watching loop's.
    std::atomic<bool> statusWanted{false};
    std::atomic<bool> discoveryWanted{false};
    std::string lastState;  // its words only
    std::int64_t startedNanoseconds = 0;
    std::int64_t nextStatusNanoseconds = 0;
};

MqttRequest commandLineRequest;
bool recordsFromSurvey = false;
std::unique_ptr<Events> events;

void publish(const std::string& topic, std::string payload, bool retain) {
    events->client->publish(Message{events->setup.topicRoot + topic, std::move(payload), retain});
}

std::string statusText(const web::RunningFigures& figures, std::int64_t now) {
    web::StatusExtras extras;
    extras.uptimeSeconds = (now - events->startedNanoseconds) / 1'000'000'000;
    extras.lastPictureTime = web::savedFileTime(figures.saveDirectory, figures.lastPicture);
    extras.eventLog = web::savedFileExists(figures.saveDirectory, web::eventLogName);
    extras.messagesDropped = events->client->dropped();
    return web::statusJson(figures, extras);
}

// The every-vehicle mode's state carries running figures (vehicles in the
// window, cover, noise, ...) that change every few frames: no change of state.
std::string stateWords(const std::string& state) {
    std::string words;
    for (const char c : state) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0 && c != '.' && c != '+' && c != '-') words += c;
    }
    return words;
}

void publishStatus(const web::RunningFigures& figures, std::int64_t now) {
    events->lastState = stateWords(figures.state);
    events->nextStatusNanoseconds = now + statusIntervalNanoseconds;
    publish("status", statusText(figures, now), true);
}

// Sensors that become known during the run: told now, and again with the rest.
void discover(std::vector<Message> configs) {
    for (Message& config : configs) {
        events->client->publish(config);
        events->discovery.push_back(std::move(config));
    }
}

// What the client's thread asked for since the last look.
void publishWanted(std::int64_t now) {
    if (events->discoveryWanted.exchange(false)) {
        for (const Message& config : events->discovery) events->client->publish(config);
    }
    if (events->statusWanted.exchange(false)) publishStatus(web::currentFigures(), now);
}

platform::mqtt::ClientEvents clientEvents(Events& owner) {
    platform::mqtt::ClientEvents handlers;
    handlers.connected = [&owner] {
        owner.statusWanted = true;
        owner.discoveryWanted = owner.setup.discovery;
    };
    // Home Assistant forgets the devices it was told of when it restarts.
    handlers.received = [&owner](const std::string& topic, const std::string& payload) {
        if (topic == homeAssistantStatusTopic && payload == "online")
            owner.discoveryWanted = owner.setup.discovery;
    };
    return handlers;
}

[[noreturn]] void refuse(const std::string& failure) {
    std::fprintf(stderr, "tavomotion: %s\n", failure.c_str());
    std::exit(usageStatus);
}

}  // namespace

std::string cameraName() {
    return withConfigFile(commandLineRequest).cameraName.value_or(defaultCameraName());
}

std::string requestMqttEvents(const MqttRequest& request) {
    commandLineRequest = request;
    // Without a URL the file may still name a broker: checked once it is read.
    if (!request.url) return "";
    std::string failure;
    mqttSetupFor(request, failure);
    return failure;
}

void startMqttEvents() {
    if (events) return;
    std::string failure;
    std::optional<MqttSetup> setup = mqttSetupFor(withConfigFile(commandLineRequest), failure);
    if (!failure.empty()) refuse(failure);
    if (!setup) return;
    events = std::make_unique<Events>();
    events->setup = std::move(*setup);
    if (events->setup.discovery) {
        events->discovery = discoveryConfigs(events->setup.topicRoot, events->setup.cameraName);
        events->setup.client.subscriptions.push_back(homeAssistantStatusTopic);
    }
    events->startedNanoseconds = platform::clock::realNanoseconds();
    events->nextStatusNanoseconds = events->startedNanoseconds + statusIntervalNanoseconds;
    events->client = platform::mqtt::Client::start(events->setup.client, clientEvents(*events), failure);
    if (!events->client) refuse(failure);
    // Also on the fatal exits, which end the program without returning.
    std::atexit(stopMqttEvents);
}

void stopMqttEvents() {
    if (!events) return;
    const std::int64_t now = platform::clock::realNanoseconds();
    publishWanted(now);
    // The retained status shows where the run ended.
    publishStatus(web::currentFigures(), now);
    events->client->stop(Message{events->setup.topicRoot + "available", "offline", true}, stopPatience);
    events.reset();
}

void publishPictureEvent(const PictureRecord& record) {
    if (!events) return;
    if (!recordsFromSurvey) publish("vehicle", pictureVehicleJson(record, events->setup.cameraName), false);
    if (record.outcome != "saved") return;
    std::string failure;
    std::string jpeg = pictureJpeg(record, failure);
    if (jpeg.empty())
        std::fprintf(stderr, "tavomotion: MQTT picture not sent: %s: %s\n", record.file.c_str(),
                     failure.c_str());
    else
        publish("picture", std::move(jpeg), true);
}

void publishVehicleRecord(const std::string& json) {
    if (events) publish("vehicle", json, false);
}

void publishCounts(const std::string& json) {
    if (events) publish("counts", json, true);
}

void publishCurrentInterval(const std::string& json) {
    if (events) publish("interval", json, true);
}

void discoverDirection(const std::string& direction) {
    if (!events || !events->setup.discovery || !events->directionsDiscovered.insert(direction).second) return;
    discover(directionDiscoveryConfigs(events->setup.topicRoot, events->setup.cameraName, direction));
}

void takeVehicleRecordsFromSurvey() {
    recordsFromSurvey = true;
    if (events && events->setup.discovery)
        discover(surveyDiscoveryConfigs(events->setup.topicRoot, events->setup.cameraName));
}

void offerToMqtt() {
    if (!events) return;
    const std::int64_t now = platform::clock::realNanoseconds();
    publishWanted(now);
    const web::RunningFigures figures = web::currentFigures();
    if (stateWords(figures.state) != events->lastState || now >= events->nextStatusNanoseconds)
        publishStatus(figures, now);
}

bool mqttEventsOn() { return events != nullptr; }

}  // namespace app
