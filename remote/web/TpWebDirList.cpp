#include "TpWebDirList.h"

TpWebDirList::TpWebDirList(const std::string& pattern)
    : TpWebFileList(pattern)
{
    directoriesOnly_ = true;
}

void TpWebDirList::WriteRow(const std::string& name)
{
    const std::string description = Description(name);
    if (description.empty())
        return;
    WriteLinkRow(false, name, name, description);
}
