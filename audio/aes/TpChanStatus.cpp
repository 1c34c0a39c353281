#include "TpChanStatus.h"

#include "board/AesChannelStatus.h"
#include "core/store/Colours.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<bool> g_itemsForced{false};

constexpr int kInvalidItems = 6;
constexpr int kOrigin = 6;        // bytes 6-9
constexpr int kDestination = 10;  // bytes 10-13

// A text chosen by the bits under a mask: value, text.
struct Choice {
    uint8_t value;
    const char* text;
};
const char* Pick(const Choice* table, size_t count, uint8_t value, const char* other)
{
    for (size_t i = 0; i < count; ++i)
        if (table[i].value == value)
            return table[i].text;
    return other;
}
template <size_t N>
const char* Pick(const Choice (&table)[N], uint8_t value, const char* other)
{
    return Pick(table, N, value, other);
}

// Professional fields.
constexpr Choice kProRate[] = {{0x40, "44.1kHz"}, {0x80, "48kHz  "}, {0xC0, "32kHz  "}, {0x00, "unknown"}};
constexpr Choice kProEmphasis[] = {{0x00, "unknown"}, {0x04, "none"}, {0x0C, "50us + 15us"}, {0x1C, "ITU-T J.17"}};
constexpr Choice kProMode[] = {{0x0, "unknown"}, {0x1, "2xFs   "}, {0x9, "2xFs   "}, {0xE, "2xFs   "},
                               {0x2, "stereo "}, {0x4, "mono   "}, {0x8, "2-ch   "}, {0xC, "pri-sec"},
                               {0xF, "mult-ch"}};
constexpr Choice kProUserBits[] = {{0x00, "none"}, {0x40, "AES18"}, {0x80, "192-bit"}, {0xC0, "user def"}};
constexpr Choice kProLevel[] = {{0x40, "-18.06dB"}, {0x80, "-20dB   "}, {0x00, "unknown "}, {0xC0, "?"}};
constexpr Choice kProReference[] = {{0, "Not"}, {1, "Grade 2"}, {2, "Grade 1"}, {3, "Reserved"}};
constexpr Choice kProRate2[] = {{0x00, "unknown"}, {0x08, "24kHz"},   {0x10, "96kHz"},   {0x18, "192kHz"},
                                {0x48, "22.05kHz"}, {0x50, "88.2kHz"}, {0x58, "176.4kHz"}};
// Word lengths of a 20-bit and a 24-bit maximum.
constexpr Choice kWord20[] = {{0x00, "?(20)"}, {0x08, "16"}, {0x10, "18"}, {0x20, "19"}, {0x28, "20"}, {0x30, "17"}};
constexpr Choice kWord24[] = {{0x00, "?(24)"}, {0x08, "20"}, {0x10, "22"}, {0x20, "23"}, {0x28, "24"}, {0x30, "21"}};

// Consumer fields.
constexpr Choice kConEmphasis[] = {{0x00, "None"}, {0x08, "50/15 us"}, {0x10, "Reserved"}, {0x18, "Reserved"}};
constexpr Choice kConRate[] = {{0, "44.1kHz"}, {1, "?"}, {2, "48kHz"}, {3, "32kHz"}};
constexpr Choice kConClock[] = {{0x00, "+/-100ppm"}, {0x10, "var.pitch"}, {0x20, "+/-50 ppm"}, {0x30, "Reserved"}};
// Categories by group (bits 0-2), sub-code (bits 3-6, mask 0x78).
constexpr Choice kCatOptical[] = {{0x00, "Opt CD-IEC"}, {0x08, "Opt CD"}};
constexpr Choice kCatDigital[] = {{0x00, "Dig.coder"}, {0x10, "Dig.mixer"}, {0x18, "Dig.SRC"}, {0x20, "Dig.sample"}};
constexpr Choice kCatMagnetic[] = {{0x00, "Mag.DAT"}, {0x08, "Mag.VCR"}};
constexpr Choice kCatBroadcast[] = {{0x00, "B/Cast JP"}, {0x08, "B/Cast EU"}, {0x40, "B/Cast S/W"}, {0x60, "B/Cast USA"}};
constexpr Choice kCatMusical[] = {{0x00, "MusicSynth"}, {0x08, "Music Mic"}};

std::string Hex32(const TpChanStatus::Block& b, int first)
{
    char text[16];
    const uint32_t v = (static_cast<uint32_t>(b[first]) << 24) + (static_cast<uint32_t>(b[first + 1]) << 16) +
                       (static_cast<uint32_t>(b[first + 2]) << 8) + b[first + 3];
    std::snprintf(text, sizeof text, "%08x", v);
    return text;
}

// Four 7-bit characters; the text ends at the first zero one.
std::string Chars(const TpChanStatus::Block& b, int first)
{
    std::string text;
    for (int i = first; i < first + 4 && (b[i] & 0x7F) != 0; ++i)
        text += static_cast<char>(b[i] & 0x7F);
    return text;
}

