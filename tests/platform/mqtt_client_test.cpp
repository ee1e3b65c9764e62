// The MQTT client's pieces: the broker URL, the bound on what waits, and
// the client itself against a real mosquitto that goes away and comes back.
#include "platform/mqtt/mqtt_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "support/mqtt_broker.h"
#include "support/scratch_directory.h"

namespace {

using namespace platform::mqtt;
using namespace std::chrono_literals;

TEST(BrokerUrl, HostsPortsAndTheTwoSchemes) {
    std::string failure;
    const auto plain = parseBrokerUrl("mqtt://broker.example", failure);
    ASSERT_TRUE(plain) << failure;
    EXPECT_EQ(plain->text(), "broker.example:1883");
    EXPECT_FALSE(plain->tls);
    const auto secure = parseBrokerUrl("mqtts://192.0.2.7/", failure);
    ASSERT_TRUE(secure) << failure;
    EXPECT_EQ(secure->text(), "192.0.2.7:8883");
    EXPECT_TRUE(secure->tls);
    const auto six = parseBrokerUrl("mqtt://[::1]:1884", failure);
    ASSERT_TRUE(six) << failure;
    EXPECT_EQ(six->host, "::1");
    EXPECT_EQ(six->text(), "[::1]:1884");
    for (const std::string bad : {"tcp://broker", "mqtt://", "mqtt://broker:", "mqtt://broker:65536",
                                  "mqtt://u:p@broker", "mqtt://broker/a", "mqtt://[::1", "mqtt://bro ker"}) {
        failure.clear();
        EXPECT_FALSE(parseBrokerUrl(bad, failure)) << bad;
        EXPECT_FALSE(failure.empty()) << bad;
    }
}

TEST(OutgoingQueue, TheNewestOfEachStateAndTheNewestEventsWait) {
    OutgoingQueue queue(3);
    queue.push({"cam/picture", "first", true});
    for (const std::string number : {"0", "1", "2", "3", "4"}) queue.push({"cam/vehicle", number, false});
    queue.push({"cam/picture", "second", true});
    EXPECT_EQ(queue.dropped(), 2u);
    std::vector<std::string> sent;
    while (const auto message = queue.pop()) sent.push_back(message->payload);
    EXPECT_EQ(sent, (std::vector<std::string>{"2", "3", "4", "second"}));
    // A message put back goes first again and still counts against the bound.
    queue.push({"cam/vehicle", "5", false});
    queue.putBack({"cam/vehicle", "4", false});
    queue.push({"cam/vehicle", "6", false});
    queue.push({"cam/vehicle", "7", false});
    EXPECT_EQ(queue.pop()->payload, "5");
    EXPECT_EQ(queue.dropped(), 3u);
}

// QoS 1 is "at least once": what was on its way when the broker stopped may
// come again after its restart. Each payload is kept where it first came.
std::vector<std::string> firstArrivalsOn(testing_support::MqttListener& listener, const std::string& topic) {
    std::vector<std::string> payloads;
    for (const auto& message : listener.messagesOn(topic)) {
        if (std::find(payloads.begin(), payloads.end(), message.payload) == payloads.end())
            payloads.push_back(message.payload);
    }
    return payloads;
}

TEST(MqttClient, WhatIsHandedOverWhileTheBrokerIsAwayArrivesInOrderOnceItIsBack) {
    testing_support::ScratchDirectory scratch;
    const std::string directory = scratch.path().string();
    // The broker keeps the listener's session over its restart.
    const std::string persistence = "persistence true\npersistence_location " + directory + "/\n";
    auto broker = std::make_unique<testing_support::MqttBroker>(directory, persistence);
    const int port = broker->port();
    testing_support::MqttListener listener(port, "cam/#", "tavo-test-listener");
    ClientSettings settings;
    settings.broker = {"127.0.0.1", port, false};
    settings.clientId = "tavo-test-camera";
    settings.greeting = {"cam/available", "online", true};
    settings.lastWill = {"cam/available", "offline", true};
    std::string failure;
    auto client = Client::start(settings, {}, failure);
    ASSERT_TRUE(client) << failure;
    const auto arrived = [&](const std::string& topic, const std::string& payload) {
        return listener.waitFor([&](const auto& m) { return m.topic == topic && m.payload == payload; }, 30s);
    };
    ASSERT_TRUE(arrived("cam/available", "online"));

    std::vector<std::string> expected;
    const auto send = [&](int from, int to) {
        for (int number = from; number < to; ++number) {
            expected.push_back(std::to_string(number));
            client->publish({"cam/vehicle", expected.back(), false});
        }
    };
    send(0, 10);
    ASSERT_TRUE(arrived("cam/vehicle", "9"));
    broker.reset();
    send(10, 60);
    std::this_thread::sleep_for(2s);
    broker = std::make_unique<testing_support::MqttBroker>(directory, persistence, port);
    ASSERT_TRUE(arrived("cam/vehicle", "59"));
    EXPECT_EQ(firstArrivalsOn(listener, "cam/vehicle"), expected);
    EXPECT_EQ(client->dropped(), 0u);

    client->stop({"cam/available", "offline", true}, 3s);
    EXPECT_TRUE(arrived("cam/available", "offline"));
}

}  // namespace
