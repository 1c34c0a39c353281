#include "TpBase.h"

#include "TpLogger.h"

void TpBase::ClearEventLog()
{
    if (TpLogger* logger = TpLogger::Instance())
        logger->Clear();
}