std::string SampleSize(uint8_t byte2)
{
    const uint8_t word = byte2 & 0x38;
    switch (byte2 & 0x07) {
    case 2: return std::string(Pick(kWord20, word, "?")) + " of 20";
    case 4: return std::string(Pick(kWord24, word, "?")) + " of 24 ";
    case 0: return "20";
    default:
        DebugPrintf("?");
        return "";
    }
}

std::string Reliability(uint8_t byte22)
{
    if ((byte22 & 0xF0) == 0)
        return "All OK";
    std::string text;
    for (int bit = 7; bit >= 4; --bit)
        text += (byte22 & (1u << bit)) != 0 ? "n" : "y";
    return text;
}

std::string Category(uint8_t byte1)
{
    const uint8_t s = byte1 & 0x78;
    switch (byte1 & 0x07) {
    case 0: return (byte1 & 0x08) != 0 ? "S/S Memory" : (byte1 & 0x40) != 0 ? "Experiment" : "General";
    case 1: return Pick(kCatOptical, s, "Opt Res.");
    case 2: return Pick(kCatDigital, s, "Reserved");
    case 3: return Pick(kCatMagnetic, s, "Mag.Res.");
    case 4: return Pick(kCatBroadcast, s, "Reserved");
    case 5: return Pick(kCatMusical, s, "Reserved");
    case 6: return (byte1 & 0x08) != 0 ? "Broadcast " : (byte1 & 0x10) != 0 ? "ADC No (c)" : "ADC (c)";
    default: return "Reserved";
    }
}

std::vector<std::string> DecodePro(const TpChanStatus::Block& b, uint8_t crc)
{
    return {
        "Format", "Pro",
        (b[0] & 0x02) != 0 ? "Data" : "PCM", (b[0] & 0x20) != 0 ? "unlocked" : "",
        "Fs", Pick(kProRate, b[0] & 0xC0, "unknown"),
        "Emphasis", Pick(kProEmphasis, b[0] & 0x1C, "Reserved"),
        "Mode", Pick(kProMode, b[1] & 0x0F, "Reserved"),
        "UsrBits", Pick(kProUserBits, b[1] & 0xF0, "Reserved"),
        "Spl size", SampleSize(b[2]),
        "Level", Pick(kProLevel, b[2] & 0xC0, "?"),
        (b[3] & 0x80) != 0 ? "Multichan" : "", "",
        "", "",
        "ref.Fs", Pick(kProReference, b[4] & 0x03, "Reserved"),
        Pick(kProRate2, b[4] & 0x78, "?"), (b[4] & 0x80) != 0 ? "/1.001" : "",
        "Origin", Chars(b, kOrigin),
        "Dest", Chars(b, kDestination),
        "Spl.Addr.", Hex32(b, 14),
        "Time", Hex32(b, 18),
        "Reliable?", Reliability(b[22]),
        "CRCC", b[23] == crc ? "OK" : "FAIL",
    };
}

std::vector<std::string> DecodeConsumer(const TpChanStatus::Block& b)
{
    const int source = b[2] & 0x0F;
    const int channel = b[2] >> 4;
    const uint8_t emphasis = b[0] & 0x38;
    return {
        "Consumer", (b[0] & 0x02) != 0 ? "Non Audio" : "Dig.Audio",
        "Copy", (b[0] & 0x04) != 0 ? "Permited" : "Inhibited",
        "Pre-emph", emphasis >= 0x20 ? "Res-4ch aud" : Pick(kConEmphasis, emphasis, "Reserved"),
        "Category", Category(b[1]),
        "Source #", source == 0 ? "n/i" : std::to_string(source),
        "Chan. #", channel == 0 ? "n/i" : std::string(1, static_cast<char>('A' + channel - 1)),
        "Spl Freq.", (b[3] & 0x0C) != 0 ? "?" : Pick(kConRate, b[3] & 0x03, "?"),
        "Clock Acc.", Pick(kConClock, b[3] & 0x30, "Reserved"),
    };
}

// Starts a command with the items its id's chain already has (the dialog's).
void CopyChainItems(TpCommand& cmd)
{
    TpStore* store = TpStore::Instance();
    TpCommand* head = store != nullptr ? store->GetCmd(cmd.CmdId()) : nullptr;
    if (head != nullptr && head != &cmd)
        for (const TpItem& item : head->Items())
            cmd.AddItem(item.text, item.value);
}

int ItemCount(unsigned cmdId)
{
    TpStore* store = TpStore::Instance();
    TpCommand* head = store != nullptr ? store->GetCmd(cmdId) : nullptr;
    return head != nullptr ? head->GetItemCount() : 0;
}

} // namespace

