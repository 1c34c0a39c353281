#include "NetBoard.h"

int net_set_static_ip(const char*, const char*, const char*, const char*)
{
    return 0;
}

int net_hw_apply(uint32_t)
{
    return 0;
}
