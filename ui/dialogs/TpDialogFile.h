// The dialog definition file: the instrument's dialogs, the controls on them,
// the item lists of commands and the numbered text table, in a line format of
// our own (described at the top of resources/Orb.dlg):
//
//   text|<number>|<text>
//   items|<command>|<item 0>|<item 1>|...
//   blankitems|<command>|<count>
//   dialog|<name>[|closekey][|x=..|y=..|w=..|h=..]
//   title|<text>
//   <control type>|<name>|<command>[|attribute ...]
//   end
//
// Fields are separated by '|'; a backslash escapes "\|", "\\", "\n" and
// "\t". A command is a decimal or "0x" number, or a name of the
// remote-control API header. The file comes from outside: every line is
// checked, and a line that is not understood is reported with its number and
// left out; the rest of the file still counts.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

struct TpDialogFileError {
    int line = 0;
    std::string message;
};

// One control of a dialog, as the file describes it.
struct TpControlDef {
    int line = 0;
    std::string type;        // label, field, number, box, check, button, combo, list, clist, pages
    std::string name;        // unique within the dialog; the default caption
    unsigned cmdId = 0;      // 0: not in the store
    std::string caption;
    uint16_t key = 0;        // menu or recall key (1-8, 14-21) that acts on the control
    std::string pageOf;      // shown only on one page of this page control ...
    int page = -1;           // ... this page
    std::string action;      // "", "close", "yes", "no"
    std::string show;        // "", "text", "value": what the control shows of its command
    bool hasRange = false;   // min or max given
    int32_t min = std::numeric_limits<int32_t>::min();
    int32_t max = std::numeric_limits<int32_t>::max();
    int32_t step = 1;
    uint8_t flag = 0;        // the combo box's flag byte
    unsigned itemsOf = 0;    // the combo box shows the items of this id (0: its own)
    uint32_t flags = 0;      // the coloured list's flags
    uint32_t colour = 0;     // 0x00RRGGBB; 0 = default
    uint32_t back = 0;
    int rows = 0;
    int cols = 0;
    int evenWidth = 0;
    int oddWidth = 0;
    bool focus = false;      // has the focus when the dialog first opens
    bool hidden = false;
    bool disabled = false;
};

struct TpDialogDef {
    int line = 0;
    std::string name;
    std::string title;
    bool closeOnKey = false;  // menu key 8 closes the dialog
    bool hasArea = false;     // else the dialog is sized to its rows
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    std::vector<TpControlDef> controls;
};

// The item list of one command id, or of each id of a range.
struct TpItemsDef {
    int line = 0;
    unsigned first = 0;
    unsigned last = 0;
    std::vector<std::string> items;
};

struct TpDialogFileData {
    std::vector<std::string> texts;   // index = text number; entry 0 is ""
    std::vector<TpItemsDef> items;
    std::vector<TpDialogDef> dialogs;
    std::vector<TpDialogFileError> errors;
};

// Command names and their ids, as "#define NAME VALUE" lines give them.
class TpCommandNames {
public:
    static TpCommandNames FromHeaderText(const std::string& text);
    // The ids of the program's own remote-control API header (read once from
    // the ":/KrZuApi.h" resource).
    static const TpCommandNames& Program();

    void Add(const std::string& name, unsigned id);
    bool Find(const std::string& name, unsigned& id) const;
    size_t Count() const { return ids_.size(); }

private:
    std::map<std::string, unsigned> ids_;
};

class TpDialogFile {
public:
    static constexpr unsigned kMaxTextNumber = 4095;
    static constexpr unsigned kMaxItems = 1024;
    static constexpr unsigned kMaxRange = 256;

    static TpDialogFileData Parse(const std::string& text, const TpCommandNames& names);
};
