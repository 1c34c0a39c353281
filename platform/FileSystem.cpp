#include "FileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

bool WildcardMatch(const std::string& pattern, const std::string& name)
{
    // Iterative match with backtracking to the last '*'.
    size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool ListDirectory(const std::string& folder, const std::string& pattern,
                   std::vector<DirEntry>& out)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return false;
    while (struct dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        if (!WildcardMatch(pattern.empty() ? "*" : pattern, name))
            continue;
        DirEntry entry;
        entry.name = name;
        struct stat st {};
        if (stat((folder + "/" + name).c_str(), &st) == 0) {
            entry.isDirectory = S_ISDIR(st.st_mode);
            entry.modified = st.st_mtime;
            entry.size = static_cast<uint64_t>(st.st_size);
        }
        out.push_back(entry);
    }
    closedir(dir);
    return true;
}

bool DeleteFile(const std::string& path)
{
    return !path.empty() && std::remove(path.c_str()) == 0;
}

bool MakeFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && FolderExists(path);
}

bool FolderExists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    std::string data;
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (ok)
        out.swap(data);
    return ok;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes)
{
    static std::atomic<unsigned> counter{0};
    const std::string temp = path + ".tmp" + std::to_string(getpid()) + "_" +
                             std::to_string(counter.fetch_add(1));
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (ok)
        ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}
