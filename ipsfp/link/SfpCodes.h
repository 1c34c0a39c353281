// The emSFP module's numbers, named once: its control registers, status bits
// and commands, the logical pages of the parameter table with the physical
// page blocks they map to, and the display kinds of the parameter rows.
#pragma once

#include <cstdint>

// Control registers, outside the paged window's parameter registers.
constexpr uint8_t kSfpPageRegister = 127;      // page select (written)
constexpr uint8_t kSfpStatusRegister = 128;    // status byte (read)
constexpr uint8_t kSfpCommandRegister = 129;   // command (written)

// Status byte bits. A status is valid only when booted and without range error.
constexpr uint8_t kSfpStatusBooted = 0x80;
constexpr uint8_t kSfpStatusRangeError = 0x10;
constexpr uint8_t kSfpStatusPageLoaded = 0x04;
constexpr uint8_t kSfpStatusWriteDone = 0x02;

// Command register values.
constexpr uint8_t kSfpUnlockAudioMapPage = 1;   // unlock EncAudMapPg
constexpr uint8_t kSfpUnlockPage = 2;           // unlock any other page
constexpr uint8_t kSfpCommitPage = 3;

// Logical pages of the parameter table. Most are the physical page of the
// same number; the per-flow, PTP, block-E, ANC and audio pages stand for a
// block of physical pages chosen by the menu's selectors.
enum class SfpLogicalPage : uint8_t {
    None = 0x00,          // labels and boxes, never selected
    ContrPg = 0x84,       // controller: management network set-up, DHCP, counters, VLAN
    StatsPg = 0x87,       // module statistics block
    EthPg = 0x8B,         // Ethernet counters
    FlowPg = 0x90,        // per-flow register block (every follow row starts here)
    DecOutpg = 0xC0,      // decapsulation output
    EncAudMapPg = 0xCF,   // encapsulation audio map
    PtpPg = 0xF9,
    ProgramPg = 0xFA,     // firmware programs: slots, versions, identifiers, CRCs
    BlockEPg = 0xFB,      // one row of the block-E pages
    DecAncPg = 0xFC,      // ANC flow page, decapsulation
    EncAncPg = 0xFD,      // ANC flow page, encapsulation
    EncAudioPg = 0xFE,    // audio flow page, encapsulation
    DecAudioPg = 0xFF,    // audio flow page, decapsulation
};

constexpr uint8_t SfpPageNumber(SfpLogicalPage page) { return static_cast<uint8_t>(page); }

// First physical page of each block a logical page maps into.
constexpr uint8_t kSfpFlowPageBase = 0x90;          // + flow selector
constexpr uint8_t kSfpAudioPageBase = 0xA0;         // + audio selector, first flow
constexpr uint8_t kSfpSecondFlowAudioPageBase = 0xB0;
constexpr uint8_t kSfpAncPageBase = 0xD0;           // + second-flow bit + ANC selector
constexpr uint8_t kSfpBlockEPageBase = 0xE0;        // + block-E selector
constexpr uint8_t kSfpPtpPageBase = 0xF0;           // + PTP selector

// How a parameter row's value is displayed. Kinds above Signed32 show nothing.
enum class SfpDisplayKind : uint8_t {
    Value = 0,            // set the control to the first byte and keep it as the row's value
    ByteValue = 1,        // the same, for the byte controls of MACs, SSRCs and ports
    Count16 = 2,          // two bytes as one number
    Text = 3,             // up to 16 bytes as characters
    NoDisplay = 4,        // read, nothing shown
    StatusOk = 5,         // "OK" in white
    FilterLabel = 6,      // nothing shown
    PacketLabel = 7,      // nothing shown
    Flag = 8,             // the masked field's nonzero flag
    Count32 = 9,          // four bytes as one unsigned number
    MacAddress = 10,      // six bytes
    StandardText = 11,    // the video standard's value text
    JoinStatus = 12,      // "Joined" or "Not Joined"
    Unused13 = 13,        // nothing shown; no row uses it
    MirroredValue = 14,   // the value, also into the flow-model mirror
    Version = 15,         // two bytes as "%d.%d"
    Hex32 = 16,           // four bytes in hex
    SsrcByte = 17,        // one byte of the SSRC, logged
    BothViews = 18,       // the value into both controls
    OffsetWarning = 19,   // "NoWarning" or "OffsetErr"
    Count24 = 20,         // three bytes as one unsigned number
    ProgramSlots = 21,    // the value, then the program-slot texts
    CountText = 22,       // the value, then its four-byte count text
    SwitchBit = 23,       // bit 0 switches related controls
    Signed32 = 24,        // four bytes as one signed number
    Box = 25,             // boxes and labels
};
