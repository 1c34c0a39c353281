// Which module the IP menu shows and which of its flows. It keeps the
// module's direction and firmware as the update sequencer last found them,
// the menu tab, the transmit flow the menu follows and the flow on screen,
// and answers the look-ups that depend on them: which controls stand for
// "the" port, address or counter of the flow on screen, which controls a
// mode shows or hides. It also owns the menu's small requests (tab focus and
// set-up, flow-list focus, the audio maps' reopen), address entry and the
// address checks, the audio and ANC flow texts, the PTP views, the generator
// standard and the link-type pulse of the transmit switch.
// Application thread only.
#pragma once

#include "IpBusy.h"
#include "IpControlIds.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

class IpEditBook;
class TpCommand;
struct SfpParamRow;

class IpFlowView {
public:
    // edits: an edit of a row the transmit-flow lock consults makes it known.
    IpFlowView(IpBusy& busy, const IpEditBook& edits) : busy_(busy), edits_(edits) {}

    // --- the module ----------------------------------------------------------------
    // What the sequencer finds on every run: the firmware and the direction;
    // the module is then identified, present and ready. A firmware other than
    // the one the transmit flag's register was chosen for chooses it again.
    void TakeModule(bool is2110, int32_t decapsulation);
    // The flow's transmit flag is read and written at register 172 with
    // 2022-6 firmware and at 173 with 2110 firmware.
    void SelectTxFlowRegister();
    // The menu tab as the sequencer's run takes it.
    void TakeMenuTab(int32_t tab) { menuTab = tab; }
    // The direction the mode switch sets.
    void SetDirection(bool decap) { ipModuleMode = decap ? 1 : 0; }
    bool IsDecapsulating() const { return ipModuleMode == 1; }
    bool IsEncapsulating() const { return ipModuleMode == 0; }
    bool DirectionKnown() const { return ipModuleMode != -1; }
    void ResetFlowSelection() { ipModuleMode = -1; }
    bool Is2110() const { return active2110 != 0; }
    bool IpFeatures() const { return ipFeatures != 0; }
    int32_t MenuTab() const { return menuTab; }
    bool ModuleIdentified() const { return moduleIdentified != 0; }
    bool ModulePresent() const { return modulePresent != 0; }
    bool ModuleReady() const { return moduleReady != 0; }
    // The module was reset: not identified until the next run.
    void ForgetIdentity() { moduleIdentified = 0; }
    // A module was inserted: back to the set-up tab, neither present nor ready.
    void ForgetModule();
    void ClearModulePresent() { modulePresent = 0; }
    void ClearModuleReady() { moduleReady = 0; }
    // The tab last selected through the menu selector.
    void RememberTab(int32_t tab) { rememberedTab = tab; }
    // The firmware slot (0-3) the module runs, 255 for none.
    int32_t LoadedFirmwareSlot() const { return loadedFirmwareSlot; }
    void NoteLoadedFirmware(int32_t slot) { loadedFirmwareSlot = slot; }
    void ForgetLoadedFirmware() { loadedFirmwareSlot = 255; }

    // --- the flow on screen -------------------------------------------------------------
    bool SecondFlowShown() const { return secondFlowShown != 0; }
    // The value display shows the first or the second flow.
    void FollowShownFlow(bool second) { secondFlowShown = second ? 1 : 0; }
    // Shows the flow of a parameter control for its lifetime, so that the
    // per-flow look-ups of an edit or a write find that flow's controls, and
    // puts back the flow shown before. A row without a second control of its
    // own leaves the flow shown as it is.
    class ShownFlowGuard {
    public:
        ShownFlowGuard(IpFlowView& flows, const SfpParamRow* row, unsigned cmdId);
        ~ShownFlowGuard() { flows_.secondFlowShown = saved_; }
        ShownFlowGuard(const ShownFlowGuard&) = delete;
        ShownFlowGuard& operator=(const ShownFlowGuard&) = delete;

    private:
        IpFlowView& flows_;
        uint8_t saved_;
    };

    // Decides once which transmit flow the menu follows; true once decided.
    bool LockTxFlow();
    bool LockedToFirst() const { return lockedToFirst != 0; }
    bool LockedToSecond() const { return lockedToSecond != 0; }
    // The flow the menu shows is to be read afresh: raised when the lock
    // decides and when a window closes; the sequencer takes it.
    void RaiseFlowRefresh() { flowRefresh = 1; }
    bool TakeFlowRefresh() { return std::exchange(flowRefresh, uint8_t {0}) != 0; }
    uint16_t FlowValueControl() const;
    uint16_t FlowLabelControl() const;
    uint16_t FlowPortControl(unsigned cmdId) const;
    uint16_t FlowCounterControl() const;
    uint16_t FlowEncapControl() const;
    uint16_t FlowMacTextControl() const;
    void RefreshFlowLabel(const std::string& text);
    // The label that shows an SSRC typed for the first or the second flow in
    // the edit colour; the edit ends, wherever the menu is then, when its rows
    // are written or cancelled (Take) or when another label takes it over.
    void NoteTypedSsrcLabel(bool second, uint16_t label);
    uint16_t TakeTypedSsrcLabel(bool second) { return std::exchange(typedSsrcLabel[second ? 1 : 0], uint16_t {0}); }
    // The entry's text as one decimal number split into its four bytes;
    // anything but digits up to 0xFFFFFFFF is ignored. False when ignored.
    bool IpAddressEntered(TpCommand* control);
    bool IsFlowTransmitting() const;
    // While an address is edited its followers write one of their alternative texts.
    bool AddressEditActive() const { return addressEditActive != 0; }
    uint32_t AddressGroup() const { return addressGroup; }
    int32_t AddressGroupValue(int group) const;
    bool IsReservedMulticast() const;
    void SetMulticastMac();
    // True when any byte differs from a mask of fullBytes leading 255s (1-3).
    static bool AnyAddressByteSet(std::span<const uint16_t, 4> bytes, int fullBytes);
    static bool IsFlowAddressControl(unsigned cmdId);

