#include "platform/mqtt/mqtt_client.h"

#include <mosquitto.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform::mqtt {
namespace {

constexpr int keepAliveSeconds = 30;
constexpr int longestDelaySeconds = 60;
constexpr int sendWindow = 20;  // messages handed to the library and not yet acknowledged
constexpr auto connectTimeout = std::chrono::seconds(15);
constexpr auto dropReportInterval = std::chrono::seconds(60);
constexpr int qualityOfService = 1;
constexpr const char* systemCertificates = "/etc/ssl/certs";

std::once_flag libraryStarted;

}  // namespace

struct Callbacks {
    static Client& of(void* data) { return *static_cast<Client*>(data); }
    static void connect(mosquitto*, void* data, int code) { of(data).onConnect(code); }
    static void disconnect(mosquitto*, void* data, int code) { of(data).onDisconnect(code); }
    static void publish(mosquitto*, void* data, int) { of(data).onPublish(); }
    static void message(mosquitto*, void* data, const mosquitto_message* message) {
        Client& client = of(data);
        if (!client.events_.received) return;
        const auto* bytes = static_cast<const char*>(message->payload);
        client.events_.received(message->topic, std::string(bytes, bytes + message->payloadlen));
    }
    static void log(mosquitto*, void* data, int level, const char* text) {
        if (level == MOSQ_LOG_ERR) of(data).lastError_ = text;
    }
};

Client::Client(ClientSettings settings, ClientEvents events)
    : settings_(std::move(settings)), events_(std::move(events)), queue_(settings_.eventLimit) {}

std::unique_ptr<Client> Client::start(ClientSettings settings, ClientEvents events, std::string& failure) {
    std::call_once(libraryStarted, [] { mosquitto_lib_init(); });
    std::unique_ptr<Client> client(new Client(std::move(settings), std::move(events)));
    failure = client->prepare();
    if (!failure.empty()) return nullptr;
    client->thread_ = std::thread([raw = client.get()] { raw->run(); });
    return client;
}

std::string Client::prepare() {
    wakeDescriptor_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeDescriptor_ < 0) return std::string("--mqtt: ") + std::strerror(errno);
    session_ = mosquitto_new(settings_.clientId.c_str(), true, this);
    if (session_ == nullptr) return std::string("--mqtt: ") + std::strerror(errno);
    mosquitto_int_option(session_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(session_, Callbacks::connect);
    mosquitto_disconnect_callback_set(session_, Callbacks::disconnect);
    mosquitto_publish_callback_set(session_, Callbacks::publish);
    mosquitto_message_callback_set(session_, Callbacks::message);
    mosquitto_log_callback_set(session_, Callbacks::log);
    const Message& will = settings_.lastWill;
    int code = mosquitto_will_set(session_, will.topic.c_str(), static_cast<int>(will.payload.size()),
                                  will.payload.data(), qualityOfService, true);
    if (code != MOSQ_ERR_SUCCESS) return "--mqtt: the last will: " + reasonOf(code);
    if (settings_.userAndPassword) {
        code = mosquitto_username_pw_set(session_, settings_.userAndPassword->first.c_str(),
                                         settings_.userAndPassword->second.c_str());
        if (code != MOSQ_ERR_SUCCESS) return "--mqtt-auth: " + reasonOf(code);
    }
    if (settings_.broker.tls) {
        // The system's store: its directory of hashed certificates, as OpenSSL reads it.
        const char* caFile = settings_.caFile.empty() ? nullptr : settings_.caFile.c_str();
        code = mosquitto_tls_set(session_, caFile, caFile == nullptr ? systemCertificates : nullptr, nullptr,
                                 nullptr, nullptr);
        if (code != MOSQ_ERR_SUCCESS) return "--mqtt-ca " + settings_.caFile + ": " + reasonOf(code);
    }
    return "";
}

Client::~Client() { stop(Message{}, std::chrono::milliseconds(0)); }

void Client::publish(Message message) {
    {
        std::lock_guard lock(mutex_);
        if (stopRequested_) return;
        queue_.push(std::move(message));
    }
    const std::uint64_t one = 1;
    static_cast<void>(::write(wakeDescriptor_, &one, sizeof one));
}

