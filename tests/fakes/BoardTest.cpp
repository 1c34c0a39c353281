#include "BoardTest.h"

#include "board/BoardReset.h"

#include <mutex>

void InstallBoardResetHook()
{
    static std::once_flag once;
    std::call_once(once, [] { ZuTest::AddResetHook(&BoardReset); });
}
