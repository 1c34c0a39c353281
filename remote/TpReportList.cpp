#include "TpReportList.h"

TpReportList::TpReportList(const std::string& pattern, const std::string& resultLabel)
    : TpWebDirList(pattern), resultLabel_(resultLabel)
{
}

std::string TpReportList::Result(const std::string& /*pagePath*/) const
{
    return "FAIL";
}

void TpReportList::WriteRow(const std::string& /*name*/)
{
}
