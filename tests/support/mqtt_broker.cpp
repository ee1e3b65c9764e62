#include "support/mqtt_broker.h"

#include <mosquitto.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <thread>

#include "support/http_client.h"

namespace testing_support {
namespace {

std::string brokerProgram() {
    for (const char* path : {"/usr/sbin/mosquitto", "/usr/bin/mosquitto"}) {
        if (::access(path, X_OK) == 0) return path;
    }
    return "mosquitto";
}

}  // namespace

MqttBroker::MqttBroker(const std::string& directory, const std::string& moreConfiguration, int port) {
    port_ = port != 0 ? port : freePort();
    const std::string configuration = directory + "/mosquitto.conf";
    // Run as root, mosquitto would become the user mosquitto, who may not write here.
    const passwd* user = ::getpwuid(::geteuid());
    const bool anonymous = moreConfiguration.find("allow_anonymous") == std::string::npos;
    std::ofstream(configuration) << "listener " << port_ << " 127.0.0.1\n"
                                 << (anonymous ? "allow_anonymous true\n" : "") << "user "
                                 << (user != nullptr ? user->pw_name : "root") << "\n"
                                 << moreConfiguration;
    const std::string log = directory + "/mosquitto.log";
    child_ = ::fork();
    if (child_ == 0) {
        std::freopen(log.c_str(), "w", stdout);
        std::freopen(log.c_str(), "a", stderr);
        const std::string program = brokerProgram();
        ::execlp(program.c_str(), program.c_str(), "-c", configuration.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (!waitForListener(port_, 10)) throw std::runtime_error("mosquitto did not start: see " + log);
}

MqttBroker::~MqttBroker() {
    if (child_ <= 0) return;
    ::kill(child_, SIGTERM);
    ::waitpid(child_, nullptr, 0);
}

MqttListener::MqttListener(int port, const std::string& pattern, const std::string& sessionName) {
    mosquitto_lib_init();
    session_ = sessionName.empty() ? mosquitto_new(nullptr, true, this)
                                   : mosquitto_new(sessionName.c_str(), false, this);
    mosquitto_message_callback_set(session_, onMessage);
    if (mosquitto_connect(session_, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS ||
        mosquitto_subscribe(session_, nullptr, pattern.c_str(), 1) != MOSQ_ERR_SUCCESS ||
        mosquitto_loop_start(session_) != MOSQ_ERR_SUCCESS)
        throw std::runtime_error("the test's MQTT client did not connect");
    // The subscription is in place once a message of our own comes back.
    const std::string probe = "tavo-test/probe/" + std::to_string(::getpid());
    mosquitto_subscribe(session_, nullptr, probe.c_str(), 1);
    publish(probe, "probe");
    if (!waitFor([&](const ReceivedMessage& m) { return m.topic == probe; }, std::chrono::seconds(5)))
        throw std::runtime_error("the test's MQTT subscription did not start");
}

MqttListener::~MqttListener() {
    mosquitto_disconnect(session_);
    mosquitto_loop_stop(session_, false);
    mosquitto_destroy(session_);
}

void MqttListener::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto& listener = *static_cast<MqttListener*>(self);
    const auto* bytes = static_cast<const char*>(message->payload);
    std::lock_guard lock(listener.mutex_);
    listener.messages_.push_back(
        {message->topic, std::string(bytes, bytes + message->payloadlen), message->retain});
}

std::vector<ReceivedMessage> MqttListener::messages() {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<ReceivedMessage> MqttListener::messagesOn(const std::string& topic) {
    std::vector<ReceivedMessage> found;
    for (const ReceivedMessage& message : messages()) {
        if (message.topic == topic) found.push_back(message);
    }
    return found;
}

bool MqttListener::waitFor(const std::function<bool(const ReceivedMessage&)>& wanted,
                           std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const ReceivedMessage& message : messages()) {
            if (wanted(message)) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void MqttListener::publish(const std::string& topic, const std::string& payload) {
    mosquitto_publish(session_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 1,
                      false);
}

}  // namespace testing_support