std::uint64_t Client::dropped() {
    std::lock_guard lock(mutex_);
    return queue_.dropped();
}

void Client::stop(Message farewell, std::chrono::milliseconds patience) {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopRequested_ = true;
            farewell_ = std::move(farewell);
            stopDeadline_ = Clock::now() + patience;
        }
        const std::uint64_t one = 1;
        static_cast<void>(::write(wakeDescriptor_, &one, sizeof one));
        thread_.join();
    }
    if (session_ != nullptr) mosquitto_destroy(session_);
    session_ = nullptr;
    if (wakeDescriptor_ >= 0) ::close(wakeDescriptor_);
    wakeDescriptor_ = -1;
}

void Client::run() {
    for (;;) {
        const Clock::time_point now = Clock::now();
        bool stopping = false;
        {
            std::lock_guard lock(mutex_);
            stopping = stopRequested_;
        }
        if (stopping && finishStop(now)) return;
        if (!stopping && !socketOpen_ && now >= nextAttempt_) connect(now);
        // A connection that never completes (a host that does not answer) is given up.
        if (socketOpen_ && !connected_ && now - connectStarted_ > connectTimeout)
            ::shutdown(mosquitto_socket(session_), SHUT_RDWR);
        if (connected_ && !farewellSent_) sendWaiting();
        reportDrops(now);
        waitForWork(now, stopping);
    }
}

void Client::connect(Clock::time_point now) {
    refusal_.clear();
    lastError_.clear();
    connectStarted_ = now;
    const int code = mosquitto_connect_async(session_, settings_.broker.host.c_str(), settings_.broker.port,
                                             keepAliveSeconds);
    if (code == MOSQ_ERR_SUCCESS) {
        socketOpen_ = true;
        return;
    }
    sayOnce("MQTT broker " + settings_.broker.text() + " not reached: " + reasonOf(code));
    nextAttempt_ = now + std::chrono::seconds(delaySeconds_);
    delaySeconds_ = std::min(delaySeconds_ * 2, longestDelaySeconds);
}

void Client::sendWaiting() {
    while (inFlight_ < sendWindow) {
        std::optional<Message> message;
        {
            std::lock_guard lock(mutex_);
            message = queue_.pop();
        }
        if (!message) return;
        const int code = mosquitto_publish(session_, nullptr, message->topic.c_str(),
                                           static_cast<int>(message->payload.size()), message->payload.data(),
                                           qualityOfService, message->retain);
        if (code != MOSQ_ERR_SUCCESS) {
            std::lock_guard lock(mutex_);
            queue_.putBack(std::move(*message));
            return;
        }
        ++inFlight_;
    }
}

// True once the client may end: everything sent and the farewell
// acknowledged, or the patience used up, or no connection to wait for.
bool Client::finishStop(Clock::time_point now) {
    if (!connected_) return true;
    bool empty = false;
    {
        std::lock_guard lock(mutex_);
        empty = queue_.empty();
    }
    if (!farewellSent_ && empty && inFlight_ == 0 && !farewell_.topic.empty()) {
        const int code = mosquitto_publish(session_, nullptr, farewell_.topic.c_str(),
                                           static_cast<int>(farewell_.payload.size()),
                                           farewell_.payload.data(), qualityOfService, true);
        farewellSent_ = code == MOSQ_ERR_SUCCESS;
        if (farewellSent_) ++inFlight_;
    }
    if (farewellSent_ && inFlight_ == 0) {
        mosquitto_disconnect(session_);
        return true;
    }
    // Without a clean disconnect the broker sends the last will.
    return now >= stopDeadline_;
}

