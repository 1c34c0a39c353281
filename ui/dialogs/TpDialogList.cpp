#include "TpDialogList.h"

#include "KrZuApi.h"
#include "ui/widgets/TpButton.h"
#include "ui/widgets/TpCheckBox.h"
#include "ui/widgets/TpColouredBox.h"
#include "ui/widgets/TpColouredList.h"
#include "ui/widgets/TpComboBox.h"
#include "ui/widgets/TpEdit.h"
#include "ui/widgets/TpLabel.h"
#include "ui/widgets/TpListBox.h"
#include "ui/widgets/TpPageControl.h"
#include "core/files/FileHelpers.h"
#include "core/text/TextTable.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "resources/ZuResources.h"
#include "sim/KeyMailbox.h"
#include "sim/LcdFrame.h"
#include "sim/LcdImageFiles.h"

#include <algorithm>
#include <atomic>
#include <map>

namespace {

TpDialogList* g_list = nullptr;
std::atomic<bool> g_topClosesOnKey{false};

const char* const kCheckDialog = "CheckDialog";
const char* const kDefaultDefinitions = "Orb.dlg";
const char* const kBuiltInDefinitions = ":/Orb.dlg";

// A name from the settings that becomes part of a file name.
TpWidgetAction ActionOf(const std::string& word)
{
    if (word == "close")
        return kActionClose;
    if (word == "yes")
        return kActionYes;
    if (word == "no")
        return kActionNo;
    return kActionNone;
}

// Widgets keep both the value and the text of their id, so a widget at the
// head of a chain answers reads as the page's own command would.
constexpr CmdValueKind kWidgetKind = kKeepsValueText;

std::unique_ptr<TKrObject> MakeWidget(const TpControlDef& c)
{
    const auto id = static_cast<uint16_t>(c.cmdId);
    if (c.type == "label")
        return std::make_unique<TpLabel>(nullptr, id, kWidgetKind);
    if (c.type == "field")
        return std::make_unique<TpEdit>(nullptr, id, kWidgetKind);
    if (c.type == "number" || c.type == "box") {
        std::unique_ptr<TpEdit> edit;
        if (c.type == "box")
            edit = std::make_unique<TpColouredBox>(nullptr, id, kWidgetKind);
        else
            edit = std::make_unique<TpEdit>(nullptr, id, kWidgetKind);
        if (c.hasRange)
            edit->SetRange(c.min, c.max);
        edit->SetStep(c.step);
        return edit;
    }
    if (c.type == "check")
        return std::make_unique<TpCheckBox>(nullptr, id, kWidgetKind);
    if (c.type == "button")
        return std::make_unique<TpButton>(nullptr, id, kWidgetKind);
    if (c.type == "combo") {
        auto combo = std::make_unique<TpComboBox>(nullptr, id, kWidgetKind);
        combo->SetExtraFlag(c.flag);
        combo->SetItemSource(static_cast<uint16_t>(c.itemsOf));
        return combo;
    }
    if (c.type == "list") {
        auto list = std::make_unique<TpListBox>(nullptr, id, kWidgetKind);
        if (c.rows > 0)
            list->SetVisibleRows(c.rows);
        return list;
    }
    if (c.type == "clist")
        return std::make_unique<TpColouredList>(static_cast<TpCommand*>(nullptr), id, c.flags, kWidgetKind);
    if (c.type == "pages")
        return std::make_unique<TpPageControl>(nullptr, id, kWidgetKind);
    return nullptr;
}

} // namespace

TpDialogList::TpDialogList(LcdFrame& frame) : frame_(frame)
{
    g_list = this;
    g_topClosesOnKey.store(false);
}

TpDialogList::TpDialogList() : TpDialogList(SimLcdFrame()) {}

TpDialogList::~TpDialogList()
{
    if (g_list == this) {
        g_list = nullptr;
        g_topClosesOnKey.store(false);
    }
    stack_.clear();
    closeHook_ = nullptr;
    holders_.clear();
    dialogs_.clear();
}

TpDialogList* TpDialogList::Instance()
{
    return g_list;
}

// --- definitions ---------------------------------------------------------------------

bool TpDialogList::LoadDefinitions(const std::string& language)
{
    std::vector<std::string> files;
    if (!language.empty()) {
        if (PlainFileName(language))
            files.push_back(language + ".dlg");
        else
            DebugPrintf("ERROR: language \"%s\" is not a file name; using %s\n", language.c_str(),
                        kDefaultDefinitions);
    }
    if (files.empty() || files.front() != kDefaultDefinitions)
        files.push_back(kDefaultDefinitions);
    for (const std::string& file : files) {
        std::string text;
        if (ReadWholeFile(file, text))
            return LoadText(text, file);
    }
    std::string text;
    if (ReadResource(kBuiltInDefinitions, text))
        return LoadText(text, kBuiltInDefinitions);
    DebugPrintf("ERROR: no dialog definition file\n");
    return false;
}

