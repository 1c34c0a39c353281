#include "TpDialogFile.h"

#include "core/files/FileHelpers.h"
#include "core/store/TpStore.h"
#include "resources/ZuResources.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <set>

namespace {

constexpr int kScreenWidth = 480;
constexpr int kScreenHeight = 272;
constexpr int kMaxGridSize = 64;

// The control types the file may name.
constexpr const char* kControlTypes[] = {
    "label", "field", "number", "box", "check", "button", "combo", "list", "clist", "pages",
};

bool IsControlType(const std::string& word)
{
    for (const char* t : kControlTypes)
        if (word == t)
            return true;
    return false;
}

// Splits a line at unescaped '|' and resolves the escapes. False (with a
// message) for an escape the format does not know.
bool SplitFields(const std::string& line, std::vector<std::string>& fields, std::string& error)
{
    fields.assign(1, std::string());
    size_t i = 0;
    for (;;) {
        const size_t special = line.find_first_of("|\\", i);
        const size_t end = special == std::string::npos ? line.size() : special;
        fields.back().append(line, i, end - i);
        if (special == std::string::npos)
            return true;
        if (line[special] == '|') {
            fields.emplace_back();
            i = special + 1;
            continue;
        }
        if (special + 1 >= line.size()) {
            error = "backslash at the end of the line";
            return false;
        }
        const char e = line[special + 1];
        switch (e) {
        case '|': fields.back() += '|'; break;
        case '\\': fields.back() += '\\'; break;
        case 'n': fields.back() += '\n'; break;
        case 't': fields.back() += '\t'; break;
        default:
            error = std::string("unknown escape \\") + e;
            return false;
        }
        i = special + 2;
    }
}

class Parser {
public:
    Parser(const TpCommandNames& names, TpDialogFileData& data) : names_(names), data_(data) {}

    void Run(const std::string& text);

private:
    void Line(const std::string& line);
    void Error(const std::string& message) { data_.errors.push_back({lineNo_, message}); }

    bool Command(const std::string& field, unsigned& id);
    bool CommandRange(const std::string& field, unsigned& first, unsigned& last);

    void Text(const std::vector<std::string>& f);
    void Items(const std::vector<std::string>& f, bool blank);
    void Dialog(const std::vector<std::string>& f);
    void Title(const std::vector<std::string>& f);
    void End();
    void Control(const std::vector<std::string>& f);
    bool Attribute(const std::string& field, TpControlDef& c);
    void CloseOpenDialog(const char* why);

