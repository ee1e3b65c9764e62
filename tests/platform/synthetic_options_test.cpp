#include "platform/sources/synthetic/synthetic_options.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sources/synthetic/synthetic_source.h"

namespace {

using platform::synthetic::parseSceneOptions;
using platform::synthetic::SceneOptions;

SceneOptions parsed(const std::string& text) {
    std::string failure;
    const auto options = parseSceneOptions(text, failure);
    EXPECT_TRUE(options.has_value()) << text << ": " << failure;
    return options.value_or(SceneOptions{});
}

TEST(SyntheticOptions, NothingMeansSeedOneEndlessDaylightWithTraffic) {
    const SceneOptions options = parsed("");
    EXPECT_EQ(options.seed, 1u);
    EXPECT_FALSE(options.night.has_value());
    EXPECT_FALSE(options.frameCount.has_value());
    EXPECT_TRUE(options.traffic);
    EXPECT_FALSE(options.clouds || options.exposure || options.queue || options.followers);
}

TEST(SyntheticOptions, SeedAlone) { EXPECT_EQ(parsed(":42").seed, 42u); }

TEST(SyntheticOptions, LargestSeed) {
    EXPECT_EQ(parsed(":18446744073709551615").seed, 18446744073709551615u);
}

TEST(SyntheticOptions, SeedWithOptions) {
    const SceneOptions options = parsed(":42:night:frames=100:empty");
    EXPECT_EQ(options.seed, 42u);
    ASSERT_TRUE(options.night.has_value());
    EXPECT_EQ(options.night->fromSeconds, 60.0);
    EXPECT_EQ(options.night->toSeconds, 180.0);
    EXPECT_EQ(options.frameCount, 100);
    EXPECT_FALSE(options.traffic);
}

TEST(SyntheticOptions, SceneEventsInAnyOrder) {
    const SceneOptions all = parsed(":3:followers:queue:night:exposure:clouds");
    EXPECT_TRUE(all.clouds && all.exposure && all.queue && all.followers);
    EXPECT_TRUE(all.traffic);
    const SceneOptions one = parsed(":exposure");
    EXPECT_TRUE(one.exposure);
    EXPECT_FALSE(one.clouds || one.queue || one.followers);
}

TEST(SyntheticOptions, AnUnknownOptionIsToldTheKnownOnes) {
    std::string failure;
    EXPECT_FALSE(parseSceneOptions(":3:cloudy", failure).has_value());
    for (const char* known :
         {"night=FROM-TO", "frames=N", "empty", "clouds", "exposure", "queue", "followers"})
        EXPECT_NE(failure.find(known), std::string::npos) << failure;
}

TEST(SyntheticOptions, OptionsWithoutSeed) {
    const SceneOptions options = parsed(":night=30-90");
    EXPECT_EQ(options.seed, 1u);
    ASSERT_TRUE(options.night.has_value());
    EXPECT_EQ(options.night->fromSeconds, 30.0);
    EXPECT_EQ(options.night->toSeconds, 90.0);
}

class MalformedSyntheticOptions : public ::testing::TestWithParam<const char*> {};

TEST_P(MalformedSyntheticOptions, FailWithOneLineNamingTheSource) {
    std::string failure;
    EXPECT_EQ(platform::makeSyntheticSource(GetParam(), std::nullopt, failure), nullptr);
    EXPECT_EQ(failure.rfind("synthetic" + std::string(GetParam()) + ": ", 0), 0u) << failure;
    EXPECT_GT(failure.size(), std::string("synthetic").size() + std::string(GetParam()).size() + 2);
    EXPECT_EQ(failure.find('\n'), std::string::npos) << failure;
}

INSTANTIATE_TEST_SUITE_P(Examples, MalformedSyntheticOptions,
                         ::testing::Values("7", ":", ":7:", ":7::night", ":7:fog", ":frames=0",
                                           ":frames=", ":frames=12x", ":frames=-3", ":frames=5:frames=6",
                                           ":night=90-30", ":night=20-20", ":night=5", ":night=a-b",
                                           ":night:night", ":18446744073709551616", ":Night", ":empty:empty",
                                           ":clouds:clouds", ":3:exposure:exposure", ":queue:night:queue",
                                           ":followers:followers", ":queue=2", ":Clouds",
                                           ":exposure=", ":away:away", ":survey:away:nightlights",
                                           ":headlights:away", ":walkers:walkers"));

TEST(SyntheticOptions, RefusesARateThatIsNotPositive) {
    std::string failure;
    EXPECT_EQ(platform::makeSyntheticSource(":3", platform::FrameRate{0, 1}, failure), nullptr);
    EXPECT_NE(failure.find("synthetic:3: "), std::string::npos) << failure;
    failure.clear();
    EXPECT_EQ(platform::makeSyntheticSource(":3", platform::FrameRate{25, -1}, failure), nullptr);
    EXPECT_FALSE(failure.empty());
}

TEST(SyntheticOptions, TheWeatherWordsAreTakenOnceEach) {
    const SceneOptions options = parsed(":3:shake:nightlights:wet:rain:softclouds:dusk:irswitch:night=0-90");
    EXPECT_TRUE(options.shake && options.nightLights && options.wet && options.rain && options.softClouds &&
                options.dusk && options.irSwitch);
    EXPECT_FALSE(options.clouds || options.headlights);
    EXPECT_FALSE(parsed(":3:night").shake || parsed(":3:night").nightLights);
    for (const std::string word : {"shake", "nightlights", "wet", "rain", "softclouds", "dusk", "irswitch"}) {
        std::string failure;
        EXPECT_FALSE(parseSceneOptions(":" + word + ":night:" + word, failure).has_value());
        EXPECT_EQ(failure, word + " given twice");
    }
    std::string failure;
    EXPECT_FALSE(parseSceneOptions(":7:snow", failure).has_value());
    EXPECT_NE(failure.find("unknown option 'snow'"), std::string::npos);
    EXPECT_NE(failure.find("shake, nightlights, wet, rain, softclouds, dusk, irswitch"), std::string::npos);
}

}  // namespace