    // --- show and hide ---------------------------------------------------------------
    // Applies one show/hide set (flag: the second-flow views' condition).
    void ApplyVisibilitySet(IpIds::Set set, bool flag = false);
    // The flow tables of the mode layout: the filter set, the first and the
    // second views, each by the module's direction.
    void ApplyFlowTables();
    // Shows or hides every id, in order.
    static void ShowIds(std::span<const uint16_t> ids, bool shown);
    // Shows or hides the rows' controls by the module's direction and firmware.
    static void ApplyLayout(std::span<const IpIds::LayoutRow> rows, bool decap, bool is2110);
    static void DisableSfpTabs();
    void EnableOutsideSets(bool enable);
    static void ResetConfigureFocus();

    // --- tabs and the menu set-up ---------------------------------------------------------
    void FocusSfpTab(int tab);
    static void SelectSfpTab7();
    static void SetSfpPageCaption(const std::string& text);
    static void ClearDialogFocus(const std::string& name);
    // One tick of the menu set-up: the refresh delay, the set-up countdown or
    // a requested flow-list focus, the first that runs.
    void StepMenuSetup();
    // Refreshes the menu page and focuses the first or the second flow list.
    void FocusFlowList(bool second) { (second ? flowListFocusB : flowListFocusA) = 1; }
    // The audio map of the direction is shown again: its map steps may start over.
    void RequestMapReopen(bool decap) { (decap ? decapMapReopen : encapMapReopen) = 1; }
    bool MapReopenRequested(bool decap) const { return (decap ? decapMapReopen : encapMapReopen) != 0; }
    void ClearMapReopen(bool decap) { (decap ? decapMapReopen : encapMapReopen) = 0; }
    // The set-up tab took the focus: the decoder map steps start again; the
    // sequencer takes the request on its next run.
    bool TakeDecapMapRestart() { return std::exchange(decapMapRestart, uint8_t {0}) != 0; }
    void RefreshOnWindowClosed();

    // --- audio and ANC flow texts ------------------------------------------------------
    void LoadAudioFlowChoice();
    void CopyStandardToSecondViews();
    void CopyAncFlowValue();
    void ShowAudioFlowSummary();
    void ShowAncFlowTexts();
    void CheckEncapChannelCount();
    void CheckDecapChannelCount();

    // --- PTP views ----------------------------------------------------------------------
    static bool IsPtpViewLocked();
    void EnablePtpView(bool second, bool enable);

    // --- generator standard and link type --------------------------------------------------
    void RefreshGeneratorStandard();
    void ApplyGeneratorStandard();
    void PrepareTxFlow();
    void RestoreLinkType();
    // True once after PrepareTxFlow changed the link type.
    bool TakeLinkTypeRestore();

private:
    uint16_t Lookup(IpIds::Lookup lookup) const;

    IpBusy& busy_;
    const IpEditBook& edits_;
    // The module.
    int32_t ipModuleMode = -1;         // 1 decapsulation, 0 encapsulation, -1 unknown
    uint8_t active2110 = 0;
    uint8_t txRegisterFirmware = 0xFF;   // the active2110 the transmit register was chosen for; 0xFF none
    uint8_t ipFeatures = 0;
    uint8_t moduleIdentified = 0, modulePresent = 0, moduleReady = 0;
    int32_t loadedFirmwareSlot = 255;
    // The menu and the flow on screen.
    int32_t menuTab = 0;               // COM_SFP_TAB_SELECT, copied by the sequencer
    int32_t rememberedTab = IpIds::kTabSetup;
    uint8_t secondFlowShown = 0;
    std::array<uint16_t, 2> typedSsrcLabel {};   // of the first and the second flow; 0 = none
    uint8_t lockedToFirst = 0, lockedToSecond = 0;
    uint8_t flowRefresh = 0;
    int32_t flowsKnown = 0;            // transmit flows found
    uint8_t sequencerRunning = 0;      // the address checks then follow the flow type
    uint8_t addressEditActive = 0;     // an address is edited, in group 1-3
    uint32_t addressGroup = 0;
    // The menu set-up's requests.
    int8_t menuRefreshDelay = -1;
    uint8_t setupCountdown = 0xFF;     // 0xFF idle
    uint8_t flowListFocusA = 0, flowListFocusB = 0;
    uint8_t decapMapReopen = 0, encapMapReopen = 0;
    uint8_t decapMapRestart = 0;
    // The audio flow choice loaded for the selected audio flow, and the stored ones.
    std::array<uint8_t, 2> audioFlowChoice {};
    std::array<std::array<uint8_t, 2>, 8> storedAudioFlowChoice {};
    // The generator's link type, changed by the transmit switch until the next tick.
    int32_t savedLinkType = -1;
    uint8_t linkTypeRestorePending = 0;
};
