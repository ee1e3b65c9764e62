#include "platform/sources/synthetic/synthetic_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/gray_picture.h"

namespace {

using platform::FrameRate;
using platform::GrabOutcome;
using platform::SyntheticSource;
using platform::VehicleVisit;
using platform::synthetic::VehicleTone;
using testing_support::GrayPicture;
using testing_support::GrayRect;
using testing_support::meanAbsoluteDifference;

constexpr std::int64_t frameNanoseconds = 40'000'000;  // at 25 frames/s
constexpr std::int64_t second = 1'000'000'000;
constexpr std::size_t smallImageBytes = 230400;  // 320 x 240, BGR24

// Regions of the 320 x 240 gray image the program analyses.
constexpr GrayRect detectionWindow{50, 116, 81, 228};
constexpr GrayRect topStrip{1, 44, 51, 152};
constexpr GrayRect blackPassStrip{40, 45, 51, 150};
constexpr GrayRect backgroundStrip{10, 110, 11, 150};

std::unique_ptr<SyntheticSource> makeScene(const std::string& options,
                                           std::optional<FrameRate> rate = std::nullopt) {
    std::string failure;
    std::unique_ptr<platform::FrameSource> source = platform::makeSyntheticSource(options, rate, failure);
    EXPECT_NE(source, nullptr) << failure;
    EXPECT_TRUE(source->open(failure));
    return std::unique_ptr<SyntheticSource>(dynamic_cast<SyntheticSource*>(source.release()));
}

struct Delivery {
    GrabOutcome outcome;
    std::int64_t dueNanoseconds;
    std::vector<std::uint8_t> image;
};

Delivery grab(platform::FrameSource& source, std::int64_t elapsedNanoseconds, int width = 320,
              int height = 240) {
    Delivery delivery{GrabOutcome::failed, -1,
                      std::vector<std::uint8_t>(platform::dibImageBytes(width, height))};
    delivery.outcome =
        source.grab(elapsedNanoseconds, width, height, delivery.image.data(), delivery.dueNanoseconds);
    return delivery;
}

// The delivered 320 x 240 gray images of the given frames, grabbed in order
// at their due times.
std::map<std::int64_t, GrayPicture> grayFrames(const std::string& options,
                                               const std::set<std::int64_t>& frames) {
    auto scene = makeScene(options);
    std::map<std::int64_t, GrayPicture> pictures;
    for (const std::int64_t frame : frames) {
        const Delivery delivery = grab(*scene, frame * frameNanoseconds);
        EXPECT_EQ(delivery.dueNanoseconds, frame * frameNanoseconds);
        pictures.emplace(frame, GrayPicture(delivery.image.data(), 320, 240));
    }
    return pictures;
}

bool duringAVisit(const std::vector<VehicleVisit>& visits, std::int64_t frame) {
    return std::any_of(visits.begin(), visits.end(), [frame](const VehicleVisit& visit) {
        return frame >= visit.firstFrame && frame <= visit.lastFrame;
    });
}

TEST(SyntheticSource, IsARecordedSourceOf640By480ThatAlwaysOpens) {
    auto scene = makeScene(":3");
    EXPECT_TRUE(scene->isOpen());
    EXPECT_FALSE(scene->isLive());
    EXPECT_EQ(scene->nativeWidth(), 640);
    EXPECT_EQ(scene->nativeHeight(), 480);
    EXPECT_EQ(scene->recordingSeconds(), 0.0);
    scene->close();
    EXPECT_FALSE(scene->isOpen());
    std::string failure;
    EXPECT_TRUE(scene->open(failure));
    EXPECT_TRUE(failure.empty());
}

TEST(SyntheticSource, RecordingLengthFollowsFramesAndRate) {
    EXPECT_DOUBLE_EQ(makeScene(":3:frames=50")->recordingSeconds(), 2.0);
    EXPECT_DOUBLE_EQ(makeScene(":3:frames=50", FrameRate{10, 1})->recordingSeconds(), 5.0);
    EXPECT_DOUBLE_EQ(makeScene(":3:frames=60", FrameRate{30000, 1001})->recordingSeconds(), 2.002);
}

TEST(SyntheticSource, SameSeedGivesTheSameFrames) {
    auto first = makeScene(":5");
    auto second = makeScene(":5");
    for (const std::int64_t frame : {0, 250, 4000, 9000}) {
        EXPECT_EQ(first->nativeFrame(frame), second->nativeFrame(frame)) << "frame " << frame;
        EXPECT_EQ(grab(*first, frame * frameNanoseconds).image,
                  grab(*second, frame * frameNanoseconds).image);
    }
}

TEST(SyntheticSource, AnotherSeedGivesOtherFrames) {
    EXPECT_NE(makeScene(":5")->nativeFrame(0), makeScene(":6")->nativeFrame(0));
}

TEST(SyntheticSource, ConsecutiveFramesDifferByNoiseOfAFewGrayLevels) {
    auto scene = makeScene(":5:empty");
    const std::vector<std::uint8_t> first = scene->nativeFrame(100);
    const std::vector<std::uint8_t>& second = scene->nativeFrame(101);
    ASSERT_EQ(first.size(), second.size());
    int largest = 0;
    for (std::size_t i = 0; i < first.size(); ++i)
        largest = std::max(largest, std::abs(first[i] - second[i]));
    EXPECT_GT(largest, 0);
    EXPECT_LE(largest, 10);
}

TEST(SyntheticSource, AFrameIsTheSameWhateverWasDrawnBefore) {
    // During a fading night, so that the light changes from frame to frame.
    const std::string options = ":9:night=10-60";
    const std::int64_t frame = 320;
    const std::vector<std::uint8_t> direct = makeScene(options)->nativeFrame(frame);
    auto scene = makeScene(options);
    for (const std::int64_t other : {0, 319, 9000, 321, 1200}) scene->nativeFrame(other);
    EXPECT_EQ(scene->nativeFrame(frame), direct);
}

TEST(SyntheticSource, ConsecutiveGrabsGetConsecutiveFrames) {
    auto scene = makeScene(":3");
    EXPECT_EQ(grab(*scene, 0).dueNanoseconds, 0);
    EXPECT_EQ(grab(*scene, 0).dueNanoseconds, frameNanoseconds);
    EXPECT_EQ(grab(*scene, 0).dueNanoseconds, 2 * frameNanoseconds);
}

TEST(SyntheticSource, TheFirstGrabAtFiveSecondsGetsFrame125) {
    auto scene = makeScene(":3");
    const Delivery delivery = grab(*scene, 5 * second);
    EXPECT_EQ(delivery.outcome, GrabOutcome::delivered);
    EXPECT_EQ(delivery.dueNanoseconds, 125 * frameNanoseconds);
    // The picture is frame 125's, as another source delivers it.
    auto other = makeScene(":3");
    EXPECT_EQ(grab(*other, 125 * frameNanoseconds - 1).image, delivery.image);
}

TEST(SyntheticSource, AGrabOneSecondAfterADueTimeGetsTwentyFiveFramesLater) {
    auto scene = makeScene(":3");
    const std::int64_t due = grab(*scene, 2 * second + 1).dueNanoseconds;
    EXPECT_EQ(due, 51 * frameNanoseconds);
    EXPECT_EQ(grab(*scene, due + second).dueNanoseconds, 76 * frameNanoseconds);
}

TEST(SyntheticSource, DueTimesNeverGoBack) {
    auto scene = makeScene(":3");
    std::int64_t previous = -1;
    for (const std::int64_t elapsed : {3 * second, second, 0L, 3 * second, 7 * second, 6 * second}) {
        const std::int64_t due = grab(*scene, elapsed).dueNanoseconds;
        EXPECT_GT(due, previous) << "grab at " << elapsed;
        previous = due;
    }
}

TEST(SyntheticSource, AReconnectContinuesTheTimeline) {
    auto scene = makeScene(":3");
    EXPECT_EQ(grab(*scene, 2 * second).dueNanoseconds, 50 * frameNanoseconds);
    scene->close();
    std::string failure;
    ASSERT_TRUE(scene->open(failure));
    EXPECT_EQ(grab(*scene, 0).dueNanoseconds, 51 * frameNanoseconds);
}

TEST(SyntheticSource, OtherRatesSpaceTheFramesAccordingly) {
    auto scene = makeScene(":3", FrameRate{10, 1});
    EXPECT_EQ(grab(*scene, 0).dueNanoseconds, 0);
    EXPECT_EQ(grab(*scene, second).dueNanoseconds, second);
    EXPECT_EQ(grab(*scene, 0).dueNanoseconds, second + 100'000'000);
}

TEST(SyntheticSource, TheEndOfARecordingRepeatsItsLastFrame) {
    auto scene = makeScene(":4:frames=10");
    Delivery last;
    for (int frame = 0; frame < 10; ++frame) {
        last = grab(*scene, 0);
        ASSERT_EQ(last.outcome, GrabOutcome::delivered) << "frame " << frame;
    }
    EXPECT_EQ(last.dueNanoseconds, 9 * frameNanoseconds);
    for (const std::int64_t elapsed : {0L, 100 * second, 5 * second}) {
        const Delivery after = grab(*scene, elapsed);
        EXPECT_EQ(after.outcome, GrabOutcome::endOfRecording);
        EXPECT_EQ(after.dueNanoseconds, 9 * frameNanoseconds);
        EXPECT_EQ(after.image, last.image);
    }
}

TEST(SyntheticSource, AFirstGrabPastTheEndGetsTheLastFrame) {
    auto scene = makeScene(":4:frames=10");
    const Delivery delivery = grab(*scene, 60 * second);
    EXPECT_EQ(delivery.outcome, GrabOutcome::endOfRecording);
    EXPECT_EQ(delivery.dueNanoseconds, 9 * frameNanoseconds);
    auto other = makeScene(":4:frames=10");
    EXPECT_EQ(grab(*other, 9 * frameNanoseconds).image, delivery.image);
}

TEST(SyntheticSource, ScalesInto320By240BottomRowFirst) {
    auto scene = makeScene(":2:empty");
    const std::uint8_t guard = 0xa5;
    std::vector<std::uint8_t> image(smallImageBytes + 64, guard);
    std::int64_t due = 0;
    ASSERT_EQ(scene->grab(0, 320, 240, image.data(), due), GrabOutcome::delivered);
    EXPECT_TRUE(
        std::all_of(image.begin() + smallImageBytes, image.end(), [](std::uint8_t b) { return b == guard; }));

    const GrayPicture gray(image.data(), 320, 240);
    // The stop line across the road lies on picture rows 400 to 414 of 480.
    EXPECT_GT(gray.mean({201, 206, 0, 320}), 150);
    EXPECT_LT(gray.mean({188, 193, 0, 320}), 130);
    EXPECT_LT(gray.mean({34, 39, 0, 320}), 130);  // where an unflipped picture would show it
    // The right edge line passes picture column 461 of 640 on row 10: gray
    // column 319 - 230; the mirror place is plain asphalt.
    EXPECT_GT(gray.at(5, 88), 150);
    EXPECT_GT(gray.at(5, 89), 150);
    EXPECT_LT(gray.at(5, 230), 130);
}

TEST(SyntheticSource, ScalesToOtherSizesWithRowPadding) {
    auto scene = makeScene(":2");
    const Delivery delivery = grab(*scene, 0, 161, 121);
    EXPECT_EQ(delivery.outcome, GrabOutcome::delivered);
    EXPECT_EQ(delivery.image.size(), 121u * 484u);
    for (int row = 0; row < 121; ++row) EXPECT_EQ(delivery.image[row * 484 + 483], 0) << "row " << row;
}

class SyntheticTraffic : public ::testing::Test {
protected:
    static constexpr const char* options = ":11";
    static constexpr std::int64_t frames = 25 * 300;