    const TpCommandNames& names_;
    TpDialogFileData& data_;
    int lineNo_ = 0;
    bool inDialog_ = false;
    bool skipDialog_ = false;           // inside a dialog left out (a repeated name)
    TpDialogDef current_;
    std::set<std::string> dialogNames_;
    std::set<unsigned> itemIds_;
    std::vector<bool> textSet_;
};

void Parser::Run(const std::string& text)
{
    data_.texts.assign(1, std::string());
    textSet_.assign(1, true);
    for (const std::string& line : SplitLines(text)) {
        ++lineNo_;
        if (line.empty() || line[0] == '#')
            continue;
        Line(line);
    }
    if (inDialog_)
        CloseOpenDialog("has no end line");
}

void Parser::Line(const std::string& line)
{
    std::vector<std::string> f;
    std::string error;
    if (!SplitFields(line, f, error)) {
        Error(error);
        return;
    }
    const std::string& word = f[0];
    if (word == "text")
        Text(f);
    else if (word == "items")
        Items(f, false);
    else if (word == "blankitems")
        Items(f, true);
    else if (word == "dialog")
        Dialog(f);
    else if (word == "title")
        Title(f);
    else if (word == "end")
        End();
    else if (IsControlType(word))
        Control(f);
    else
        Error("unknown line \"" + word + "\"");
}

bool Parser::Command(const std::string& field, unsigned& id)
{
    long long v = 0;
    if (field.empty()) {
        id = 0;
        return true;
    }
    if (std::isdigit(static_cast<unsigned char>(field[0]))) {
        if (!ParseInt(field, 0, TpCommandEntries::kEntryCount - 1, v)) {
            Error("command \"" + field + "\" is not an id of the store (0-" +
                  std::to_string(TpCommandEntries::kEntryCount - 1) + ")");
            return false;
        }
        id = static_cast<unsigned>(v);
        return true;
    }
    unsigned named = 0;
    if (!names_.Find(field, named)) {
        Error("unknown command name \"" + field + "\"");
        return false;
    }
    if (named >= TpCommandEntries::kEntryCount) {
        Error("command \"" + field + "\" is beyond the store");
        return false;
    }
    id = named;
    return true;
}

bool Parser::CommandRange(const std::string& field, unsigned& first, unsigned& last)
{
    const size_t dash = field.find('-');
    if (dash == std::string::npos) {
        if (!Command(field, first))
            return false;
        last = first;
    } else if (!Command(field.substr(0, dash), first) || !Command(field.substr(dash + 1), last)) {
        return false;
    }
    if (first == 0 || last < first || last - first >= TpDialogFile::kMaxRange) {
        Error("bad command range \"" + field + "\"");
        return false;
    }
    return true;
}

void Parser::Text(const std::vector<std::string>& f)
{
    long long n = 0;
    if (f.size() != 3) {
        Error("a text line is text|<number>|<text>");
        return;
    }
    if (!ParseInt(f[1], 1, TpDialogFile::kMaxTextNumber, n)) {
        Error("text number \"" + f[1] + "\" is not 1-" + std::to_string(TpDialogFile::kMaxTextNumber));
        return;
    }
    const size_t at = static_cast<size_t>(n);
    if (at < textSet_.size() && textSet_[at]) {
        Error("text " + f[1] + " is given twice; the first one counts");
        return;
    }
    if (data_.texts.size() <= at) {
        data_.texts.resize(at + 1);
        textSet_.resize(at + 1, false);
    }
    data_.texts[at] = f[2];
    textSet_[at] = true;
}

void Parser::Items(const std::vector<std::string>& f, bool blank)
{
    TpItemsDef def;
    def.line = lineNo_;
    if (f.size() < 2 || (blank && f.size() != 3)) {
        Error(blank ? "a blankitems line is blankitems|<command>|<count>" : "an items line is items|<command>|<item>...");
        return;
    }
    if (!CommandRange(f[1], def.first, def.last))
        return;
    if (blank) {
        long long count = 0;
        if (!ParseInt(f[2], 1, TpDialogFile::kMaxItems, count)) {
            Error("item count \"" + f[2] + "\" is not 1-" + std::to_string(TpDialogFile::kMaxItems));
            return;
        }
        def.items.assign(static_cast<size_t>(count), std::string());
    } else {
        if (f.size() - 2 > TpDialogFile::kMaxItems) {
            Error("more than " + std::to_string(TpDialogFile::kMaxItems) + " items");
            return;
        }
        def.items.assign(f.begin() + 2, f.end());
    }
    for (unsigned id = def.first; id <= def.last; ++id)
        if (itemIds_.count(id) != 0) {
            Error("the items of command " + std::to_string(id) + " are given twice; the first ones count");
            return;
        }
    for (unsigned id = def.first; id <= def.last; ++id)
        itemIds_.insert(id);
    data_.items.push_back(std::move(def));
}

void Parser::CloseOpenDialog(const char* why)
{
    if (!skipDialog_) {
        data_.errors.push_back({current_.line, "dialog \"" + current_.name + "\" " + why});
        data_.dialogs.push_back(std::move(current_));
    }
    current_ = TpDialogDef();
    inDialog_ = false;
    skipDialog_ = false;
}

void Parser::Dialog(const std::vector<std::string>& f)
{
    if (inDialog_)
        CloseOpenDialog("has no end line");
    if (f.size() < 2 || f[1].empty()) {
        Error("a dialog line is dialog|<name>[|flags]");
        return;
    }
    TpDialogDef d;
    d.line = lineNo_;
    d.name = f[1];
    long long x = -1, y = -1, w = -1, h = -1;
    for (size_t i = 2; i < f.size(); ++i) {
        const std::string& a = f[i];
        if (a == "closekey") {
            d.closeOnKey = true;
            continue;
        }
        const size_t eq = a.find('=');
        const std::string key = eq == std::string::npos ? a : a.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : a.substr(eq + 1);
        long long* slot = key == "x" ? &x : key == "y" ? &y : key == "w" ? &w : key == "h" ? &h : nullptr;
        if (slot == nullptr || eq == std::string::npos || !ParseInt(value, 0, kScreenWidth, *slot)) {
            Error("bad dialog flag \"" + a + "\"");
            return;
        }
    }
    const int given = (x >= 0) + (y >= 0) + (w >= 0) + (h >= 0);
    if (given != 0) {
        if (given != 4 || w <= 0 || h <= 0 || x + w > kScreenWidth || y + h > kScreenHeight) {
            Error("a dialog's area needs x, y, w and h inside the 480 x 272 screen");
            return;
        }
        d.hasArea = true;
        d.x = static_cast<int>(x);
        d.y = static_cast<int>(y);
        d.w = static_cast<int>(w);
        d.h = static_cast<int>(h);
    }
    inDialog_ = true;
    if (!dialogNames_.insert(d.name).second) {
        Error("dialog \"" + d.name + "\" is defined twice; the first one counts");
        skipDialog_ = true;
    }
    current_ = std::move(d);
}

void Parser::Title(const std::vector<std::string>& f)
{
    if (!inDialog_) {
        Error("a title outside a dialog");
        return;
    }
    if (f.size() != 2) {
        Error("a title line is title|<text>");
        return;
    }
    current_.title = f[1];
}

void Parser::End()
{
    if (!inDialog_) {
        Error("an end line outside a dialog");
        return;
    }
    if (!skipDialog_)
        data_.dialogs.push_back(std::move(current_));
    current_ = TpDialogDef();
    inDialog_ = false;
    skipDialog_ = false;
}

bool Parser::Attribute(const std::string& field, TpControlDef& c)
{
    if (field == "focus") {
        c.focus = true;
        return true;
    }
    if (field == "hidden") {
        c.hidden = true;
        return true;
    }
    if (field == "disabled") {
        c.disabled = true;
        return true;
    }
    const size_t eq = field.find('=');
    if (eq == std::string::npos) {
        Error("unknown attribute \"" + field + "\"");
        return false;
    }
    const std::string key = field.substr(0, eq);
    const std::string value = field.substr(eq + 1);
    long long v = 0;
    const auto number = [&](long long least, long long most) {
        if (ParseInt(value, least, most, v))
            return true;
        Error("attribute \"" + field + "\" needs a number " + std::to_string(least) + "-" + std::to_string(most));
        return false;
    };
    if (key == "caption") {
        c.caption = value;
    } else if (key == "key") {
        if (!number(1, 21) || (v > 8 && v < 14)) {
            if (v > 8 && v < 14)
                Error("key " + value + " is not a menu key (1-8) or a recall key (14-21)");
            return false;
        }
        c.key = static_cast<uint16_t>(v);
    } else if (key == "page") {
        const size_t colon = value.rfind(':');
        long long page = 0;
        if (colon == std::string::npos || colon == 0 || !ParseInt(value.substr(colon + 1), 0, 255, page)) {
            Error("a page attribute is page=<page control>:<page>");
            return false;
        }
        c.pageOf = value.substr(0, colon);
        c.page = static_cast<int>(page);
    } else if (key == "action") {
        if (value != "close" && value != "yes" && value != "no") {
            Error("unknown action \"" + value + "\"");
            return false;
        }
        c.action = value;
    } else if (key == "show") {
        if (value != "text" && value != "value") {
            Error("a control shows \"text\" or \"value\", not \"" + value + "\"");
            return false;
        }
        c.show = value;
    } else if (key == "min" || key == "max" || key == "step") {
        if (!number(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()))
            return false;
        (key == "min" ? c.min : key == "max" ? c.max : c.step) = static_cast<int32_t>(v);
        if (key != "step")
            c.hasRange = true;
    } else if (key == "flag") {
        if (!number(0, 255))
            return false;
        c.flag = static_cast<uint8_t>(v);
    } else if (key == "itemsof") {
        unsigned id = 0;
        if (c.type != "combo") {
            Error("only a combo shows the items of another command");
            return false;
        }
        if (!Command(value, id))
            return false;
        c.itemsOf = id;
    } else if (key == "flags") {
        if (!number(0, 0xFFFFFFFFLL))
            return false;
        c.flags = static_cast<uint32_t>(v);
    } else if (key == "colour" || key == "back") {
        if (!number(0, 0xFFFFFF))
            return false;
        (key == "colour" ? c.colour : c.back) = static_cast<uint32_t>(v);
    } else if (key == "rows" || key == "cols") {
        if (!number(1, kMaxGridSize))
            return false;
        (key == "rows" ? c.rows : c.cols) = static_cast<int>(v);
    } else if (key == "even" || key == "odd") {
        if (!number(1, kScreenWidth))
            return false;
        (key == "even" ? c.evenWidth : c.oddWidth) = static_cast<int>(v);
    } else {
        Error("unknown attribute \"" + key + "\"");
        return false;
    }
    return true;
}

void Parser::Control(const std::vector<std::string>& f)
{
    if (!inDialog_) {
        Error("a control outside a dialog");
        return;
    }
    if (f.size() < 3 || f[1].empty()) {
        Error("a control line is <type>|<name>|<command>[|attributes]");
        return;
    }
    TpControlDef c;
    c.line = lineNo_;
    c.type = f[0];
    c.name = f[1];
    c.caption = f[1];
    if (!Command(f[2], c.cmdId))
        return;
    for (size_t i = 3; i < f.size(); ++i)
        if (!Attribute(f[i], c))
            return;
    if (c.hasRange && c.min > c.max) {
        Error("min is above max");
        return;
    }
    if (c.step <= 0) {
        Error("step must be positive");
        return;
    }
    for (const TpControlDef& other : current_.controls) {
        if (other.name == c.name) {
            Error("control \"" + c.name + "\" is already on dialog \"" + current_.name + "\"");
            return;
        }
    }
    if (!c.pageOf.empty()) {
        const auto owner = std::find_if(current_.controls.begin(), current_.controls.end(),
                                        [&](const TpControlDef& o) { return o.name == c.pageOf; });
        if (owner == current_.controls.end() || owner->type != "pages") {
            Error("\"" + c.pageOf + "\" is not a page control defined before on this dialog");
            return;
        }
    }
    current_.controls.push_back(std::move(c));
}

} // namespace

