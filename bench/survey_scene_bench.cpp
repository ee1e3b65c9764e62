// The traffic survey's figures on the built-in scene with its exact road:
// direction, speed error, lengths within 10 % (and 20 %), classes and
// counts per minute, and each vehicle measured off its truth. A
// measurement, not a test.
//
//   survey_scene_bench [SECONDS] [OPTIONS...]
//
// With no options, the scenes the survey is judged in.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/survey_score.h"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 300;
    std::vector<std::string> scenes(argv + std::min(argc, 2), argv + argc);
    if (scenes.empty())
        scenes = {":7:survey:clouds", ":4:survey:queue", ":7:survey:followers", ":11:survey:softclouds",
                  ":7:survey:away"};
    for (const std::string& scene : scenes) {
        const testing_support::SurveyWatch watched = testing_support::watchSurvey(scene, seconds);
        const testing_support::SurveyScore score = testing_support::scoreSurvey(watched, seconds);
        const testing_support::SurveyScore loose = testing_support::scoreSurvey(watched, seconds, 0.2);
        std::printf("%s, %zu scheduled: %s  length within 20 %%: %d\n%s", scene.c_str(),
                    watched.vehicles.size(), testing_support::surveyFigures(score).c_str(),
                    loose.lengthsClose, score.misses.c_str());
        std::fflush(stdout);
    }
}
