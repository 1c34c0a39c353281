// Fixture of the SFP status list and logger tests: store, event log, the
// module's two-wire devices behind a fake bus and a status list of 90 items.
#pragma once

#include "BoardTest.h"
#include "FakeTwoWireBus.h"
#include "SfpImages.h"

#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "ipsfp/status/TpSfpStatusField.h"
#include "sim/BoardDevices.h"

#include <mutex>
#include <string>
#include <vector>

class SfpStatusTest : public BoardTest {
protected:
    SfpStatusTest()
    {
        static std::once_flag once;
        std::call_once(once, [] { ZuTest::AddResetHook(ResetSfpStatusReadings); });
    }
    void SetUp() override
    {
        BoardTest::SetUp();
        SetTwoWireBus(&bus);
        for (int i = 0; i < 90; ++i)
            list.AddItem("");
        // Event texts are their numbers, so entries read "W 293 ...".
        std::vector<std::string> texts;
        for (int i = 0; i < 320; ++i)
            texts.push_back(std::to_string(i));
        SetTextTable(texts);
    }
    // Shows the fields of a module type over the images.
    void ShowModule(SfpType type, const SfpDiagnostics& d, const SfpIdentity& id = {})
    {
        bus.SetA2(MakeA2hImage(d));
        bus.SetA0(MakeA0hImage(id));
        BuildSfpStatusFields(&list, type, fields);
        for (auto& f : fields)
            f->Show();
    }
    // The value item of the nth field with that label; -1 when none.
    int ValueItem(const std::string& label, int nth = 0) const
    {
        for (int i = 0; i < list.GetItemCount(); i += 2) {
            if (list.GetItemText(i) == label && nth-- == 0)
                return i + 1;
        }
        return -1;
    }
    std::string Value(const std::string& label, int nth = 0) const { return list.GetItemText(ValueItem(label, nth)); }
    uint32_t Colour(const std::string& label) const { return list.GetColour(ValueItem(label)); }
    // The events as "L message".
    std::vector<std::string> Events() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < events.EntryCount(); ++i)
            out.push_back(events.EntryText(i).substr(0, 2) + events.EntryText(i).substr(22));
        return out;
    }

    TpStore store;
    TpLogger events;
    FakeTwoWireBus bus;
    TpCommand list{0, kKeepsNothing};
    SfpFieldList fields;
};
