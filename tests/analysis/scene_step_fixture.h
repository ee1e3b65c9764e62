#pragma once
// Drives the motion state machine through real acquisitions from a scripted
// camera, in a scratch working directory (each reference refresh writes
// referenceimage.pgm there).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "analysis/scene_images.h"
#include "analysis/scene_state.h"
#include "capture/capture_device.h"
#include "pipeline/frame_pipeline.h"
#include "support/program_fixture.h"

namespace scene_images {

// The detection window.
constexpr int windowTop = 50;
constexpr int windowBottom = 116;
constexpr int windowLeft = 81;
constexpr int windowRight = 228;

inline const std::string savingReference = "saving reference image as pgm\n";

class SceneStepTest : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        directory = std::filesystem::temp_directory_path() / ("tavo-scene-" + std::to_string(getpid()));
        std::filesystem::create_directories(directory);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(directory);
        source = &installScriptedDriver();
        ASSERT_NE(capture::captureDevice.connect(0), 0);
        // Start-up's own first frame, before the main loop steps.
        source->add(testing_support::frameFromGray(plainScene(), width, height));
        pipeline::acquireFrame();
        takeConsole();
    }

    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(directory);
        ProgramTest::TearDown();
    }

    // One step on the detection window, given exactly the frames it acquires.
    void step(std::initializer_list<Gray> frames) {
        const int before = source->grabs();
        for (const Gray& frame : frames) source->add(testing_support::frameFromGray(frame, width, height));
        analysis::stepSceneState(windowTop, windowBottom, windowLeft, windowRight);
        EXPECT_EQ(source->grabs() - before, static_cast<int>(frames.size())) << "frames acquired by the step";
    }

    // From the start to Stable in two quiet Learning steps: `still` is the
    // empty scene whose texture becomes stillTexture, `reference` the image
    // that Stable compares against.
    void learn(const Gray& still, const Gray& reference) {
        step({still, still});
        step({reference, reference});
        ASSERT_EQ(analysis::sceneState, analysis::state::stable);
        ASSERT_EQ(takeConsole(), savingReference + savingReference);
    }

    testing_support::ScriptedSource* source = nullptr;
    std::filesystem::path directory;
    std::filesystem::path previous;
};

}  // namespace scene_images
