// An HTML index page of the files matching a pattern ("folder/prefix*ext"):
// a head with title, heading and introduction, one table row per entry and a
// footer. The page is written a chunk at a time: Begin, then Step until it
// returns false (first the folder is read, 100 entries a step, then the rows
// are written, 10 a step), so a page over a large folder never holds up its
// owner for long.
#pragma once

#include "core/files/AtomicOutFile.h"
#include "core/commands/TpDirList.h"

#include <string>
#include <vector>

class TpWebFileList {
public:
    explicit TpWebFileList(const std::string& pattern);
    virtual ~TpWebFileList() = default;
    TpWebFileList(const TpWebFileList&) = delete;
    TpWebFileList& operator=(const TpWebFileList&) = delete;

    // Creates the index file and writes its head; false (with a message) when
    // the file cannot be created.
    bool Begin(const std::string& indexPath, const std::string& title, const std::string& heading,
               const std::string& introduction, const std::string& emptyText);
    // One chunk of the work; true while there is more to do.
    bool Step();

    // Lists the pattern at once and writes a row for every file (the name
    // with the pattern's extension); true when any file was found.
    virtual bool WriteAllRows();
    // Writes the footer and puts the page in place; nothing when no page is
    // open.
    virtual void Finish();

    // Entries read per step, and rows written per step.
    static constexpr int kEntriesPerStep = 100;
    static constexpr int kRowsPerStep = 10;

protected:
    // Writes the row of one entry (a name as read from the folder).
    virtual void WriteRow(const std::string& name);

    // The modification date and time of the entry called name in the listed
    // folder, or an empty text when it cannot be examined.
    std::string Description(const std::string& name) const;
    // The listed folder (the pattern up to its last '/').
    const std::string& Folder() const { return folder_; }
    bool ShowBmp() const { return showBmp_; }
    // Writes text to the page as it stands.
    void Write(const std::string& text) { out_.Write(text); }
    // A name made safe for HTML text and for a quoted attribute.
    static std::string HtmlText(const std::string& text);

    // One row of three cells: link, link text and description; the link
    // opens the image through the page script's ShowBmp when showBmp is set.
    void WriteLinkRow(bool showBmp, const std::string& link, const std::string& text,
                      const std::string& description);

    bool directoriesOnly_ = false;

private:
    std::string pattern_;
    std::string dirAndPrefix_; // the pattern up to its '*'
    std::string extension_;    // the pattern after its '*'
    std::string folder_;
    bool showBmp_ = false;
    std::string emptyText_;
    AtomicOutFile out_;
    bool reading_ = false;
    TpDirList dirList_;
    std::vector<std::string> names_;
    size_t cursor_ = 0;
};