TpChanStatus::TpChanStatus(const CmdIds& ids, bool aesItems) : TpValListCmd(nullptr, ids[kOwn])
{
    inputSelect_ = std::make_unique<TpValListCmd>(this, ids[kInputSelect]);
    sourceSelect_ = std::make_unique<TpChildCmd>(this, ids[kSourceSelect], kKeepsValue);
    line1_ = std::make_unique<TpCommand>(this, ids[kLine1], kKeepsText);
    line2_ = std::make_unique<TpCommand>(this, ids[kLine2], kKeepsText);
    line3_ = std::make_unique<TpCommand>(this, ids[kLine3], kKeepsText);
    loop_ = std::make_unique<TpCommand>(this, COM_GEN1_LOOP_SDI_IN, kKeepsValue);
    CopyChainItems(*line1_);
    CopyChainItems(*line3_);
    line2_->SetVisibleAll(false);
    if (!aesItems) {
        inputSelect_->SetItemEnabledAll(2, false);
        inputSelect_->SetItemEnabledAll(3, false);
    }
}

TpChanStatus::~TpChanStatus()
{
    // The flag belongs to the page's lifetime: a new page starts unforced.
    ResetItemsForced();
}

bool TpChanStatus::ItemsForced()
{
    return g_itemsForced.load();
}

void TpChanStatus::ResetItemsForced()
{
    g_itemsForced.store(false);
}

void TpChanStatus::SetItemEnabled(int item, bool enabled)
{
    TpValListCmd::SetItemEnabled(item, enabled);
    inputSelect_->SetItemEnabled(item, enabled);
    if (g_itemsForced.load())
        EnableAesItems();
}

void TpChanStatus::EnableAesItems()
{
    // Through the store, so every view of both lists (the dialog's too) has
    // them; views that already have them are left alone.
    for (int item : {kAesInput1, kAesInput2}) {
        SetItemEnabledAll(item, true);
        inputSelect_->SetItemEnabledAll(item, true);
    }
}

void TpChanStatus::ForceItemsEnabled()
{
    EnableAesItems();
    g_itemsForced.store(true);
}

void TpChanStatus::OnChildChanged(TpCommand* child, int reason)
{
    if (child != inputSelect_.get() || reason != kReasonValue)
        return;
    TpStore* store = TpStore::Instance();
    if (store == nullptr || store->LoadState() != kLoadNormal || loop_->GetValue() != 0)
        return;
    const int32_t v = child->GetValue();
    const bool aes = v == kAesInput1 || v == kAesInput2;
    if (!aes)
        SetValueAll(v);
    sourceSelect_->SetVisibleAll(!aes);
}

std::string TpChanStatus::FormatHexRow(const uint8_t* b)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02x %02x %02x %02x %02x %02x %02x %02x\n", b[0], b[1], b[2], b[3], b[4], b[5],
                  b[6], b[7]);
    return text;
}

std::vector<std::string> TpChanStatus::Decode(const Block& block, uint8_t crc)
{
    return (block[0] & 0x01) != 0 ? DecodePro(block, crc) : DecodeConsumer(block);
}

void TpChanStatus::ShowInvalid(int line1Items)
{
    static constexpr const char* kInvalid[kInvalidItems] = {"Channel", "Status", "INVALID", "", "Z-bit?", "frame?"};
    for (int i = 0; i < kInvalidItems; ++i)
        line1_->SetItemTextAll(i, kInvalid[i]);
    line2_->SetTextAll("");
    for (int i = 0; i < static_cast<int>(kAesStatusBytes); ++i) {
        line3_->SetItemTextAll(i, " ");
        line3_->SetItemColoursAll(i, 0, Colour::kListBlue);
    }
    for (int i = kInvalidItems; i < line1Items; ++i)
        line1_->SetItemTextAll(i, "");
}

void TpChanStatus::ColourField(const Block& block, int first, bool professional)
{
    // A field's bytes are marked red where bit 7 is set; an empty field, or
    // a consumer block, leaves no marks behind.
    const bool shown = professional && block[first] != 0;
    for (int i = first; i < first + 4; ++i)
        line3_->SetItemColoursAll(i, shown && (block[i] & 0x80) != 0 ? Colour::kRed : 0, Colour::kListBlue);
}

void TpChanStatus::DrawStatus()
{
    const int32_t input = inputSelect_->GetValue();
    Block block{};
    int valid;
    if (input == kAesInput1 || input == kAesInput2)
        valid = aes_rx_status_ok(input - kAesInput1, block.data());
    else
        valid = aes_crc_reset_ctx(block.data());
    const int line1Items = ItemCount(line1_->CmdId());
    if (valid == 0) {
        ShowInvalid(line1Items);
        return;
    }

    std::string rows;
    for (size_t i = 0; i < kAesStatusBytes; i += 8)
        rows += FormatHexRow(&block[i]);
    const uint8_t crc = aes_block_crc(block.data());
    line2_->SetTextAll(rows);
    for (int i = 0; i < static_cast<int>(kAesStatusBytes); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", block[i]);
        line3_->SetItemTextAll(i, hex);
    }

    const std::vector<std::string> fields = Decode(block, crc);
    for (size_t i = 0; i < fields.size(); ++i)
        line1_->SetItemTextAll(static_cast<int>(i), fields[i]);
    const bool professional = (block[0] & 0x01) != 0;
    ColourField(block, kOrigin, professional);
    ColourField(block, kDestination, professional);
    for (int i = static_cast<int>(fields.size()); i < line1Items; ++i)
        line1_->SetItemTextAll(i, "");
}
