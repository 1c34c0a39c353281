// Fixture of the toolkit's tests: a store, a dialog list bound to the
// simulator's LCD (put back to black before every test) and helpers to load
// definitions and press keys.
#pragma once

#include "BoardTest.h"

#include "core/store/TpStore.h"
#include "sim/KeyMailbox.h"
#include "ui/dialogs/TpDialogList.h"

#include <memory>
#include <string>

class UiTest : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        store = std::make_unique<TpStore>();
        list = std::make_unique<TpDialogList>();
    }
    void TearDown() override
    {
        list.reset();
        store.reset();
        BoardTest::TearDown();
    }

    // Loads definitions from text; the test fails on any line left out.
    void Load(const std::string& text)
    {
        ASSERT_TRUE(list->LoadText(text, "test.dlg"));
        for (const auto& e : list->Errors())
            ADD_FAILURE() << "line " << e.line << ": " << e.message;
    }

    TpKeyResult Press(uint16_t key) { return list->RouteKey(static_cast<uint16_t>(key | kKeyPressFlag)); }

    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpDialogList> list;
};
