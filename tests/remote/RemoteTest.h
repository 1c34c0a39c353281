// Fixture of the remote tests: the ZuTest environment with local time fixed
// to UTC, so dates in pages and status files are known bytes.
#pragma once

#include "support/ZuTest.h"

#include <string>

class RemoteTest : public ZuTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets a file's modification time.
    static void SetModified(const std::string& path, std::time_t when);
    static bool Exists(const std::string& path);

private:
    std::string oldTz_;
    bool hadTz_ = false;
};
