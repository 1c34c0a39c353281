#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Socket.h"
#include "support/ZuTest.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs the simulator executable in the test's folders with its stderr on a pipe.
class SimulatorProcessTest : public ZuTest {
protected:
    void TearDown() override
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0)
            close(fd_);
        ZuTest::TearDown();
    }

    void Start()
    {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        pid_ = fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            dup2(pipeFds[1], 2);
            close(pipeFds[0]);
            close(pipeFds[1]);
            unsetenv("ZU_QUIET");
            execl(ZU_SIMULATOR, ZU_SIMULATOR, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        fd_ = pipeFds[0];
    }

    // Reads the simulator's output until text appears or it ends (bounded).
    bool WaitForOutput(const std::string& text, int limitMs = 20000)
    {
        for (int waited = 0; waited < limitMs; waited += 50) {
            if (output_.find(text) != std::string::npos)
                return true;
            pollfd p {fd_, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                char buf[4096];
                ssize_t n = read(fd_, buf, sizeof buf);
                if (n <= 0)
                    return output_.find(text) != std::string::npos;
                output_.append(buf, static_cast<size_t>(n));
            }
        }
        return false;
    }

    // Waits (bounded) for the process to end: its exit status, -1 if it did not end.
    int WaitForExit(int limitMs = 20000)
    {
        for (int waited = 0; waited < limitMs; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10000);
        }
        return -1;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    std::string output_;
};

TEST_F(SimulatorProcessTest, StartsAndStopsCleanlyOnSigtermOrSigint)
{
    const uint16_t port = Socket::Listen("127.0.0.1", 0).LocalPort();
    WriteText("system.cfg", "IpAddress=127.0.0.1\nDNS=0\nPort=" + std::to_string(port) + "\n");
    Start();
    ASSERT_TRUE(WaitForOutput("finished GuiInit\n")) << output_;
    // The port was let go again and another process may have taken it since.
    ASSERT_TRUE(WaitForOutput("Listening on port " + std::to_string(port) + "; working folder " + WorkDir() +
                              "; data folder " + Home() + "/Documents/Corvane/ZuOrbSimulators/Orb\n") ||
                output_.find("is in use by another program") != std::string::npos)
        << output_;
    // Coloured lines come plain through a pipe.
    ASSERT_TRUE(WaitForOutput("UpdateSFPType: ID=0x00")) << output_;
    EXPECT_TRUE(FolderExists(Paths::ScriptsFolder()));
    EXPECT_NE(ReadText(Paths::ReportsFolder() + "/report_template.html").find("<#REPORT>"), std::string::npos);
    ASSERT_EQ(kill(pid_, SIGTERM), 0);
    EXPECT_EQ(WaitForExit(), 0);
    WaitForOutput("Saving System data...\n", 1000);
    EXPECT_NE(output_.find("Saving System data...\n"), std::string::npos) << output_;
    EXPECT_EQ(output_.find('\x1b'), std::string::npos) << output_;
    std::vector<DirEntry> saved;
    ASSERT_TRUE(ListDirectory(WorkDir(), "System.dat", saved));
    EXPECT_EQ(saved.size(), 1u) << "the system data was saved";

    close(fd_);
    fd_ = -1;
    output_.clear();
    Start();
    ASSERT_TRUE(WaitForOutput("finished GuiInit\n")) << output_;
    ASSERT_EQ(kill(pid_, SIGINT), 0);
    EXPECT_EQ(WaitForExit(), 0);
}

} // namespace
