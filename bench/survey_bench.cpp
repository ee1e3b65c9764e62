// What the traffic survey adds to the every-vehicle analysis of a frame:
// twenty seconds of the built-in road scene with traffic, looked at again
// and again, once by the analysis alone and once with each frame handed to
// the survey (vehicles measured, logged and counted as they leave). The
// goal is at most 5 us a frame more.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "app/regions.h"
#include "app/survey/survey_settings.h"
#include "app/survey/traffic_survey.h"
#include "support/scene_frames.h"

namespace {

using testing_support::grayFramesOf;

constexpr int width = 320;
constexpr int height = 240;

void look(benchmark::State& state, bool surveyed) {
    // Seed 7 has vehicles through the window between 40 s and 60 s.
    static const auto frames = grayFramesOf(":7", 25 * 40, 25 * 20);
    app::survey::settings.roadPointsFromFile = {"25,120,-3,12", "275,120,3,12", "75,24,-3,20", "225,24,3,20"};
    app::survey::settle();
    char directory[] = "/tmp/tavo-survey-bench-XXXXXX";
    if (mkdtemp(directory) == nullptr) std::abort();
    app::survey::TrafficSurvey survey(directory, true);
    analysis::everyvehicle::EveryVehicleAnalysis analysis(app::detectionWindow, false);
    std::size_t next = 0;
    double seconds = 0;
    const auto lookOnce = [&]() {
        const auto& verdict = analysis.look({frames[next].data(), width, height}, seconds);
        if (surveyed) {
            for (const auto& picture : verdict.pictures) survey.pictured(picture.frame, "tavo.bmp");
            survey.looked(seconds, seconds, !analysis.figures().learning, verdict.departed);
        }
        next = (next + 1) % frames.size();
        seconds += 0.04;
        return verdict.keepFrame;
    };
    while (analysis.figures().learning) lookOnce();  // the empty scene first, untimed
    for (auto _ : state) benchmark::DoNotOptimize(lookOnce());
    survey.finish({});
    std::filesystem::remove_all(directory);
}

void analysisAlone(benchmark::State& state) { look(state, false); }
void analysisAndSurvey(benchmark::State& state) { look(state, true); }

}  // namespace

BENCHMARK(analysisAlone)->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(analysisAndSurvey)->Iterations(5000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