    void SetUp() override { visits_ = makeScene(options)->detectionWindowVisits(0, frames - 1); }

    // Visits with no other vehicle in the window just before or during them.
    std::vector<VehicleVisit> clearVisits() const {
        std::vector<VehicleVisit> clear;
        for (std::size_t i = 0; i < visits_.size(); ++i) {
            const bool crowded =
                (i > 0 && visits_[i - 1].lastFrame >= visits_[i].firstFrame - 1) ||
                (i + 1 < visits_.size() && visits_[i + 1].firstFrame <= visits_[i].lastFrame + 1);
            if (!crowded) clear.push_back(visits_[i]);
        }
        return clear;
    }

    // Pairs of frames 3 s apart with no vehicle in the window.
    std::vector<std::pair<std::int64_t, std::int64_t>> emptyPairs() const {
        std::vector<std::pair<std::int64_t, std::int64_t>> pairs;
        for (std::size_t i = 0; i + 1 < visits_.size(); ++i) {
            const std::int64_t first = visits_[i].lastFrame + 5;
            const std::int64_t second = first + 75;
            if (!duringAVisit(visits_, first) && !duringAVisit(visits_, second))
                pairs.emplace_back(first, second);
        }
        return pairs;
    }

    bool startsWithin(std::int64_t firstFrame, std::int64_t lastFrame) const {
        return std::any_of(visits_.begin(), visits_.end(), [=](const VehicleVisit& visit) {
            return visit.firstFrame >= firstFrame && visit.firstFrame <= lastFrame;
        });
    }