bool TpDialogList::LoadFile(const std::string& path)
{
    std::string text;
    if (!ReadWholeFile(path, text)) {
        DebugPrintf("ERROR: Couldn't read dialog definitions %s\n", path.c_str());
        return false;
    }
    return LoadText(text, path);
}

bool TpDialogList::LoadText(const std::string& text, const std::string& source)
{
    if (loaded_) {
        DebugPrintf("ERROR: dialog definitions are already loaded (%s); %s is not read\n", source_.c_str(),
                    source.c_str());
        return false;
    }
    const TpDialogFileData data = TpDialogFile::Parse(text, TpCommandNames::Program());
    source_ = source;
    loaded_ = true;
    for (const TpDialogFileError& e : data.errors)
        DebugPrintf("ERROR: %s line %d: %s\n", source.c_str(), e.line, e.message.c_str());
    return Build(data);
}

bool TpDialogList::Build(const TpDialogFileData& data)
{
    errors_ = data.errors;
    SetTextTable(data.texts);

    std::multimap<unsigned, TKrObject*> widgetsById;
    for (const TpDialogDef& def : data.dialogs) {
        auto dialog = std::make_unique<TpDialog>(this, def.name);
        dialog->SetTitle(def.title);
        dialog->SetClosesOnKey(def.closeOnKey);
        if (def.hasArea)
            dialog->SetArea(TpRect{def.x, def.y, def.w, def.h});
        TKrObject* focus = nullptr;
        for (const TpControlDef& c : def.controls) {
            std::unique_ptr<TKrObject> made = MakeWidget(c);
            if (made == nullptr)
                continue;
            TKrObject* w = dialog->AddControl(std::move(made));
            w->SetName(c.name);
            w->SetCaption(c.caption);
            w->SetBoundKey(c.key);
            w->SetAction(ActionOf(c.action));
            if (c.show == "text" || (c.show.empty() && (c.type == "label" || c.type == "field")))
                w->SetShows(kShowsText);
            else if (c.show == "value" || c.type == "number" || c.type == "box")
                w->SetShows(kShowsValue);
            if (c.colour != 0)
                w->TpCommand::SetColour(c.colour);
            if (c.back != 0)
                w->TpCommand::SetBackColour(c.back);
            if (c.cols > 0)
                w->TpCommand::SetColumnCount(c.cols);
            if (c.rows > 0 && c.type == "clist")
                w->TpCommand::SetRowCount(c.rows);
            if (c.evenWidth > 0)
                w->TpCommand::SetEvenColumnWidth(c.evenWidth);
            if (c.oddWidth > 0)
                w->TpCommand::SetOddColumnWidth(c.oddWidth);
            if (c.hidden)
                w->TpCommand::SetVisible(false);
            if (c.disabled)
                w->TpCommand::SetEnabled(false);
            if (!c.pageOf.empty())
                w->ShowOnPage(dynamic_cast<TpPageControl*>(dialog->FindControl(c.pageOf)), c.page);
            if (c.focus && focus == nullptr)
                focus = w;
            if (c.cmdId != 0)
                widgetsById.emplace(c.cmdId, w);
        }
        if (focus != nullptr)
            focus->SetFocused(true);
        dialogs_.push_back(std::move(dialog));
    }

    // Item lists go to every widget of their id; an id no dialog shows gets a
    // holder, so its commands still find the items in the store's chain.
    for (const TpItemsDef& def : data.items) {
        for (unsigned id = def.first; id <= def.last; ++id) {
            auto [begin, end] = widgetsById.equal_range(id);
            std::vector<TKrObject*> targets;
            for (auto it = begin; it != end; ++it)
                targets.push_back(it->second);
            if (targets.empty()) {
                holders_.push_back(std::make_unique<TpListBox>(nullptr, static_cast<uint16_t>(id), kWidgetKind));
                targets.push_back(holders_.back().get());
            }
            for (TKrObject* w : targets) {
                w->TpCommand::ClearItems();
                for (size_t i = 0; i < def.items.size(); ++i)
                    w->TpCommand::AddItem(def.items[i], static_cast<int32_t>(i));
            }
        }
    }
    stackChanged_ = true;
    return true;
}

// --- windows ---------------------------------------------------------------------------

TpDialog* TpDialogList::Find(const std::string& name) const
{
    for (const auto& d : dialogs_)
        if (d->Name() == name)
            return d.get();
    return nullptr;
}

bool TpDialogList::IsOpen(const TpDialog* window) const
{
    return window != nullptr && std::find(stack_.begin(), stack_.end(), window) != stack_.end();
}