void Client::waitForWork(Clock::time_point now, bool stopping) {
    auto timeout = std::chrono::milliseconds(1000);
    const Clock::time_point until = stopping ? stopDeadline_ : socketOpen_ ? now + timeout : nextAttempt_;
    timeout = std::min(timeout, std::chrono::ceil<std::chrono::milliseconds>(until - now));
    const int socket = socketOpen_ ? mosquitto_socket(session_) : -1;
    pollfd descriptors[2] = {{wakeDescriptor_, POLLIN, 0}, {socket, POLLIN, 0}};
    if (socket >= 0 && mosquitto_want_write(session_)) descriptors[1].events |= POLLOUT;
    const int count = socket >= 0 ? 2 : 1;
    if (::poll(descriptors, count, static_cast<int>(std::max<std::int64_t>(timeout.count(), 0))) < 0) return;
    if ((descriptors[0].revents & POLLIN) != 0) {
        std::uint64_t ignored = 0;
        static_cast<void>(::read(wakeDescriptor_, &ignored, sizeof ignored));
    }
    if (socket < 0) return;
    int code = MOSQ_ERR_SUCCESS;
    if ((descriptors[1].revents & (POLLIN | POLLERR | POLLHUP)) != 0) code = mosquitto_loop_read(session_, 1);
    if (code == MOSQ_ERR_SUCCESS && socketOpen_ && (descriptors[1].revents & POLLOUT) != 0)
        code = mosquitto_loop_write(session_, 1);
    if (code == MOSQ_ERR_SUCCESS && socketOpen_) code = mosquitto_loop_misc(session_);
    // The library has closed the socket and said so through onDisconnect,
    // except when it failed before the connection was made.
    if (code != MOSQ_ERR_SUCCESS && socketOpen_ && mosquitto_socket(session_) < 0) onDisconnect(code);
}

void Client::onConnect(int code) {
    if (code != 0) {
        refusal_ = mosquitto_connack_string(code);
        return;
    }
    socketOpen_ = true;
    connected_ = true;
    delaySeconds_ = 1;
    said_.clear();
    std::fprintf(stderr, "tavomotion: MQTT connected to %s\n", settings_.broker.text().c_str());
    // Subscribed before saying we are online: whoever answers our greeting
    // (Home Assistant asking for the discovery again) is heard.
    for (const std::string& topic : settings_.subscriptions)
        mosquitto_subscribe(session_, nullptr, topic.c_str(), qualityOfService);
    const Message& greeting = settings_.greeting;
    if (mosquitto_publish(session_, nullptr, greeting.topic.c_str(),
                          static_cast<int>(greeting.payload.size()), greeting.payload.data(),
                          qualityOfService, true) == MOSQ_ERR_SUCCESS)
        ++inFlight_;
    if (events_.connected) events_.connected();
}

void Client::onDisconnect(int code) {
    const bool wasConnected = connected_;
    socketOpen_ = false;
    connected_ = false;
    nextAttempt_ = Clock::now() + std::chrono::seconds(delaySeconds_);
    delaySeconds_ = std::min(delaySeconds_ * 2, longestDelaySeconds);
    if (code == MOSQ_ERR_SUCCESS) return;  // the disconnection asked for
    const std::string broker = settings_.broker.text();
    if (!refusal_.empty())
        sayOnce("MQTT broker " + broker + " refused the connection: " + refusal_);
    else if (wasConnected)
        sayOnce("MQTT connection to " + broker + " lost: " + reasonOf(code));
    else
        sayOnce("MQTT broker " + broker + " not reached: " + reasonOf(code));
}

void Client::onPublish() {
    if (inFlight_ > 0) --inFlight_;
}

void Client::reportDrops(Clock::time_point now) {
    if (now < nextDropReport_) return;
    const std::uint64_t dropped = this->dropped();
    if (dropped == droppedSaid_) return;
    std::fprintf(stderr,
                 "tavomotion: MQTT: %llu messages dropped in all while the broker was away or slow "
                 "(at most %zu wait)\n",
                 static_cast<unsigned long long>(dropped), settings_.eventLimit);
    droppedSaid_ = dropped;
    nextDropReport_ = now + dropReportInterval;
}

// A problem is said when it first happens, not at every attempt after.
void Client::sayOnce(const std::string& problem) {
    if (problem == said_) return;
    said_ = problem;
    std::fprintf(stderr, "tavomotion: %s; trying again (1 s to %d s apart)\n", problem.c_str(),
                 longestDelaySeconds);
}

std::string Client::reasonOf(int code) const {
    if (code == MOSQ_ERR_ERRNO) return std::strerror(errno);
    if (code == MOSQ_ERR_TLS && !lastError_.empty()) return "TLS: " + lastError_;
    if (code == MOSQ_ERR_EAI) return "the host name is not known";
    return mosquitto_strerror(code);
}

}  // namespace platform::mqtt
