// An index page of the sub-folders matching a pattern; each row links to the
// sub-folder's own "index.html".
#pragma once

#include "TpWebFileList.h"

class TpWebDirList : public TpWebFileList {
public:
    explicit TpWebDirList(const std::string& pattern);

protected:
    void WriteRow(const std::string& name) override;
};
