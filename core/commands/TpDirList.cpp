#include "TpDirList.h"

#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"

#include <algorithm>

namespace {

void SplitPattern(const std::string& pattern, std::string& folder, std::string& name)
{
    size_t slash = pattern.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = pattern;
    } else {
        folder = slash == 0 ? "/" : pattern.substr(0, slash);
        name = pattern.substr(slash + 1);
    }
    if (name.empty())
        name = "*";
}

} // namespace

void TpDirList::Clear()
{
    pending_.clear();
    next_ = 0;
    names_.clear();
    entries_.clear();
}

bool TpDirList::Open(const std::string& pattern, bool directoriesOnly)
{
    Clear();
    std::string folder, name;
    SplitPattern(pattern, folder, name);
    std::vector<DirEntry> all;
    if (!ListDirectory(folder, name, all))
        return false;
    for (DirEntry& e : all)
        if (e.isDirectory == directoriesOnly)
            pending_.push_back(std::move(e));
    return true;
}

bool TpDirList::ReadEntries(int maxEntries)
{
    for (int i = 0; i < maxEntries && next_ < pending_.size(); ++i, ++next_) {
        names_.push_back(pending_[next_].name);
        entries_.push_back(pending_[next_]);
    }
    return next_ < pending_.size();
}

int TpDirList::ListFiles(const std::string& pattern)
{
    std::string folder, name;
    SplitPattern(pattern, folder, name);
    std::vector<DirEntry> all;
    if (!ListDirectory(folder, name, all))
        return 0;
    std::vector<DirEntry> files;
    for (DirEntry& e : all) {
        if (e.isDirectory)
            continue;
        size_t dot = e.name.find_last_of('.');
        if (dot != std::string::npos && dot > 0)
            e.name.resize(dot);
        files.push_back(std::move(e));
    }
    std::sort(files.begin(), files.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    for (DirEntry& e : files) {
        names_.push_back(e.name);
        entries_.push_back(std::move(e));
    }
    return static_cast<int>(files.size());
}

int TpDirList::FillCommandItems(TpCommand* cmd, const std::string& selected) const
{
    if (cmd == nullptr)
        return -1;
    cmd->ClearItemsAll();
    int index = -1;
    for (size_t i = 0; i < names_.size(); ++i) {
        cmd->AddItemAll(names_[i]);
        if (names_[i] == selected)
            index = static_cast<int>(i);
    }
    return index;
}