TpDialog* TpDialogList::Show(const std::string& name, uint8_t mode)
{
    TpDialog* dialog = Find(name);
    if (dialog == nullptr) {
        DebugPrintf("ERROR: no dialog \"%s\"\n", name.c_str());
        return nullptr;
    }
    stack_.erase(std::remove(stack_.begin(), stack_.end(), dialog), stack_.end());
    stack_.push_back(dialog);
    dialog->mode_ = mode;
    dialog->SetVisible(true);
    if (dialog->FocusedControl() == nullptr)
        dialog->FocusFirst();
    stackChanged_ = true;
    PublishTop();
    return dialog;
}

TpDialog* TpDialogList::ShowCheck(unsigned text1, unsigned text2, TpCommand* answer)
{
    TpDialog* dialog = Find(kCheckDialog);
    if (dialog == nullptr) {
        DebugPrintf("ERROR: no dialog \"%s\"\n", kCheckDialog);
        return nullptr;
    }
    if (TKrObject* line = dialog->FindControl("Line1"))
        line->SetText(GetText(text1));
    if (TKrObject* line = dialog->FindControl("Line2"))
        line->SetText(GetText(text2));
    dialog->BindAnswer(answer);
    return Show(kCheckDialog, 1);
}

void TpDialogList::CloseWindow(TpDialog* window)
{
    const auto it = std::find(stack_.begin(), stack_.end(), window);
    if (it == stack_.end())
        return;
    stack_.erase(it);
    window->answer_.reset();
    window->SetVisible(false);
    stackChanged_ = true;
    PublishTop();
    RunCloseHook();
}

void TpDialogList::RunCloseHook()
{
    // The hook may replace itself while it runs.
    const std::function<void()> hook = closeHook_;
    if (hook)
        hook();
}

void TpDialogList::PublishTop()
{
    if (g_list == this)
        g_topClosesOnKey.store(!stack_.empty() && stack_.back()->ClosesOnKey());
}

// --- keys ---------------------------------------------------------------------------------

TpKeyResult TpDialogList::RouteKey(uint16_t code)
{
    if ((code & kKeyPressFlag) == 0)
        return TpKeyResult::Ignored;
    const auto key = static_cast<uint16_t>(code & ~kKeyPressFlag);
    if (key == kKeyPowerOff)
        return TpKeyResult::PowerOff;
    if (key == kKeyLongOk) {
        const std::string name = ScreenDump();
        if (name.empty())
            DebugPrintf("ERROR: Screen dump failed\n");
        else
            DebugPrintf("Screen dump %s\n", name.c_str());
        return TpKeyResult::ScreenDump;
    }
    if (TpDialog* top = Top()) {
        if (key == kKeyMenu8 && top->ClosesOnKey()) {
            top->CloseByKey();
            return TpKeyResult::WindowClosed;
        }
        if (top->HandleKey(key))
            return TpKeyResult::Taken;
    }
    if (key >= kKeyRecallFirst && key <= kKeyRecallLast) {
        if (TpStore* store = TpStore::Instance()) {
            store->SetValue(COM_MEMORY_SEL, key - kKeyRecallFirst);
            store->SetValue(COM_MEMORY_RECALL, 1);
        }
        return TpKeyResult::MemoryRecalled;
    }
    return TpKeyResult::Ignored;
}

// --- drawing ---------------------------------------------------------------------------------

bool TpDialogList::RedrawChanged()
{
    bool changed = stackChanged_;
    for (const TpDialog* d : stack_)
        changed = changed || d->IsDirty();
    if (!changed)
        return false;
    frame_.Draw([&](uint32_t* pixels) {
        TpScreenPainter painter(pixels, kLcdWidth, kLcdHeight);
        painter.Fill(kColourScreen);
        for (const TpDialog* d : stack_)
            d->Paint(painter);
    });
    stackChanged_ = false;
    for (const auto& d : dialogs_)
        d->ClearDirty();
    return true;
}

// --- the list's operations for the pages ---------------------------------------------------

TpDialog* ShowDialog(const std::string& name, uint8_t mode)
{
    return g_list != nullptr ? g_list->Show(name, mode) : nullptr;
}

void CloseDialog(TpDialog* dialog)
{
    if (g_list != nullptr && dialog != nullptr)
        g_list->CloseWindow(dialog);
}

TpDialog* TopWindow()
{
    return g_list != nullptr ? g_list->Top() : nullptr;
}

bool IsWindowOpen(const TpDialog* window)
{
    return g_list != nullptr && g_list->IsOpen(window);
}

TpDialog* ShowCheckDialog(unsigned text1, unsigned text2, TpCommand* answer)
{
    return g_list != nullptr ? g_list->ShowCheck(text1, text2, answer) : nullptr;
}

bool TopWindowClosesOnKey()
{
    return g_topClosesOnKey.load();
}
