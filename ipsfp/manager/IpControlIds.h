// The control ids of the IP menu, as data: the groups the manager builds, the
// flow look-ups, the show and hide sets, the tab focus steps and the classes
// of controls the handlers test. Decimal ids are those of the remote-control
// API; every table is read through the manager, never edited.
#pragma once

#include "KrZuApi.h"
#include "core/store/TpCommand.h"

#include <cstdint>
#include <span>

namespace IpIds {

// Whether the id is one of the ids.
constexpr bool Contains(std::span<const uint16_t> ids, unsigned id)
{
    for (uint16_t i : ids)
        if (i == id)
            return true;
    return false;
}

// The IP menu's tabs (values of COM_SFP_TAB_SELECT).
enum Tab : int32_t {
    kTabNone = 0,
    kTabVideo = 1,      // "Video Flows"
    kTabAudio = 2,      // "Audio Flows"
    kTabAnc = 3,        // "ANC   Flows"
    kTabPtp = 4,
    kTabBlockE = 5,     // the flow configuration page 0xFB
    kTabAudioMap = 6,   // "Audio Map"
    kTabSetup = 7,      // "SFP Setup"
};

// --- single controls -----------------------------------------------------------
// Controls that have no name in the remote-control API; the others go by their
// COM_ name.

// The firmware revision reader's own controls.
constexpr uint16_t kFwReadCommand = 2703;
constexpr uint16_t kFwReadEnable = 2704;
constexpr uint16_t kFwRevisionText = 2705;
constexpr uint16_t kFwServiceControl = 2706;
constexpr uint16_t kFwResultLabel = 2707;

// The video-standard editor's four lists: family, format, sampling, frame rate.
constexpr uint16_t kStdLists[4] = {3449, 3450, 3451, 3452};
constexpr uint16_t kStdFamilyList = kStdLists[0];

// The web-interface address, mask and gateway texts (their followers' texts).
constexpr uint16_t kWebAddressText = 2716;
constexpr uint16_t kWebMaskText = 2717;
constexpr uint16_t kWebGatewayText = 2718;

// Buttons and fields of the IP menu the change handler answers.
constexpr uint16_t kFirmwareWarningAck = 0x0CB4;
constexpr uint16_t kAddressCopy = 0x0CB5;          // the management address into the flow source
constexpr uint16_t kAudioPacketCopy = 0x0DE8;
constexpr uint16_t kDefaultSettingsEnable = 0x0D44;
constexpr uint16_t kResetQuestion = 0x0D76;
constexpr uint16_t kAncPopup = 0x0D42;
constexpr uint16_t kAudioPopup = 0x0D41;
constexpr uint16_t kSystemResets = 0x0C2F;
constexpr uint16_t kVideoReread = 0x0D75;
constexpr uint16_t kChannelPickerFirst = 0x0D63;   // sixteen audio channel pickers
constexpr uint16_t kChannelPickerLast = 0x0D72;
constexpr uint16_t kEncMapButton = 0x0D26;         // also the first flow list the menu set-up focuses
constexpr uint16_t kDecMapButton = 0x0D2B;         // also the second flow list
constexpr uint16_t kSecondFlowSetup = 0x0D0E;
constexpr uint16_t kDestSelectFirst = 0x0C58;      // the flow-destination selectors
constexpr uint16_t kDestSelectSecond = 0x0C61;
constexpr uint16_t kManagementNote = 0x0D77;
constexpr uint16_t kMapChannelSelect = 0x0DC2;     // the encoder map's flow (its channels to embed)
constexpr uint16_t kMapChannelControl = 0x0DC0;
constexpr uint16_t kPtpModeButton = 0x0D58;
constexpr uint16_t kVidStdButton = 0x0C1F;
constexpr uint16_t kVidStdFlag = 0x0D7C;
constexpr uint16_t kSecondCopy = 3445;             // set by the second-copy timer
constexpr uint16_t kWindowClosedReset = 3396;      // set back to 0 when a window closes

// Texts and lists of the flow pages.
constexpr uint16_t kFlowList = 3362;               // the flows, then the encapsulated-audio grid
constexpr uint16_t kAudioFlowChoice[2] = {3390, 3401};
constexpr uint16_t kAudioSummaryText = 3391;       // first summary text, first flow
constexpr uint16_t kAudioSummarySecondFlow = 3399; // first summary text, second flow
constexpr uint16_t kAncFlowTexts[2] = {3395, 3409};
constexpr uint16_t kToggleValue = 3280;            // the IGMP toggle
constexpr uint16_t kToggleText = 2639;
constexpr uint16_t kUnknownTexts[2] = {3502, 3503};
constexpr uint16_t kSequenceCounterTexts[2] = {3241, 3244};
constexpr uint16_t kVideoSequenceErrorText = 3242;
constexpr uint16_t kIanaWarning = 3251;
constexpr uint16_t kSubnetNote = 3447;
constexpr uint16_t kScanSummary[2] = {3443, 3444};          // first flow, second flow
constexpr uint16_t kRegister172Summary[2] = {3561, 3562};
constexpr uint16_t kSequenceErrorLines[2] = {0x0D5F, 0x0D60};
constexpr uint16_t kVlanStateTexts[2] = {0x0D5E, 0x0D5D};
constexpr uint16_t kLockStateTexts[2] = {0x0D59, 0x0D5A};
constexpr uint16_t kAddressTypeText = 0x0D7F;
// PTP texts: two address groups and the clock identity, in the first and the second view.
constexpr uint16_t kPtpAddressTextA[2] = {0x0D5B, 0x0DA4};
constexpr uint16_t kPtpAddressTextB[2] = {0x0D5C, 0x0D86};
constexpr uint16_t kClockIdentityText[2] = {0x0B63, 0x0D85};
// The active source of a dual-source stream: its name and two texts, and the
// texts each source gives them.
constexpr uint16_t kActiveSourceName = 3495;
constexpr uint16_t kActiveSourceTexts[2] = {3494, 3493};
constexpr uint16_t kSource1Texts[2] = {2904, 3414};
constexpr uint16_t kSource2Texts[2] = {3465, 3464};
constexpr uint16_t kPtpSources[2] = {3464, 3465};  // set to 0 after a PTP page update

// The EDID page's read and view commands.
constexpr uint16_t kEdidRead = 2355;
constexpr uint16_t kEdidView = 2356;

// --- controls the manager builds ------------------------------------------------

enum class Make : uint8_t {
    Child,     // a child of the manager: its changes reach the change handler
    Plain,     // a command without parent
    ValList,   // a value list child (copies the chain's items)
};

// first id, last id (inclusive), value kind, how it is made
struct GroupRow {
    uint16_t first;
    uint16_t last;
    CmdValueKind kind;
    Make make;
};

// Instrument, display-only, module-status, ethernet-counter and flow-settings controls.
static constexpr GroupRow kBaseGroups[] = {
    {36, 36, kKeepsValue, Make::Plain},
    {20, 20, kKeepsValue, Make::Plain},
    {2593, 2593, kKeepsValueText, Make::Plain},
    {2625, 2626, kKeepsValueText, Make::Plain},
    {2597, 2597, kKeepsValue, Make::Plain},
    {2601, 2601, kKeepsValue, Make::Plain},
    {2599, 2599, kKeepsValue, Make::Plain},
    {2603, 2603, kKeepsText, Make::Plain},
    {2602, 2602, kKeepsText, Make::Plain},
    {2560, 2560, kKeepsValue, Make::Child},
    {2636, 2637, kKeepsValue, Make::Child},
    {3119, 3122, kKeepsValue, Make::Child},
    {2638, 2638, kKeepsValue, Make::Child},
    {3396, 3396, kKeepsValue, Make::Child},
    {2655, 2655, kKeepsValue, Make::Child},
    {2561, 2561, kKeepsValue, Make::Child},
    {2578, 2578, kKeepsValue, Make::Child},
    {10, 10, kKeepsValue, Make::Child},
    {11, 11, kKeepsValue, Make::Plain},
    {2594, 2596, kKeepsValue, Make::Child},
};

// Children 2627 and 2686, built before the followers.
static constexpr GroupRow kIgmpGroups[] = {
    {2627, 2627, kKeepsValue, Make::Child},
    {2686, 2686, kKeepsValue, Make::Child},
};

// Flow-address, filter, VLAN, SSRC and flow-state controls.
static constexpr GroupRow kFlowGroups[] = {
    {36, 37, kKeepsValue, Make::Plain},
    {12, 13, kKeepsValue, Make::Plain},
    {20, 20, kKeepsValue, Make::Plain},
    {2, 2, kKeepsValue, Make::ValList},
    {2579, 2592, kKeepsValue, Make::Child},
    {2698, 2701, kKeepsValue, Make::Child},
    {3113, 3113, kKeepsValue, Make::Child},
    {3114, 3114, kKeepsValue, Make::Plain},
    {2604, 2608, kKeepsValue, Make::Child},
    {2640, 2640, kKeepsValue, Make::Child},
    {3252, 3252, kKeepsValue, Make::Child},
    {3112, 3112, kKeepsValue, Make::Child},
    {2657, 2664, kKeepsValue, Make::Child},
    {2681, 2685, kKeepsValue, Make::Child},
    {3315, 3318, kKeepsValue, Make::Child},
    {2695, 2695, kKeepsText, Make::Child},
    {2696, 2696, kKeepsValue, Make::Plain},
    {2691, 2691, kKeepsValue, Make::Child},
    {2692, 2693, kKeepsText, Make::Plain},
    {2697, 2697, kKeepsValue, Make::Child},
    {2708, 2713, kKeepsValue, Make::Child},
    {3251, 3251, kKeepsText, Make::Plain},
    {2719, 2719, kKeepsText, Make::Plain},
    {2720, 2720, kKeepsValue, Make::Child},
    {3103, 3103, kKeepsValue, Make::Child},
};

// The control groups of the menu pages.
static constexpr GroupRow kPageGroups[] = {
    {3075, 3076, kKeepsValue, Make::Child},   // audio and ANC selectors
    {3319, 3319, kKeepsValue, Make::Child},   // flow selector
    {3463, 3463, kKeepsValue, Make::Child},   // PTP selector
    {3457, 3457, kKeepsValue, Make::Child},   // block-E selector
    {3466, 3466, kKeepsValue, Make::Child},   // PTP controls
    {3460, 3460, kKeepsValue, Make::Child},
    {3490, 3491, kKeepsValue, Make::Child},
    {3107, 3111, kKeepsValue, Make::Child},
    {2902, 2902, kKeepsValue, Make::Child},
    {3406, 3406, kKeepsValue, Make::Child},   // audio and ANC flow page controls
    {2995, 2995, kKeepsValue, Make::Child},
    {3500, 3501, kKeepsValue, Make::Child},
    {3403, 3404, kKeepsValue, Make::Child},
    {3407, 3408, kKeepsValue, Make::Child},
    {3150, 3150, kKeepsValue, Make::Child},
    {2914, 2914, kKeepsValue, Make::Child},
    {2917, 2917, kKeepsValue, Make::Child},
    {2922, 2922, kKeepsValue, Make::Child},
    {2905, 2905, kKeepsValue, Make::Child},
    {2916, 2916, kKeepsValue, Make::Child},
    {2810, 2810, kKeepsValue, Make::Child},
    {2818, 2818, kKeepsValue, Make::Child},
    {2981, 2981, kKeepsValue, Make::Child},
    {3410, 3410, kKeepsValue, Make::Child},
    {2983, 2983, kKeepsValue, Make::Child},
    {2993, 2993, kKeepsValue, Make::Child},
    {3361, 3361, kKeepsValue, Make::Child},
    {3550, 3550, kKeepsValue, Make::Child},
    {3305, 3310, kKeepsValue, Make::Child},   // flow MAC second view
    {3564, 3564, kKeepsValue, Make::Child},   // flow counters and reset
    {3160, 3160, kKeepsValue, Make::Child},
    {3169, 3171, kKeepsValue, Make::Child},
    {3253, 3253, kKeepsValue, Make::Child},
    {3446, 3446, kKeepsValue, Make::Child},
    {3280, 3280, kKeepsValue, Make::Child},
    {3259, 3264, kKeepsValue, Make::Child},   // tab-dependent value controls
    {3288, 3289, kKeepsValue, Make::Child},   // UDP port second views
    {3425, 3426, kKeepsValue, Make::Child},   // video standard second views
    {3291, 3294, kKeepsValue, Make::Child},
    {3358, 3358, kKeepsValue, Make::Child},
    {3445, 3445, kKeepsValue, Make::Child},
    {3456, 3456, kKeepsValue, Make::Child},   // block-E controls
    {3008, 3009, kKeepsText, Make::Plain},   // plain commands
    {3338, 3339, kKeepsText, Make::Plain},
    {2817, 2817, kKeepsText, Make::Plain},
    {3325, 3325, kKeepsText, Make::Plain},
    {3351, 3351, kKeepsText, Make::Plain},
    {2952, 2952, kKeepsText, Make::Plain},
    {3335, 3335, kKeepsText, Make::Plain},
    {3350, 3350, kKeepsText, Make::Plain},
    {2985, 2985, kKeepsText, Make::Plain},
    {3007, 3007, kKeepsText, Make::Plain},
    {3249, 3249, kKeepsValue, Make::Plain},
    {3248, 3248, kKeepsValue, Make::Plain},
    {3245, 3245, kKeepsValue, Make::Plain},
    {3118, 3118, kKeepsValue, Make::Plain},
    {0x0A8A, 0x0A8D, kKeepsValue, Make::Child},   // composite byte controls
    {0x0A62, 0x0A63, kKeepsValue, Make::Child},
    {0x0A65, 0x0A66, kKeepsValue, Make::Child},
    {0x0C0E, 0x0C11, kKeepsValue, Make::Child},
    {0x0C26, 0x0C27, kKeepsValue, Make::Child},
};

// The second control set and the counters, after the audio-channel block.
static constexpr GroupRow kSecondSetGroups[] = {
    {3070, 3070, kKeepsValue, Make::Child},
    {3281, 3281, kKeepsValue, Make::Child},
    {3153, 3153, kKeepsValue, Make::Plain},
    {3090, 3091, kKeepsValue, Make::Plain},
    {3104, 3104, kKeepsValue, Make::Plain},
    {3241, 3241, kKeepsText, Make::Plain},
    {3244, 3244, kKeepsText, Make::Child},
    {3101, 3102, kKeepsValue, Make::Plain},
    {3095, 3095, kKeepsValue, Make::Plain},
    {3096, 3096, kKeepsValue, Make::Child},
    {3115, 3115, kKeepsValue, Make::Child},
    {3097, 3100, kKeepsValue, Make::Child},
    {3242, 3242, kKeepsText, Make::Child},
    {3238, 3238, kKeepsValue, Make::Plain},
    {3279, 3279, kKeepsValue, Make::Plain},
    {3080, 3089, kKeepsValue, Make::Child},
    {3243, 3243, kKeepsValue, Make::Plain},
    {3239, 3240, kKeepsValue, Make::Child},
    {3105, 3106, kKeepsValue, Make::Child},
    {2617, 2621, kKeepsValue, Make::Child},
    {3282, 3282, kKeepsValue, Make::Child},
    {3287, 3287, kKeepsText, Make::Plain},
    {3301, 3304, kKeepsValue, Make::Child},
    {3342, 3342, kKeepsValue, Make::Child},
    {3296, 3299, kKeepsValue, Make::Child},
    {3290, 3290, kKeepsText, Make::Child},
    {3295, 3295, kKeepsValue, Make::Child},
    {3343, 3343, kKeepsValue, Make::Child},
    {3283, 3283, kKeepsValue, Make::Child},
};

// The flow list.
static constexpr GroupRow kFlowListGroups[] = {
    {3362, 3365, kKeepsValue, Make::Plain},
    {3367, 3370, kKeepsValue, Make::Plain},
    {3366, 3366, kKeepsValue, Make::Child},
    {3371, 3371, kKeepsValue, Make::Child},
    {3393, 3394, kKeepsValue, Make::Child},
    {3560, 3560, kKeepsValue, Make::Child},
    {3398, 3398, kKeepsValue, Make::Child},
    {3395, 3395, kKeepsValue, Make::Plain},
    {3409, 3409, kKeepsValue, Make::Plain},
};

// IGMP toggle, program page, busy text, further texts and the encapsulated audio map.
static constexpr GroupRow kLateGroups[] = {
    {2609, 2609, kKeepsValue, Make::Child},
    {2642, 2642, kKeepsValue, Make::Child},
    {2639, 2639, kKeepsText, Make::Plain},
    {2643, 2643, kKeepsValue, Make::Child},
    {2653, 2653, kKeepsValue, Make::Child},
    {2644, 2647, kKeepsValueText, Make::Plain},
    {2648, 2652, kKeepsValue, Make::Child},
    {2654, 2654, kKeepsValueText, Make::Plain},
    {3502, 3503, kKeepsText, Make::Plain},
    {3521, 3522, kKeepsValue, Make::Child},
    {3504, 3519, kKeepsValue, Make::Child},
    {3220, 3235, kKeepsValue, Make::Child},
    {3520, 3520, kKeepsValue, Make::Plain},
    // Buttons only the change handler answers: PTP mode, power cycle, the two resets, SSRC.
    {3416, 3416, kKeepsValue, Make::Child},
    {6000, 6000, kKeepsValue, Make::Child},
    {6002, 6004, kKeepsValue, Make::Child},
};

// The eight flow edit controls.
static constexpr uint16_t kFlowEditIds[] = {2906, 2907, 2908, 2909, 2910, 2911, 2912, 2913};

// Lists that need their items when no dialog gives them: id, item count.
struct ListRow {
    uint16_t cmdId;
    uint8_t items;
};
static constexpr ListRow kListItems[] = {
    {2720, 8},     // IP menu tabs
    {3362, 154},   // flow list: flows, then the channel names of every flow
    {3522, 17},    // channels to embed
    {3449, 5},     // video-standard family
    {3450, 6},     // format
    {3451, 9},     // sampling
    {3452, 14},    // frame rate
};

// Audio-channel block: channel c = 3036 + i has five controls at c + offset.
static constexpr uint16_t kFirstChannelId = 3036;
static constexpr int kChannelCount = 16;
// array, id offset, made as
struct ChannelRow {
    uint8_t array;
    int16_t offset;
    Make make;
};
static constexpr ChannelRow kChannelControls[] = {
    {0, 0, Make::Child},
    {1, 16, Make::Child},
    {2, -16, Make::Child},
    {3, 338, Make::Plain},
    {4, 391, Make::Child},
};
// Order the channel arrays are deleted in.
static constexpr uint8_t kChannelDeleteOrder[] = {0, 1, 4, 2, 3};

// Address followers: text, alternative texts A-D (0 none), bytes 1-4 (byte 4 is the first octet).
struct FollowerRow {
    uint16_t text;
    uint16_t alt[4];
    uint16_t bytes[4];
};
static constexpr FollowerRow kWebFollowers[] = {
    {2716, {0, 0, 0, 0}, {2562, 2563, 2564, 2565}},
    {2717, {0, 0, 0, 0}, {2566, 2567, 2568, 2569}},
    {2718, {0, 0, 0, 0}, {2570, 2571, 2572, 2573}},
};
static constexpr FollowerRow kFlowFollowers[] = {
    {0x0A9A, {2801, 2815, 2954, 3008}, {0x0A13, 0x0A14, 0x0A15, 0x0A16}},
    {0x0A9B, {2802, 2816, 2953, 3009}, {0x0A17, 0x0A18, 0x0A19, 0x0A1A}},
    {0x0A9A, {2801, 2815, 2954, 3008}, {0x0A13, 0x0A14, 0x0A15, 0x0A16}},
    {0x0A9B, {2802, 2816, 2953, 3009}, {0x0A17, 0x0A18, 0x0A19, 0x0A1A}},
    {3285, {3320, 3336, 3330, 3338}, {0x0CE0, 0x0CE1, 0x0CE2, 0x0CE3}},
    {3286, {3321, 3337, 3331, 3339}, {0x0CE5, 0x0CE6, 0x0CE7, 0x0CE8}},
};

// Range-enabled controls (the UDP ports and their second views).
static constexpr uint16_t kRangeEnabledIds[] = {2561, 2578, 3289, 3288};

// --- flow look-ups -------------------------------------------------------------

enum class Lookup : uint8_t { Value, Label, DestPort, Port, Counter, Encap, MacText };

// look-up, tab, encapsulation flow 1 / flow 2, decapsulation flow 1 / flow 2
struct LookupRow {
    Lookup lookup;
    uint8_t tab;
    uint16_t encap[2];
    uint16_t decap[2];
};
static constexpr LookupRow kLookups[] = {
    {Lookup::Value, 2, {3259, 3340}, {3260, 3352}},
    {Lookup::Value, 3, {3261, 3341}, {3262, 3353}},
    {Lookup::Label, 2, {3255, 3324}, {3256, 3354}},
    {Lookup::Label, 3, {3257, 3334}, {3258, 3355}},
    {Lookup::DestPort, 2, {2997, 3322}, {2987, 3346}},
    {Lookup::DestPort, 3, {2951, 3332}, {3005, 3348}},
    {Lookup::Port, 2, {2996, 3323}, {2986, 3347}},
    {Lookup::Port, 3, {2950, 3333}, {3006, 3349}},
    {Lookup::Counter, 2, {3263, 3344}, {3263, 3344}},
    {Lookup::Counter, 3, {3264, 3345}, {3264, 3345}},
    {Lookup::Encap, 2, {2808, 3552}, {0, 0}},
    {Lookup::Encap, 3, {2980, 3554}, {0, 0}},
    // the flow's MAC as one text: the text commands of the flow views
    {Lookup::MacText, 2, {2817, 3325}, {2985, 3350}},
    {Lookup::MacText, 3, {2952, 3335}, {3007, 3351}},
};

// --- show and hide sets ------------------------------------------------------------

enum class Set : uint8_t { Filter, FirstViews, SecondViews, SecondFlowViews, HiddenAtStart, CountersHidden, IgmpAddresses };
enum class Rule : uint8_t { Encap, Decap, FlagClear, FlagSet, Hide, Disable };

static constexpr uint16_t kFilterEncap[] = {3254, 3372};
static constexpr uint16_t kFilterDecap[] = {3090, 3091, 3373};
static constexpr uint16_t kFirstEncap[] = {2801, 2802, 2997, 2996, 2808, 2818, 2809, 2810, 2817, 3255, 3257,
                                           3259, 3501, 2819, 3390, 3400, 3403, 3401, 3404, 3552, 3263, 3344};
static constexpr uint16_t kFirstDecap[] = {2815, 2816, 2987, 2986, 2990, 2989, 2992, 2993, 2994, 2995,
                                           2985, 3256, 3258, 3260, 3500, 3405, 3408, 3406, 3407, 3551};
static constexpr uint16_t kSecondEncap[] = {2954, 2953, 2951, 2950, 2983, 2982, 2952, 2981, 3261, 2980, 3554, 3264, 3345};
static constexpr uint16_t kSecondDecap[] = {3008, 3009, 3005, 3006, 3003, 3002, 3007, 3262, 3000, 3553};
static constexpr uint16_t kSecondFlowClear[] = {3320, 3321, 3330, 3331, 3322, 3323, 3332,
                                                3333, 3335, 3325, 3340, 3341, 3324, 3334};
static constexpr uint16_t kSecondFlowSet[] = {3336, 3337, 3338, 3339, 3346, 3347, 3348,
                                              3349, 3350, 3351, 3352, 3353, 3354, 3355};
static constexpr uint16_t kHiddenAtStart[] = {3071, 3423, 3357, 3424};
static constexpr uint16_t kCountersHidden[] = {3113, 3343, 3263, 3344, 3264, 3345, 3114};
static constexpr uint16_t kIgmpAddresses[] = {2668, 2667, 2666, 2665, 2635, 2634, 2633, 2632};

// set, rule, ids (a set's rows are applied in this order)
struct SetRow {
    Set set;
    Rule rule;
    std::span<const uint16_t> ids;
};
static constexpr SetRow kSets[] = {
    {Set::Filter, Rule::Encap, kFilterEncap},
    {Set::Filter, Rule::Decap, kFilterDecap},
    {Set::FirstViews, Rule::Encap, kFirstEncap},
    {Set::FirstViews, Rule::Decap, kFirstDecap},
    {Set::SecondViews, Rule::Encap, kSecondEncap},
    {Set::SecondViews, Rule::Decap, kSecondDecap},
    {Set::SecondFlowViews, Rule::FlagClear, kSecondFlowClear},
    {Set::SecondFlowViews, Rule::FlagSet, kSecondFlowSet},
    {Set::HiddenAtStart, Rule::Hide, kHiddenAtStart},
    {Set::CountersHidden, Rule::Hide, kCountersHidden},
    {Set::IgmpAddresses, Rule::Disable, kIgmpAddresses},
};

// --- mode layout -----------------------------------------------------------------

// When a control of the mode layout is visible.
enum class Vis : uint8_t {
    Hidden,
    Shown,
    InEncap,      // shown in encapsulation, hidden in decapsulation
    InDecap,      // the reverse
    DecapShows,   // shown in decapsulation, left as it is in encapsulation
    If2110,       // shown with 2110 firmware only
    If2022,       // shown with 2022-6 firmware only
};
struct LayoutRow {
    uint16_t cmdId;
    Vis vis;
};

// control, when visible; each list is applied in order (the mode layout of the
// sequencer's every run)
constexpr LayoutRow kLayoutFirst[] = {
    {0x0CB5, Vis::InEncap},
    {0x0BFE, Vis::Hidden},
    {0x0CD1, Vis::Hidden},
};
constexpr LayoutRow kLayoutAll[] = {
    {0x0DE4, Vis::Hidden},
    {0x0C8B, Vis::If2110},
    {0x0DEB, Vis::If2110},
    {0x0DEA, Vis::If2110},
    {0x0DE9, Vis::If2110},
    {0x0DEC, Vis::If2022},
    {0x0DED, Vis::Shown},
};
constexpr LayoutRow kLayout2022[] = {
    {0x0DE3, Vis::Hidden}, {0x0D21, Vis::Hidden}, {0x0DDE, Vis::Hidden}, {0x0D0F, Vis::Hidden},
    {0x0C29, Vis::Hidden}, {0x0CCF, Vis::Hidden}, {0x0CA6, Vis::Hidden}, {0x0CAD, Vis::Hidden},
    {0x0C2A, Vis::Hidden}, {0x0C1F, Vis::Hidden}, {0x0CB2, Vis::Hidden}, {0x0C2F, Vis::Hidden},
    {0x0CAE, Vis::InDecap}, {0x0D45, Vis::InDecap}, {0x0CB0, Vis::InDecap},
};
// After the tab items, in encapsulation only.
constexpr uint16_t kHidden2022Encap[] = {0x0DED, 0x0CDA, COM_SFP_IP_SSRC_LABEL};
constexpr LayoutRow kLayout2110[] = {
    {0x0DE3, Vis::Shown},   {0x0CAD, Vis::Shown},   {0x0CB0, Vis::Hidden},  {0x0CAE, Vis::Hidden},
    {0x0D45, Vis::Hidden},  {0x0CB2, Vis::Hidden},  {0x0C2F, Vis::Shown},   {0x0CCF, Vis::InEncap},
    {0x0D42, Vis::InEncap}, {0x0D43, Vis::InEncap}, {0x0C1F, Vis::InDecap}, {0x0D0F, Vis::InEncap},
    {0x0C29, Vis::InEncap}, {0x0D21, Vis::Shown},   {0x0DDE, Vis::Shown},   {0x0DE4, Vis::InEncap},
    {0x0C53, Vis::InEncap}, {0x0C55, Vis::InEncap}, {0x0C50, Vis::InEncap}, {0x0C57, Vis::InEncap},
    {0x0C54, Vis::InDecap}, {0x0C56, Vis::InDecap}, {0x0C4F, Vis::InDecap}, {0x0C51, Vis::InDecap},
    // the receive controls
    {0x0C12, Vis::InDecap}, {0x0C13, Vis::InDecap}, {0x0CA6, Vis::InDecap}, {0x0C1D, Vis::InDecap},
    {0x0C1E, Vis::InDecap}, {0x0C17, Vis::InDecap}, {0x0C18, Vis::InDecap}, {0x0C2B, Vis::InDecap},
    {0x0C20, Vis::InDecap},
    {0x0C2A, Vis::InEncap}, {0x0C09, Vis::InEncap}, {0x0CAB, Vis::InEncap},
    {0x0D5F, Vis::DecapShows}, {0x0D60, Vis::DecapShows},
};
constexpr LayoutRow kLayoutLast[] = {
    {COM_SFP_IP_IGMP_BOX, Vis::Hidden},
    {0x0DE5, Vis::If2110},
};
// Lists whose item 4 is never offered.
constexpr uint16_t kNoItem4Lists[] = {0x0D50, 0x0BB1, 0x0D4B, 0x0AFA};


// The mode switch's layout, before its IGMP set and the SSRC entries' enable.
constexpr LayoutRow kModeLayout[] = {
    {3118, Vis::Shown},
    {3103, Vis::DecapShows},
    {COM_SFP_IP_TX_OFF_ON, Vis::Shown},
    {COM_SFP_IP_FILTERS_BOX, Vis::InDecap},
    {COM_SFP_IP_IGMP_BOX, Vis::InDecap},
    {COM_SFP_IP_IGMP_ENABLED, Vis::InDecap},
    {2681, Vis::Hidden},
    {COM_SFP_IP_SSRC_EDITBOX, Vis::Shown},
    {3290, Vis::Shown},
    {2696, Vis::Shown},
    {3446, Vis::InEncap},
};

// --- tab focus -------------------------------------------------------------------

enum class FocusOp : uint8_t { Label, Focus, Unfocus, ReopenDecapMap, RestartDecapMap };
enum class Mode : uint8_t { Any, Encap, Decap };

static constexpr const char* kTabLabels[8] = {"", "Video Flows", "Audio Flows", "ANC   Flows",
                                              "PTP", "", "Audio Map", "SFP Setup"};

// tab, mode, step, id
struct FocusRow {
    uint8_t tab;
    Mode mode;
    FocusOp op;
    uint16_t cmdId;
};
static constexpr FocusRow kTabFocus[] = {
    {1, Mode::Any, FocusOp::Label, 0},
    {1, Mode::Any, FocusOp::Focus, 0x0A97},
    {2, Mode::Any, FocusOp::Unfocus, 0x0C03},
    {2, Mode::Any, FocusOp::Unfocus, 0x0A97},
    {2, Mode::Any, FocusOp::Label, 0},
    {2, Mode::Any, FocusOp::Focus, 0x0A97},
    {3, Mode::Any, FocusOp::Label, 0},
    {3, Mode::Any, FocusOp::Focus, 0x0A97},
    {4, Mode::Any, FocusOp::Label, 0},
    {4, Mode::Any, FocusOp::Focus, 3416},
    {5, Mode::Any, FocusOp::Focus, 3456},
    {6, Mode::Decap, FocusOp::Unfocus, 3371},
    {6, Mode::Decap, FocusOp::Label, 0},
    {6, Mode::Decap, FocusOp::ReopenDecapMap, 0},
    {6, Mode::Encap, FocusOp::Label, 0},
    {6, Mode::Encap, FocusOp::Unfocus, 3366},
    {6, Mode::Encap, FocusOp::Focus, 3366},
    {7, Mode::Any, FocusOp::Label, 0},
    {7, Mode::Any, FocusOp::Focus, 0x0A94},
    {7, Mode::Any, FocusOp::RestartDecapMap, 0},
};

// --- classes of controls ---------------------------------------------------------------

static constexpr uint16_t kActionIds[] = {0x0A5C, 0x0A4C, 0x0A00, 0x0A4D, 0x0A4E, 0x0A31, 0x0A52, 0x0CD1,
                                          0x0BFE, 0x0C30, 0x0C31, 0x0C32, 0x0C18, 0x0C4E, 0x0DEC};
static constexpr uint16_t kDestinationIds[] = {0x0A17, 0x0A18, 0x0A19, 0x0A1A, 0x0CE5, 0x0CE6, 0x0CE7,
                                               0x0CE8, 0x0A1B, 0x0A1C, 0x0A1D, 0x0A1E, 0x0A1F, 0x0A20,
                                               0x0CE9, 0x0CEA, 0x0CEB, 0x0CEC, 0x0CED, 0x0CEE};
static constexpr uint16_t kFlowAddressIds[] = {2657, 3259, 3260, 3261, 3262, 3295, 3340, 3341, 3352, 3353};
// The progress box: "Reading SFP ", "Configure SFP ", "Remain:%d Param", "BUSY! ".
constexpr uint16_t kProgressBox = 2654;

// Status controls coloured together (control 20 by its text colour).
static constexpr uint16_t kStatusIds[] = {36, 37, 12, 13, 20};
static constexpr uint16_t kStandardFirst[] = {2620, 2618, 2621, 2619, 2622, 3443, 3561};
static constexpr uint16_t kStandardSecond[] = {3358, 3291, 3294, 3293, 3360, 3444, 3562};
static constexpr uint16_t kFlowTextIds[] = {2695, 3290, 3255, 3324, 3257, 3334, 3256, 3258, 3354, 3355};
static constexpr uint16_t kPtpFirstView[] = {0x0C23, 0x0C25, 0x0B56, 0x0B64};
static constexpr uint16_t kPtpSecondView[] = {0x0D8A, 0x0D84, 0x0DA3, 0x0DA2};

// Edits the flow on screen's mirror control repeats.
constexpr uint16_t kMirroredEdits[] = {0x0CBF, 0x0CC0, 0x0C29, 0x0D0F, 0x0D10, 0x0D11,
                                       0x0D21, 0x0BA4, 0x0AF8, 0x0DDE, 0x0DE0, 0x0DE2};

// The SSRC entries of the first and the second flow.
static constexpr uint16_t kSsrcBoxes[2] = {2695, 3290};

// Numbers typed into an entry: entry, its four bytes most significant first
// (byte 4 down to byte 1, the order the SSRC text is read back in).
struct EntryRow {
    uint16_t entry;
    uint16_t bytes[4];
};
static constexpr EntryRow kAddressEntries[] = {
    {2695, {2685, 2684, 2683, 2682}},
    {3290, {3318, 3317, 3316, 3315}},
};

// Address groups, bytes 1-4 (byte 4 most significant).
static constexpr uint16_t kFlowDestBytes[] = {0x0A17, 0x0A18, 0x0A19, 0x0A1A};
static constexpr uint16_t kFlowDestSecondBytes[] = {0x0CE5, 0x0CE6, 0x0CE7, 0x0CE8};
static constexpr uint16_t kFlowSrcBytes[] = {0x0A13, 0x0A14, 0x0A15, 0x0A16};
static constexpr uint16_t kFlowSrcSecondBytes[] = {0x0CE0, 0x0CE1, 0x0CE2, 0x0CE3};
static constexpr uint16_t kMgmtIpBytes[] = {2562, 2563, 2564, 2565};
static constexpr uint16_t kMgmtMaskBytes[] = {2566, 2567, 2568, 2569};
static constexpr uint16_t kMgmtGatewayBytes[] = {2570, 2571, 2572, 2573};
// MAC bytes 1-6 (byte 6 most significant).
static constexpr uint16_t kFlowMacBytes[] = {0x0A1B, 0x0A1C, 0x0A1D, 0x0A1E, 0x0A1F, 0x0A20};
static constexpr uint16_t kFlowMacSecondBytes[] = {0x0CE9, 0x0CEA, 0x0CEB, 0x0CEC, 0x0CED, 0x0CEE};

// Values copied into the second views: from, to.
struct CopyRow {
    uint16_t from;
    uint16_t to;
};
static constexpr CopyRow kStandardCopies[] = {
    {0x0C22, 0x0D61},
    {0x0C21, 0x0D62},
    {0x0A39, 0x0CDC},
    {0x0A3A, 0x0CDB},
    {0x0A3B, 0x0CDD},
    {0x0A3D, 0x0CDE},
    {0x0A3C, 0x0D1E},
};

// Audio flow summary: second flow shown, decapsulation, first list, second list, first text, second text.
struct SummaryRow {
    uint8_t secondFlow;
    uint8_t decap;
    uint16_t firstList;
    uint16_t secondList;
    uint16_t firstText;
    uint16_t secondText;
};
static constexpr SummaryRow kAudioSummary[] = {
    {0, 0, 0x0AFA, 0x0DAD, 3391, 3392},
    {0, 1, 0x0BB1, 0x0DAC, 3391, 3392},
    {1, 0, 0x0D4B, 0x0D4C, 3399, 3402},
    {1, 1, 0x0D50, 0x0D4F, 3399, 3402},
};

} // namespace IpIds
