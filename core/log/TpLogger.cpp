#include "TpLogger.h"

#include "KrZuApi.h"
#include "core/text/TextTable.h"
#include "core/store/TpStore.h"
#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <cstddef>
#include <cstdio>
#include <mutex>

namespace {

// Guards the instance pointer and the queue of events from other threads.
std::mutex g_loggerMutex;
TpLogger* g_logger = nullptr;

// The event list: adding to a full list drops the oldest events first, so
// whoever adds (the logger, or a store request on the list's id) cannot grow
// it past the logger's capacity.
class TpEventList : public TpTextListCmd {
public:
    using TpTextListCmd::TpTextListCmd;

    void AddItem(const std::string& text, int32_t value) override
    {
        constexpr size_t capacity = TpLogger::kCapacity;
        if (items_.size() >= capacity)
            items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(items_.size() - capacity + 1));
        TpTextListCmd::AddItem(text, value);
    }
};

} // namespace

TpLogger::TpLogger(TpCommand* parent)
    : TpParent(parent, 0, kKeepsNothing), appThread_(std::this_thread::get_id())
{
    list_ = std::make_unique<TpEventList>(this, COM_ANLYS_LOG_VIEW, kKeepsNothing);
    switch_ = std::make_unique<TpChildCmd>(this, COM_ANLYS_LOG_ENABLE, kKeepsValue);
    // Logging is on unless the switch's other views already say otherwise.
    TpStore* store = TpStore::Instance();
    TpCommand* head = store != nullptr ? store->GetCmd(COM_ANLYS_LOG_ENABLE) : nullptr;
    switch_->SetValue(head != nullptr && head != switch_.get() ? head->GetValue() : 1);
    if (store != nullptr) {
        const TpCommandEntry* e = store->Entry(COM_ANLYS_LOG_ENABLE);
        if (e != nullptr && !e->defined)
            store->DefineEntry(COM_ANLYS_LOG_ENABLE, kStoreValue, kStoreSystem, 1);
        store->AddTask(this, "EventLog", 20, true, true);
    }
    TpBase::SetEventLogClearer([] {
        if (TpLogger* logger = TpLogger::Instance())
            logger->Clear();
    });
    std::lock_guard<std::mutex> lock(g_loggerMutex);
    g_logger = this;
}

TpLogger::~TpLogger()
{
    std::lock_guard<std::mutex> lock(g_loggerMutex);
    if (g_logger == this)
        g_logger = nullptr;
    pending_.clear();
}

TpLogger* TpLogger::Instance()
{
    std::lock_guard<std::mutex> lock(g_loggerMutex);
    return g_logger;
}

void TpLogger::OnChildChanged(TpCommand* child, int reason)
{
    if (child == switch_.get() && reason == kReasonValue)
        loggingOn_.store(switch_->GetValue() != 0);
}

void TpLogger::OnTask()
{
    Update();
}

char TpLogger::LevelChar(int level)
{
    switch (level) {
    case kEventError: return 'E';
    case kEventWarning: return 'W';
    case kEventInfo: return 'i';
    case kEventCommand: return 'C';
    default: return '?';
    }
}

std::string TpLogger::FormatEntry(const TpEvent& event)
{
    std::tm tm{};
    const std::time_t t = event.time;
    localtime_r(&t, &tm);
    char stamp[64];
    if (std::strftime(stamp, sizeof stamp, "%H:%M:%S %d-%m-%Y", &tm) == 0)
        stamp[0] = '\0';
    std::string message = ::GetText(event.textNumber);
    if (!event.text.empty()) {
        if (!message.empty())
            message += ' ';
        message += event.text;
    }
    std::string entry;
    entry += LevelChar(event.level);
    entry += ' ';
    entry += stamp;
    entry += ' ';
    entry += message;
    return entry;
}

void TpLogger::Submit(const TpCommand* source, int level, unsigned textNumber, const std::string& text,
                      bool filtered)
{
    TpEvent event;
    event.time = CurrentClock().WallSeconds();
    event.level = level;
    event.textNumber = textNumber;
    event.text = text;

    std::unique_lock<std::mutex> lock(g_loggerMutex);
    TpLogger* logger = g_logger;
    if (logger == nullptr)
        return;
    if (filtered && (!logger->eventsEnabled_.load() || !logger->loggingOn_.load()))
        return;
    if (std::this_thread::get_id() != logger->appThread_) {
        if (logger->pending_.size() >= static_cast<size_t>(kCapacity))
            logger->pending_.pop_front();
        logger->pending_.push_back(std::move(event));
        return;
    }
    lock.unlock();
    // Application thread from here: the logger and the source stay put.
    if (source != nullptr) {
        event.source = source->CmdId();
        if (filtered && source->GetValue() == 0)
            return;
    }
    logger->Update();
    logger->Append(event);
}

void TpLogger::Update()
{
    std::deque<TpEvent> queued;
    {
        std::lock_guard<std::mutex> lock(g_loggerMutex);
        queued.swap(pending_);
    }
    for (const TpEvent& e : queued)
        Append(e);
}

void TpLogger::Append(const TpEvent& event)
{
    const std::string entry = FormatEntry(event);
    list_->AddItemAll(entry);
}

void TpLogger::Clear()
{
    {
        std::lock_guard<std::mutex> lock(g_loggerMutex);
        pending_.clear();
    }
    list_->ClearItemsAll();
}

std::string TpLogger::TextFilePath()
{
    return Paths::DataFolder() + "/logfile.txt";
}

bool TpLogger::SaveAsText() const
{
    std::string text;
    const int count = list_->GetItemCount();
    for (int i = 0; i < count; ++i) {
        text += list_->GetItemText(i);
        text += '\n';
    }
    return WriteFileAtomic(TextFilePath(), text);
}

// --- logging functions -------------------------------------------------------------

void LogMessage(int level, const std::string& text)
{
    const char* prefix = level == 0 ? "ERROR:" : level == 1 ? "WARN:" : level == 2 ? "" : "???:";
    std::string line = prefix;
    if (!line.empty())
        line += ' ';
    line += text;
    line += '\n';
    OutputDebugStringA(line.c_str());
    TpLogger::Submit(nullptr, level, 0, text, true);
}

void LogMessageValue(int level, const std::string& text, long number)
{
    LogMessage(level, text + " " + std::to_string(number));
}

void LogMessageText(int level, const std::string& text1, const std::string& text2)
{
    LogMessage(level, text1 + text2);
}

void LogEvent(const TpCommand* source, int level, unsigned textNumber, const char* text)
{
    TpLogger::Submit(source, level, textNumber, text != nullptr ? text : "", true);
}

void LogEventInt(const TpCommand* source, int level, unsigned textNumber, int number)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%d", number);
    LogEvent(source, level, textNumber, buf);
}

void LogEventLong(const TpCommand* source, int level, unsigned textNumber, long number)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld", number);
    LogEvent(source, level, textNumber, buf);
}

void AddEvent(int level, unsigned textNumber, const std::string& text)
{
    TpLogger::Submit(nullptr, level, textNumber, text, false);
}
