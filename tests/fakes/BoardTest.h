// Fixture of tests that use the simulated board: everything ZuTest gives,
// plus the board put back to its power-on state (the simulator's own devices
// installed) before and after every test.
#pragma once

#include "support/ZuTest.h"

// Adds the board reset to ZuTest's reset hooks (once per process). Fixtures
// of other subsystems that touch the board call it in their constructor.
void InstallBoardResetHook();

class BoardTest : public ZuTest {
protected:
    BoardTest() { InstallBoardResetHook(); }
};
