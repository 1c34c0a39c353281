#include "RemoteTest.h"

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <utime.h>

void RemoteTest::SetUp()
{
    ZuTest::SetUp();
    const char* tz = std::getenv("TZ");
    hadTz_ = tz != nullptr;
    oldTz_ = hadTz_ ? tz : "";
    setenv("TZ", "UTC", 1);
    tzset();
}

void RemoteTest::TearDown()
{
    if (hadTz_)
        setenv("TZ", oldTz_.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    ZuTest::TearDown();
}

void RemoteTest::SetModified(const std::string& path, std::time_t when)
{
    utimbuf times{when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

bool RemoteTest::Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}
