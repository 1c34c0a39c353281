#include "support/ZuTest.h"

#include "core/threads/MessageQueue.h"
#include "core/text/TextTable.h"
#include "core/log/TpCommandLine.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {
std::vector<std::function<void()>>& Hooks()
{
    static std::vector<std::function<void()>> hooks;
    return hooks;
}
} // namespace

void ZuTest::AddResetHook(std::function<void()> hook)
{
    Hooks().push_back(std::move(hook));
}

void ZuTest::RunResetHooks()
{
    MessageQueue::Reset();
    SetTextTable({});
    TpCommandLine::ResetArgs();
    SetClock(nullptr);
    DebugResetRepeats();
    for (auto& hook : Hooks())
        hook();
}

void ZuTest::SetUp()
{
    RunResetHooks();
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") + "/zutest-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    root_ = buf.data();
    home_ = root_ + "/home";
    work_ = root_ + "/work";
    ASSERT_TRUE(MakeFolder(home_));
    ASSERT_TRUE(MakeFolder(work_));

    const char* oldHome = std::getenv("HOME");
    hadHome_ = oldHome != nullptr;
    oldHome_ = hadHome_ ? oldHome : "";
    setenv("HOME", home_.c_str(), 1);
    char cwd[4096];
    oldCwd_ = getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/";
    ASSERT_EQ(chdir(work_.c_str()), 0);

    SetClock(&clock);
    debug = std::make_unique<DebugCapture>();
}

void ZuTest::TearDown()
{
    debug.reset();
    RunResetHooks();
    if (chdir(oldCwd_.c_str()) != 0) {
        // Nothing more to do: the next test changes folder again.
    }
    if (hadHome_)
        setenv("HOME", oldHome_.c_str(), 1);
    else
        unsetenv("HOME");
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

void ZuTest::WriteText(const std::string& path, const std::string& text)
{
    ASSERT_TRUE(WriteFileAtomic(path, text)) << path;
}

std::string ZuTest::ReadText(const std::string& path)
{
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, text)) << path;
    return text;
}
