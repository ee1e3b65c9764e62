#pragma once
// A real mosquitto broker on 127.0.0.1 for the MQTT tests, and a client
// that records what it receives.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace testing_support {

class MqttBroker {
public:
    // Started on `port` (0: a free one) with `moreConfiguration` (lines of
    // mosquitto.conf; anonymous clients allowed unless it says otherwise);
    // ready when the constructor returns.
    explicit MqttBroker(const std::string& directory, const std::string& moreConfiguration = "",
                        int port = 0);
    ~MqttBroker();
    MqttBroker(const MqttBroker&) = delete;
    MqttBroker& operator=(const MqttBroker&) = delete;

    int port() const { return port_; }
    std::string url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }
    bool running() const { return child_ > 0; }

private:
    int port_ = 0;
    pid_t child_ = -1;
};

struct ReceivedMessage {
    std::string topic;
    std::string payload;
    bool retained = false;  // sent because retained, not as it was published
};

class MqttListener {
public:
    // Connected and subscribed to `pattern` when the constructor returns.
    // With a `sessionName` the broker keeps the session and what comes for it
    // while the listener is away (it reconnects on its own).
    MqttListener(int port, const std::string& pattern, const std::string& sessionName = "");
    ~MqttListener();
    MqttListener(const MqttListener&) = delete;
    MqttListener& operator=(const MqttListener&) = delete;

    std::vector<ReceivedMessage> messages();
    std::vector<ReceivedMessage> messagesOn(const std::string& topic);
    // Waits up to `patience` for a message `wanted` accepts; whether one came.
    bool waitFor(const std::function<bool(const ReceivedMessage&)>& wanted,
                 std::chrono::milliseconds patience);
    void publish(const std::string& topic, const std::string& payload);

private:
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);
    mosquitto* session_ = nullptr;
    std::mutex mutex_;
    std::vector<ReceivedMessage> messages_;
};

}  // namespace testing_support
