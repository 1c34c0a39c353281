#include "AtomicOutFile.h"

#include <atomic>
#include <unistd.h>

AtomicOutFile::~AtomicOutFile()
{
    Discard();
}

bool AtomicOutFile::Open(const std::string& path)
{
    Discard();
    static std::atomic<unsigned> counter{0};
    std::string temp = path + ".tmp" + std::to_string(getpid()) + "_" +
                       std::to_string(counter.fetch_add(1));
    file_ = std::fopen(temp.c_str(), "wb");
    if (file_ == nullptr)
        return false;
    path_ = path;
    temp_ = std::move(temp);
    failed_ = false;
    return true;
}

void AtomicOutFile::Write(const char* text, size_t length)
{
    if (file_ == nullptr || length == 0)
        return;
    if (std::fwrite(text, 1, length, file_) != length)
        failed_ = true;
}

void AtomicOutFile::Write(const std::string& text)
{
    Write(text.data(), text.size());
}

bool AtomicOutFile::Commit()
{
    if (file_ == nullptr)
        return false;
    bool ok = !failed_ && std::fflush(file_) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok)
        ok = std::rename(temp_.c_str(), path_.c_str()) == 0;
    if (!ok)
        std::remove(temp_.c_str());
    temp_.clear();
    return ok;
}

void AtomicOutFile::Discard()
{
    if (file_ == nullptr)
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::remove(temp_.c_str());
    temp_.clear();
}
