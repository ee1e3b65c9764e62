#pragma once
// Every layer back to its start state, on the virtual clock, with the console
// trace captured in `console`.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/scripted_source.h"

namespace testing_support {

void resetProgramState();

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts a scripted source of the given size behind driver `index`.
    ScriptedSource& installScriptedDriver(int index = 0, int width = 320, int height = 240,
                                          const std::string& description = "scripted scene");

    // The console trace so far, and forgets it.
    std::string takeConsole();

    std::string console;
};

}  // namespace testing_support
