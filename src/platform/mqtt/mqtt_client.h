#pragma once
// An MQTT client (libmosquitto) on a thread of its own: it connects, keeps
// reconnecting with back-off while the broker is away, and sends what it is
// handed from a bounded queue. Handing a message over never waits on the
// network. It knows topics and bytes, nothing of what they mean.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/mqtt/broker_url.h"
#include "platform/mqtt/outgoing_queue.h"

struct mosquitto;

namespace platform::mqtt {

struct ClientSettings {
    BrokerAddress broker;
    std::string clientId;
    std::optional<std::pair<std::string, std::string>> userAndPassword;
    std::string caFile;  // TLS: empty for the system's certificate store
    // Retained, QoS 1: `greeting` is sent first on every connection, `lastWill`
    // by the broker when the connection ends without a clean stop.
    Message greeting;
    Message lastWill;
    std::vector<std::string> subscriptions;
    std::size_t eventLimit = 1000;
};

struct ClientEvents {
    // On the client's thread; they may hand messages over.
    std::function<void()> connected;
    std::function<void(const std::string& topic, const std::string& payload)> received;
};

class Client {
public:
    // Nothing, with the reason, when the settings cannot be used (a CA file
    // that cannot be read, ...). A broker that is not there is no failure:
    // the client tries again, 1 s and then up to 60 s apart.
    static std::unique_ptr<Client> start(ClientSettings settings, ClientEvents events, std::string& failure);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Sent with QoS 1, after what waits already; see OutgoingQueue for the bound.
    void publish(Message message);
    std::uint64_t dropped();

    // Connected: sends what waits and then `farewell` within `patience`, and
    // disconnects; if that takes longer, the connection is dropped and the
    // broker sends the last will. Not connected: ends at once.
    void stop(Message farewell, std::chrono::milliseconds patience);

private:
    using Clock = std::chrono::steady_clock;
    Client(ClientSettings settings, ClientEvents events);
    std::string prepare();
    void run();
    void connect(Clock::time_point now);
    void sendWaiting();
    bool finishStop(Clock::time_point now);
    void waitForWork(Clock::time_point now, bool stopping);
    void reportDrops(Clock::time_point now);
    void sayOnce(const std::string& problem);
    std::string reasonOf(int code) const;

    void onConnect(int code);
    void onDisconnect(int code);
    void onPublish();

    ClientSettings settings_;
    ClientEvents events_;
    mosquitto* session_ = nullptr;
    int wakeDescriptor_ = -1;
    std::thread thread_;

    std::mutex mutex_;  // guards queue_ and the stop request
    OutgoingQueue queue_;
    bool stopRequested_ = false;
    Message farewell_;
    Clock::time_point stopDeadline_;

    // The client thread's own.
    bool socketOpen_ = false;
    bool connected_ = false;
    bool farewellSent_ = false;
    int inFlight_ = 0;
    int delaySeconds_ = 1;
    Clock::time_point nextAttempt_;
    Clock::time_point connectStarted_;
    std::string refusal_;    // the broker's answer to the last connection attempt
    std::string lastError_;  // the library's last error line (TLS)
    std::string said_;       // the last problem said on standard error
    std::uint64_t droppedSaid_ = 0;
    Clock::time_point nextDropReport_;

    friend struct Callbacks;
};

}  // namespace platform::mqtt
