// The simulator's entry point. It prepares the per-user data folder and what
// the program ships into it, runs the instrument on its application thread
// and, on SIGINT or SIGTERM, powers the instrument off so that every thread
// stops and the system data is saved. There is no window: the instrument is
// driven by remote clients and its console.
#include "core/threads/MessageQueue.h"
#include "app/TpZuApplication.h"
#include "platform/DebugOut.h"
#include "platform/Paths.h"
#include "resources/ZuResources.h"
#include "sim/KeyMailbox.h"

#include <QCoreApplication>
#include <QThread>

#include <csignal>
#include <ctime>
#include <memory>
#include <pthread.h>

namespace {

// Posts the power-off key; the application ends its loop when it arrives.
void PostPowerOff()
{
    MessageQueue queue;
    queue.Open("/msgq", 1, 100, 1500);
    RemoteMsgHeader h;
    h.magic = Origin::kLocal;
    h.type = MsgType::kKey;
    h.value = kKeyPressFlag | kKeyPowerOff;
    queue.Send(h, nullptr, true);
}

} // namespace

int main(int argc, char** argv)
{
    // Termination signals are taken by this thread alone, with sigwait; every
    // thread started from here on inherits the blocked set.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication qtApp(argc, argv);
    ZuInitResources();
    if (!Paths::MakeDataFolders()) {
        DebugPrintf("ERROR: cannot create the data folder %s\n", Paths::DataFolder().c_str());
        return 1;
    }
    const std::string report = Paths::ReportsFolder() + "/report_template.html";
    if (!CopyResourceIfMissing(":/report_template.html", report))
        DebugPrintf("ERROR: cannot write %s\n", report.c_str());

    std::unique_ptr<QThread> appThread(QThread::create([] {
        TpZuApplication application;
        application.ProcessMessages();
    }));
    appThread->setObjectName("Application");
    appThread->start();

    // Wait for a stop signal, or for the instrument to power itself off.
    bool signalled = false;
    while (!appThread->isFinished()) {
        timespec wait {0, 200 * 1000 * 1000};
        int sig = sigtimedwait(&stopSignals, nullptr, &wait);
        if (sig == SIGINT || sig == SIGTERM) {
            if (!signalled)
                DebugPrintf("Stopping (signal %d)\n", sig);
            signalled = true;
            PostPowerOff();
        }
    }
    appThread->wait();
    DebugFlushRepeats();
    return 0;
}