// --- TpCommandNames ------------------------------------------------------------

TpCommandNames TpCommandNames::FromHeaderText(const std::string& text)
{
    TpCommandNames names;
    for (const std::string& line : SplitLines(text)) {
        const size_t at = line.find("#define");
        if (at == std::string::npos)
            continue;
        // "#define NAME VALUE": two words after the keyword.
        std::vector<std::string> words;
        std::string word;
        for (size_t i = at + 7; i <= line.size(); ++i) {
            const char c = i < line.size() ? line[i] : ' ';
            if (c == ' ' || c == '\t' || c == '\r') {
                if (!word.empty())
                    words.push_back(word);
                word.clear();
            } else {
                word += c;
            }
        }
        long long value = 0;
        if (words.size() >= 2 && ParseInt(words[1], 0, 0xFFFF, value))
            names.Add(words[0], static_cast<unsigned>(value));
    }
    return names;
}

const TpCommandNames& TpCommandNames::Program()
{
    static const TpCommandNames names = [] {
        std::string header;
        ReadResource(":/KrZuApi.h", header);
        return FromHeaderText(header);
    }();
    return names;
}

void TpCommandNames::Add(const std::string& name, unsigned id)
{
    ids_[name] = id;
}

bool TpCommandNames::Find(const std::string& name, unsigned& id) const
{
    const auto it = ids_.find(name);
    if (it == ids_.end())
        return false;
    id = it->second;
    return true;
}

// --- TpDialogFile --------------------------------------------------------------------

TpDialogFileData TpDialogFile::Parse(const std::string& text, const TpCommandNames& names)
{
    TpDialogFileData data;
    Parser(names, data).Run(text);
    return data;
}
