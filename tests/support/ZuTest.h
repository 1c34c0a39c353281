// Base fixture of every test: a temporary HOME and working folder of its own,
// a manual clock, an empty application queue and a debug capture, all undone
// afterwards, so tests run in any order and in parallel.
#pragma once

#include "platform/Clock.h"
#include "platform/DebugOut.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

class ZuTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary folder that holds home/ and work/.
    const std::string& TempRoot() const { return root_; }
    const std::string& Home() const { return home_; }
    const std::string& WorkDir() const { return work_; }

    // Writes a file (relative paths are inside the working folder).
    static void WriteText(const std::string& path, const std::string& text);
    static std::string ReadText(const std::string& path);

    ManualClock clock;
    std::unique_ptr<DebugCapture> debug;

public:
    // Process-wide state that a subsystem keeps is reset by the hooks added
    // here (called before and after every test).
    static void AddResetHook(std::function<void()> hook);

private:
    static void RunResetHooks();

    std::string root_, home_, work_, oldHome_, oldCwd_;
    bool hadHome_ = false;
};
