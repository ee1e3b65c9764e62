#pragma once
// A program part-way started: main window created, the capture device
// connected to a scripted driver, console trace captured.
#include "support/program_fixture.h"

namespace testing_support {

class ConnectedProgramTest : public ProgramTest {
protected:
    void SetUp() override;

    // Acquires `frames` frames (the first allocates), then forgets the trace.
    void acquire(int frames = 1);

    ScriptedSource* source = nullptr;
};

}  // namespace testing_support