    std::vector<VehicleVisit> visits_;
};

TEST_F(SyntheticTraffic, VisitsAreOrderedAndTakeAboutTwoSeconds) {
    ASSERT_GE(visits_.size(), 10u);
    for (std::size_t i = 0; i < visits_.size(); ++i) {
        const VehicleVisit& visit = visits_[i];
        const double seconds = (visit.lastFrame - visit.firstFrame + 1) / 25.0;
        EXPECT_GE(seconds, 1.4) << "visit " << i;
        EXPECT_LE(seconds, 4.5) << "visit " << i;
        if (i > 0) {
            EXPECT_GT(visit.firstFrame, visits_[i - 1].firstFrame);
        }
    }
}

TEST_F(SyntheticTraffic, GapsAreIrregular) {
    std::int64_t shortest = frames, longest = 0;
    for (std::size_t i = 1; i < visits_.size(); ++i) {
        const std::int64_t gap = visits_[i].firstFrame - visits_[i - 1].firstFrame;
        shortest = std::min(shortest, gap);
        longest = std::max(longest, gap);
    }
    EXPECT_LT(shortest, 25 * 2);
    EXPECT_GT(longest, 25 * 20);
}

TEST_F(SyntheticTraffic, MostVehiclesAreDarkSomeLight) {
    const auto dark = std::count_if(visits_.begin(), visits_.end(), [](const VehicleVisit& visit) {
        return visit.tone == VehicleTone::dark;
    });
    EXPECT_GT(dark, static_cast<long>(visits_.size()) / 2);
    EXPECT_LT(dark, static_cast<long>(visits_.size()));
}

TEST_F(SyntheticTraffic, VisitsOfAnyRangeComeFromTheSameSchedule) {
    ASSERT_GE(visits_.size(), 3u);
    const VehicleVisit& middle = visits_[visits_.size() / 2];
    const auto some = makeScene(options)->detectionWindowVisits(middle.firstFrame + 1, middle.firstFrame + 1);
    ASSERT_FALSE(some.empty());
    EXPECT_TRUE(std::any_of(some.begin(), some.end(), [&middle](const VehicleVisit& visit) {
        return visit.firstFrame == middle.firstFrame && visit.lastFrame == middle.lastFrame;
    }));
    EXPECT_TRUE(makeScene(":11:empty")->detectionWindowVisits(0, frames - 1).empty());
}

TEST_F(SyntheticTraffic, AVehicleChangesTheDetectionWindowClearly) {
    const std::vector<VehicleVisit> clear = clearVisits();
    ASSERT_GE(clear.size(), 5u);
    std::set<std::int64_t> wanted;
    for (const VehicleVisit& visit : clear) {
        wanted.insert(visit.firstFrame - 1);
        wanted.insert((visit.firstFrame + visit.lastFrame) / 2);
    }
    const auto gray = grayFrames(options, wanted);
    for (const VehicleVisit& visit : clear) {
        const GrayPicture& before = gray.at(visit.firstFrame - 1);
        const GrayPicture& during = gray.at((visit.firstFrame + visit.lastFrame) / 2);
        EXPECT_GT(meanAbsoluteDifference(before, during, detectionWindow), 5.0)
            << "visit at " << visit.firstFrame;
        if (visit.tone == VehicleTone::dark) {
            EXPECT_LT(during.mean(detectionWindow), before.mean(detectionWindow) - 3.0)
                << "visit at " << visit.firstFrame;
        }
    }
}

TEST_F(SyntheticTraffic, TheEmptyRoadChangesLittle) {
    const auto pairs = emptyPairs();
    ASSERT_GE(pairs.size(), 5u);
    std::set<std::int64_t> wanted;
    for (const auto& [first, second] : pairs) wanted.insert({first, second});
    const auto gray = grayFrames(options, wanted);
    for (const auto& [first, second] : pairs) {
        EXPECT_LT(meanAbsoluteDifference(gray.at(first), gray.at(second), detectionWindow), 1.5)
            << "frame " << first;
    }
}

TEST(SyntheticRoad, TheBackgroundStripHasSteadyContrast) {
    std::set<std::int64_t> wanted;
    for (std::int64_t frame = 0; frame < 25 * 600; frame += 25 * 30) wanted.insert({frame, frame + 1});
    const auto gray = grayFrames(":11:empty", wanted);
    for (const std::int64_t frame : wanted) {
        const int range = gray.at(frame).range(backgroundStrip);
        EXPECT_GE(range, 60) << "frame " << frame;
        EXPECT_LE(range, 150) << "frame " << frame;
        if (wanted.count(frame + 1) != 0) {
            EXPECT_LE(std::abs(range - gray.at(frame + 1).range(backgroundStrip)), 8) << "frame " << frame;
        }
    }
}

TEST_F(SyntheticTraffic, TheBlackPassStripShowsAVehicleFirstAndIsRoadOnceItPassed) {
    const std::vector<VehicleVisit> clear = clearVisits();
    const auto pairs = emptyPairs();
    ASSERT_FALSE(pairs.empty());
    std::set<std::int64_t> wanted{pairs.front().first};
    for (const VehicleVisit& visit : clear) wanted.insert({visit.firstFrame - 1, visit.lastFrame + 1});
    const auto gray = grayFrames(options, wanted);
    const double road = gray.at(pairs.front().first).mean(blackPassStrip);
    int seenAhead = 0;
    int seenAfter = 0;
    for (const VehicleVisit& visit : clear) {
        if (gray.at(visit.firstFrame - 1).mean(blackPassStrip) < road - 10) ++seenAhead;
        // A vehicle in the strip enters the window within two seconds.
        if (startsWithin(visit.lastFrame + 1, visit.lastFrame + 50)) continue;
        EXPECT_GT(gray.at(visit.lastFrame + 1).mean(blackPassStrip), road - 5)
            << "visit at " << visit.firstFrame;
        ++seenAfter;
    }
    EXPECT_GT(seenAhead, 0);
    EXPECT_GT(seenAfter, 0);
}

TEST_F(SyntheticTraffic, TheTopStripIsNeverTooDarkByDay) {
    std::set<std::int64_t> wanted;
    for (std::int64_t frame = 0; frame < frames; frame += 12) wanted.insert(frame);
    for (const auto& [frame, gray] : grayFrames(options, wanted))
        EXPECT_GE(gray.mean(topStrip), 3.0) << "frame " << frame;
}

TEST(SyntheticNight, TheTopStripFallsBelowThreeAtNightOnly) {
    std::set<std::int64_t> wanted{25 * 10, 25 * 90};
    for (std::int64_t frame = 25 * 30; frame <= 25 * 70; frame += 25) wanted.insert(frame);
    const auto gray = grayFrames(":8:night=20-80", wanted);
    EXPECT_GE(gray.at(25 * 10).mean(topStrip), 3.0);
    EXPECT_GE(gray.at(25 * 90).mean(topStrip), 3.0);
    for (std::int64_t frame = 25 * 30; frame <= 25 * 70; frame += 25) {
        EXPECT_LT(gray.at(frame).mean(topStrip), 3.0) << "frame " << frame;
    }
}

TEST(SyntheticNight, VehiclesWithHeadlightsShowTheirLampsInTheDark) {
    auto scene = makeScene(":8:night=20-80:headlights");
    auto unlit = makeScene(":8:night=20-80");
    const std::vector<VehicleVisit> visits = scene->detectionWindowVisits(25 * 35, 25 * 65);
    ASSERT_FALSE(visits.empty());
    const auto brightest = [&scene](std::int64_t frame) {
        const std::vector<std::uint8_t>& picture = scene->nativeFrame(frame);
        return *std::max_element(picture.begin(), picture.end());
    };
    int darkRoads = 0;  // frames 4 s after a visit, with no vehicle in the window
    for (const VehicleVisit& visit : visits) {
        const std::int64_t middle = (visit.firstFrame + visit.lastFrame) / 2;
        EXPECT_GT(brightest(middle), 150) << "visit at " << visit.firstFrame;
        const std::vector<std::uint8_t>& dark = unlit->nativeFrame(middle);
        EXPECT_LT(*std::max_element(dark.begin(), dark.end()), 30) << "without headlights, " << middle;
        if (!duringAVisit(visits, visit.lastFrame + 100)) {
            EXPECT_LT(brightest(visit.lastFrame + 100), 10) << "after the visit at " << visit.firstFrame;
            ++darkRoads;
        }
    }
    EXPECT_GT(darkRoads, 0);
}

}  // namespace
