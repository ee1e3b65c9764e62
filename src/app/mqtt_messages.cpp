#include "app/mqtt_messages.h"

#include <fstream>
#include <iterator>
#include <set>

#include "app/contact_sheet/bmp_reader.h"
#include "app/version.h"
#include "app/web/json_text.h"
#include "platform/files/jpeg_encoder.h"

namespace app {
namespace {

constexpr int pictureQuality = 90;

using web::jsonString;

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Sensor {
    std::string id;
    std::string name;
    std::string topic;  // under the topic root
    std::string valueTemplate;
    std::string extra;  // more members of the configuration, each with its leading comma
};

const char* const speedMembers =
    ",\"unit_of_measurement\":\"km/h\",\"device_class\":\"speed\",\"state_class\":\"measurement\"";

const std::vector<Sensor> sensors = {
    {"state", "State", "status", "{{ value_json.state }}", ",\"icon\":\"mdi:cctv\""},
    {"pictures", "Pictures this run", "status", "{{ value_json.picturesSaved }}",
     ",\"state_class\":\"total_increasing\",\"icon\":\"mdi:image-multiple\""},
    {"last_picture", "Last picture", "status", "{{ value_json.lastPicture }}", ",\"icon\":\"mdi:image\""},
    {"fps", "Frame rate", "status", "{{ value_json.fps }}",
     ",\"unit_of_measurement\":\"fps\",\"state_class\":\"measurement\""},
    {"last_vehicle", "Last vehicle", "vehicle", "{{ value_json.time }}", ",\"device_class\":\"timestamp\""},
};

std::string deviceJson(const std::string& cameraName) {
    return "{\"identifiers\":[" + jsonString("tavomotion_" + cameraName) +
           "],\"name\":" + jsonString("tavomotion " + cameraName) +
           ",\"model\":\"tavomotion\",\"sw_version\":" + jsonString(programVersion) + "}";
}

std::string commonMembers(const std::string& id, const std::string& name, const std::string& topicRoot,
                          const std::string& cameraName) {
    return "{\"name\":" + jsonString(name) +
           ",\"unique_id\":" + jsonString("tavomotion_" + cameraName + "_" + id) +
           ",\"availability_topic\":" + jsonString(topicRoot + "available") +
           ",\"device\":" + deviceJson(cameraName);
}

platform::mqtt::Message sensorConfig(const Sensor& sensor, const std::string& topicRoot,
                                     const std::string& cameraName) {
    std::string config = commonMembers(sensor.id, sensor.name, topicRoot, cameraName) +
                         ",\"state_topic\":" + jsonString(topicRoot + sensor.topic) +
                         ",\"value_template\":" + jsonString(sensor.valueTemplate) + sensor.extra + "}";
    return {"homeassistant/sensor/tavomotion_" + cameraName + "/" + sensor.id + "/config", std::move(config),
            true};
}

}  // namespace

std::string pictureVehicleJson(const PictureRecord& record, const std::string& cameraName) {
    static const std::set<std::string> numbers = {"number", "position", "window_difference", "black_value",
                                                  "window_covered"};
    const std::vector<std::string> columns = pictureLogColumns();
    const std::vector<std::string> fields = pictureLogFields(record);
    std::string json = "{\"camera\":" + jsonString(cameraName);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string value = fields[i].empty()              ? "null"
                                  : numbers.contains(columns[i]) ? fields[i]
                                                                 : jsonString(fields[i]);
        json += "," + jsonString(columns[i]) + ":" + value;
    }
    return json + "}";
}

std::string pictureJpeg(const PictureRecord& record, std::string& failure) {
    if (!record.fullSizeFile.empty()) {
        std::string bytes = readWholeFile(record.fullSizeFile);
        if (!bytes.empty()) return bytes;
    }
    const std::optional<platform::Canvas> picture = readTriggerBmp(record.file, failure);
    if (!picture) return "";
    const platform::PixelRows rows{picture->row(0), picture->width(), picture->height(),
                                   picture->width() * 3L, false};
    const std::vector<std::uint8_t> jpeg = platform::encodeJpeg(rows, pictureQuality, failure);
    return std::string(jpeg.begin(), jpeg.end());
}

std::vector<platform::mqtt::Message> discoveryConfigs(const std::string& topicRoot,
                                                      const std::string& cameraName) {
    std::vector<platform::mqtt::Message> configs;
    for (const Sensor& sensor : sensors) configs.push_back(sensorConfig(sensor, topicRoot, cameraName));
    std::string image = commonMembers("picture", "Newest picture", topicRoot, cameraName) +
                        ",\"image_topic\":" + jsonString(topicRoot + "picture") +
                        ",\"content_type\":\"image/jpeg\"}";
    configs.push_back(
        {"homeassistant/image/tavomotion_" + cameraName + "/picture/config", std::move(image), true});
    return configs;
}

std::vector<platform::mqtt::Message> surveyDiscoveryConfigs(const std::string& topicRoot,
                                                            const std::string& cameraName) {
    const Sensor lastSpeed{"last_speed", "Last speed", "vehicle", "{{ value_json.speed_kmh }}", speedMembers};
    return {sensorConfig(lastSpeed, topicRoot, cameraName)};
}

std::vector<platform::mqtt::Message> directionDiscoveryConfigs(const std::string& topicRoot,
                                                               const std::string& cameraName,
                                                               const std::string& direction) {
    // A direction not seen since the program started is absent from `interval`.
    const std::string figures = "{{ value_json.directions." + direction;
    const Sensor vehicles{"vehicles_" + direction, "Vehicles this interval " + direction, "interval",
                          figures + ".all | default(0) }}",
                          ",\"state_class\":\"measurement\",\"icon\":\"mdi:car-multiple\""};
    const Sensor v85{"v85_" + direction, "v85 this interval " + direction, "interval",
                     figures + ".v85_kmh | default(None) }}", speedMembers};
    return {sensorConfig(vehicles, topicRoot, cameraName), sensorConfig(v85, topicRoot, cameraName)};
}

}  // namespace app
