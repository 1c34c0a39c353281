#include "TpThread.h"

#include "platform/Clock.h"

#include <pthread.h>

TpThread::TpThread(const std::string& name) : name_(name) {}

TpThread::~TpThread()
{
    Stop();
}

bool TpThread::Start()
{
    if (IsRunning())
        return false;
    if (thread_.joinable())
        thread_.join();
    stopRequest.store(0);
    finished_.store(false);
    started_.store(true);
    thread_ = std::thread(&TpThread::Body, this);
    return true;
}

void TpThread::Body()
{
    // Thread names are limited to 15 characters by the host.
    pthread_setname_np(pthread_self(), name_.substr(0, 15).c_str());
    Run();
    finished_.store(true);
}

void TpThread::RequestStop()
{
    stopRequest.store(1);
    OnStopRequested();
}

void TpThread::Stop()
{
    if (!started_.load())
        return;
    RequestStop();
    while (!finished_.load())
        Sleep(1);
    if (thread_.joinable())
        thread_.join();
    started_.store(false);
}
