// Fixture of the IP pages end to end: the SFP status page with the simulated
// IP module in its cage and the fake module behind the bus, the IP menu's
// sub-dialogs and the event log. One Tick is one run of the page's task; the
// manager is the page's own.
#pragma once

#include "FakeEmSfp.h"
#include "FakeSfpCage.h"
#include "FakeTwoWireBus.h"
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "ipsfp/statuspage/TkrSFPStatus.h"
#include "sim/EmSfpSimFlags.h"
#include "ui/dialogs/TpDialogList.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class IpPageTest : public BoardTest {
protected:
    using Trans = FakeEmSfp::Transaction;

    IpPageTest() { InstallIpSfpResetHook(); }
    void SetUp() override
    {
        BoardTest::SetUp();
        SetSfpCage(&cage);
        bus.ShareLowerHalf(&module);
        SetTwoWireBus(&bus);
        SetEmSfpBus(&module);
        SetSfpRetryWait([](uint32_t) {});
        std::string text;
        for (const char* name : {"IGMPCounts", "VlanIDS", "EditPtpMode", "EditVidStd", "SSRCBox", "NewSfpMode",
                                 "ConfigureSFPBox", "ReadingSFPBox", "EditMan", "EditFlows", "EditSecondFlows",
                                 "EditAncPopup", "EditAudioPopupD", "EditAudioPopupE", "EditSystemResets",
                                 "EditDecAudMapDialog", "EditEncAudMapDialog", "CheckDialog"})
            text += std::string("dialog|") + name + "\nend\n";
        ASSERT_TRUE(dialogs.LoadText(text, "test"));
        std::vector<std::string> texts;   // event texts are their numbers: entries read " 292 ..."
        for (int i = 0; i < 320; ++i)
            texts.push_back(std::to_string(i));
        SetTextTable(texts);
        module.Seed(0x90, 0x8F, {239, 1, 2, 3, 0x13, 0x88, 0x13, 0x88});   // first flow: destination, UDP ports
        module.Seed(0x84, 0x8B, {192, 168, 1, 10});                        // management address
        SimEmSfpFlags().SetIpMode(1);
        page = std::make_unique<TkrSFPStatus>(799, 831, 832, 2285, 2318);
    }
    void TearDown() override
    {
        page.reset();
        SetEmSfpBus(nullptr);
        SetTwoWireBus(nullptr);
        BoardTest::TearDown();
    }

    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            page->OnTask();
    }
    // The page's first tick finds the module and puts the menu on the SFP Setup tab; then the tab asked for.
    void Fit(int tab = 7)
    {
        Tick();
        Tab(tab);
    }
    // Ticks until done() holds, at most limit ticks; whether it holds.
    template <class Done>
    bool TickUntil(Done done, int limit = 100)
    {
        for (int i = 0; i < limit && !done(); ++i)
            Tick();
        return done();
    }
    // The module taken out for a tick and put back: it is read afresh.
    void Reinsert()
    {
        cage.detect = 0;
        Tick();
        cage.detect = 1;
    }
    IpSfpManager& Mgr() const { return page->Manager(); }
    void Tab(int tab) { store.SetValue(COM_SFP_TAB_SELECT, tab); }
    void LogStatus()
    {
        store.SetValue(COM_ANLYS_LOG_ENABLE, 1);
        store.SetValue(COM_ANLYS_LOG_SFP_STATUS_ENABLE, 1);
    }
    std::string Progress() const { return store.GetCmdText(IpIds::kProgressBox); }
    const std::vector<Trans>& Trace() const { return module.Trace(); }
    static Trans Wr(uint8_t page, uint8_t reg, uint8_t value) { return {true, page, reg, value}; }
    // Register writes on a page (page selects left out).
    std::vector<Trans> Writes(uint8_t onPage) const
    {
        std::vector<Trans> out;
        for (const Trans& t : Trace())
            if (t.write && t.page == onPage && t.reg != 127)
                out.push_back(t);
        return out;
    }
    // Writes of one register of a page, as their values.
    std::vector<uint8_t> WrittenTo(uint8_t onPage, uint8_t reg) const
    {
        std::vector<uint8_t> out;
        for (const Trans& t : Writes(onPage))
            if (t.reg == reg)
                out.push_back(t.value);
        return out;
    }
    bool ReadOn(uint8_t onPage) const
    {
        return std::any_of(Trace().begin(), Trace().end(),
                           [onPage](const Trans& t) { return !t.write && t.page == onPage && t.reg > 129; });
    }
    bool Selected(uint8_t physical) const
    {
        return std::any_of(Trace().begin(), Trace().end(),
                           [physical](const Trans& t) { return t.write && t.reg == 127 && t.value == physical; });
    }
    // Event-log entries that hold the text.
    int Events(const std::string& text) const
    {
        int n = 0;
        for (int i = 0; i < events.EntryCount(); ++i)
            n += events.EntryText(i).find(text) != std::string::npos ? 1 : 0;
        return n;
    }
    // The management address read: the tab that reads the page table's pages.
    void ReadManagement()
    {
        Tab(7);
        Tick(20);
    }

    // Widgets of the IP pages that the manager does not build.
    void Widgets(std::initializer_list<unsigned> ids)
    {
        for (unsigned id : ids)
            if (store.GetCmd(id) == nullptr)
                extra.push_back(std::make_unique<TpCommand>(id, kKeepsValue));
    }

    TpStore store;
    TpDialogList dialogs;
    TpLogger events;
    FakeSfpCage cage;
    FakeEmSfp module;
    FakeTwoWireBus bus;
    std::unique_ptr<TkrSFPStatus> page;
    std::vector<std::unique_ptr<TpCommand>> extra;
};
