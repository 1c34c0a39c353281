// Store requests as a connection posts them: reply type, fields and payload of each, and the refused ones.
#include "app/AppTest.h"
#include "core/store/TpCommand.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"

#include "KrZuApi.h"

#include <cstdint>
#include <cstring>

namespace {

// Ids of the commands the tests build (any stored ids would do).
constexpr uint16_t kSetting = COM_AUDIO_TAB_SELECT;
constexpr uint16_t kList = COM_REMOTE_CONNECTIONS;

class StoreRequestsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        setting = std::make_unique<TpCommand>(kSetting, kKeepsValueText);
        list = std::make_unique<TpTextListCmd>(nullptr, kList, kKeepsValue);
        for (int i = 0; i < 3; ++i)
            app->Store().AddItem(kList, "item" + std::to_string(i), 10 * i);
    }
    // Checks the reply's header; gives its payload as text. Reply types are
    // the wire numbers: sets 0, errors 1, reads 20 to 29 their type + 10,
    // reads 41 to 54 their type + 1.
    static std::string ExpectHeader(const Reply& r, uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value,
                                    uint16_t length)
    {
        if (!r.answered) {
            ADD_FAILURE() << "no reply";
            return std::string();
        }
        EXPECT_EQ(r.header.magic, kRemoteMagic);
        EXPECT_EQ(r.header.type, type);
        EXPECT_EQ(r.header.cmdId, cmdId);
        EXPECT_EQ(r.header.item, item);
        EXPECT_EQ(r.header.value, value);
        EXPECT_EQ(r.header.length, length);
        EXPECT_EQ(r.payload.size(), length);
        return r.Text();
    }

    std::unique_ptr<TpCommand> setting;
    std::unique_ptr<TpTextListCmd> list;
};

TEST_F(StoreRequestsTest, SetsReachTheCommandAndReadsAnswerWithTheirReplyTypes)
{
    // Types 5, 6, 20 and 21 are checked byte for byte by the end-to-end client.
    // no item check on reads of the value
    ExpectHeader(Request(StoreType::kGetValue, kSetting, 7), 31, kSetting, 7, 0, 0);
    ExpectHeader(Request(StoreType::kSetColour, kSetting, 0, 0xFF7F00), 0, kSetting, 0, 0, 0);
    ExpectHeader(Request(StoreType::kGetColour, kSetting), 32, kSetting, 0, 0xFF7F00, 0);

    ExpectHeader(Request(StoreType::kSetEnabled, kSetting, 0, 0), 0, kSetting, 0, 0, 0);
    ExpectHeader(Request(StoreType::kGetEnabled, kSetting), 53, kSetting, 0, 0, 0);
    Request(StoreType::kSetEnabled, kSetting, 0, 5);   // any non-zero value enables
    ExpectHeader(Request(StoreType::kGetEnabled, kSetting), 53, kSetting, 0, 1, 0);
    ExpectHeader(Request(StoreType::kSetVisible, kSetting, 0, 0), 0, kSetting, 0, 0, 0);
    ExpectHeader(Request(StoreType::kGetVisible, kSetting), 55, kSetting, 0, 0, 0);

    app->Store().SetColumnCount(kSetting, 6);
    app->Store().SetRowCount(kSetting, 19);
    ExpectHeader(Request(StoreType::kGetColumnCount, kSetting), 42, kSetting, 0, 6, 0);
    ExpectHeader(Request(StoreType::kGetRowCount, kSetting), 45, kSetting, 0, 19, 0);

    ExpectHeader(Request(StoreType::kGetText, kList), 30, kList, 0, 0, 0);
}

TEST_F(StoreRequestsTest, ItemRequests)
{
    ExpectHeader(Request(StoreType::kGetItemCount, kList), 33, kList, 0, 3, 0);
    ExpectHeader(Request(StoreType::kGetItemValue, kList, 2), 34, kList, 2, 20, 0);
    EXPECT_EQ(ExpectHeader(Request(StoreType::kGetItemText, kList, 1), 35, kList, 1, 0, 5),
              "item1");
    ExpectHeader(Request(StoreType::kCheckItem, kList, 2), 36, kList, 2, 0, 0);

    ExpectHeader(Request(StoreType::kSetItemText, kList, 1, 0, "renamed"), 0, kList, 1, 0, 0);
    ExpectHeader(Request(StoreType::kSetItemValue, kList, 0, 77), 0, kList, 0, 0, 0);
    ExpectHeader(Request(StoreType::kSetItemValueText, kList, 2, 99, "both"), 0, kList, 2, 0, 0);
    ExpectHeader(Request(StoreType::kSetItemEnabled, kList, 1, 0), 0, kList, 1, 0, 0);
    ExpectHeader(Request(StoreType::kGetItemEnabled, kList, 1), 37, kList, 1, 0, 0);
    ExpectHeader(Request(StoreType::kGetItemEnabled, kList, 0), 37, kList, 0, 1, 0);

    Reply values = Request(StoreType::kGetItemValues, kList);
    ExpectHeader(values, 38, kList, 0, 0, 12);
    EXPECT_EQ(values.payload, (std::vector<uint8_t>{77, 0, 0, 0, 10, 0, 0, 0, 99, 0, 0, 0}));

    // item field: enabled items; value: all items
    EXPECT_EQ(ExpectHeader(Request(StoreType::kGetItemsText, kList), 39, kList, 2, 3, 18),
              "item0\trenamed\tboth");

    app->Store().SetItemColours(kList, 2, 0xFF0000, 0x5A92CD);
    ExpectHeader(Request(StoreType::kGetItemColour, kList, 2), 51, kList, 2, 0xFF0000, 0);

    ExpectHeader(Request(StoreType::kClearItems, kList), 0, kList, 0, 0, 0);
    ExpectHeader(Request(StoreType::kAddItemValue, kList, 0, 5), 0, kList, 0, 0, 0);
    ExpectHeader(Request(StoreType::kGetItemCount, kList), 33, kList, 0, 1, 0);
    ExpectHeader(Request(StoreType::kGetItemValue, kList, 0), 34, kList, 0, 5, 0);
}

TEST_F(StoreRequestsTest, ItemIndexAtTheCountIsRefusedAndNothingChanges)
{
    for (uint16_t type : {StoreType::kSetItemText, StoreType::kSetItemValue, StoreType::kSetItemValueText,
                          StoreType::kSetItemEnabled, StoreType::kGetItemValue, StoreType::kGetItemText,
                          StoreType::kCheckItem, StoreType::kGetItemEnabled, StoreType::kGetItemColour})
        ExpectHeader(Request(type, kList, 3, 1, "x"), 1, kList, 3, ResultWord::kBadItem, 0);
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_TRUE(list->GetItemEnabled(2));
    ExpectHeader(Request(StoreType::kGetItemText, kList, UINT32_MAX), 1, kList, UINT32_MAX,
                 ResultWord::kBadItem, 0);
}

TEST_F(StoreRequestsTest, MissingIdsAndTypesWithoutOperation)
{
    // An id beyond the store's table, and id 0.
    ExpectHeader(Request(StoreType::kGetValue, 65535), 1, 65535, 0, ResultWord::kNoCommand, 0);
    ExpectHeader(Request(StoreType::kSetValue, 0, 0, 1), 1, 0, 0, ResultWord::kNoCommand, 0);

    debug->Clear();
    for (uint16_t type : {16, 17, 18, 19, 33, 39, 40, 42, 43, 45, 46, 47, 48, 49})
        ExpectHeader(Request(type, kSetting), 1, kSetting, 0, ResultWord::kRefused, 0);
    EXPECT_FALSE(debug->Contains("RetXXX"));
    // Reply types sent as requests.
    for (uint16_t type : {30, 31, 32, 34,
                          35, 36, 37,
                          38, 51, 53, 55}) {
        ExpectHeader(Request(type, kSetting), 1, kSetting, 0, ResultWord::kRefused, 0);
        EXPECT_TRUE(debug->Contains("ERROR: RetXXX (" + std::to_string(type) + ") CmdId=" +
                                    std::to_string(kSetting) + "\n"));
    }
}

TEST_F(StoreRequestsTest, LongTextsAreCutAndLongListsRefused)
{
    app->Store().SetText(kSetting, std::string(1499, 'b'));   // the longest text sent whole
    EXPECT_EQ(ExpectHeader(Request(StoreType::kGetText, kSetting), 30, kSetting, 0, 0, 1499),
              std::string(1499, 'b'));
    EXPECT_FALSE(debug->Contains("Text too large"));
    app->Store().SetText(kSetting, std::string(2000, 'a'));
    ExpectHeader(Request(StoreType::kGetText, kSetting), 30, kSetting, 0, 0, 1499);
    EXPECT_TRUE(debug->Contains("Text too large (2000) limited to 1500\n"));

    app->Store().ClearItems(kList);
    for (int i = 0; i < 375; ++i)
        app->Store().AddItemValue(kList, i);
    Reply full = Request(StoreType::kGetItemValues, kList);
    ExpectHeader(full, 38, kList, 0, 0, 1500);
    EXPECT_EQ(full.payload[4 * 374], 374 & 0xFF);
    app->Store().AddItemValue(kList, 375);
    ExpectHeader(Request(StoreType::kGetItemValues, kList), 1, kList, 0, ResultWord::kRefused, 0);

    // A client fills a list only up to its limit.
    while (app->Store().GetCmd(kList)->GetItemCount() < kClientItemsMax - 1)
        app->Store().AddItemValue(kList, 0);
    ExpectHeader(Request(StoreType::kAddItemValue, kList, 0, 1), 0, kList, 0, 0, 0);
    ExpectHeader(Request(StoreType::kAddItemValue, kList, 0, 2), 1, kList, 0, ResultWord::kRefused, 0);
    EXPECT_EQ(app->Store().GetCmd(kList)->GetItemCount(), kClientItemsMax);
}

TEST_F(StoreRequestsTest, AnotherOriginChangesNothingAndIsStillAnswered)
{
    ASSERT_TRUE(Post(slot, StoreType::kSetValue, kSetting, 0, 9, "", 7));
    app->ProcessPending();
    EXPECT_TRUE(debug->Contains("ProcessMessage-Error-MagicNo Setup"));
    EXPECT_EQ(setting->GetValue(), 0);
    // the requester is not left waiting
    ExpectHeader(Collect(slot), 1, kSetting, 0, ResultWord::kRefused, 0);
}

TEST_F(StoreRequestsTest, TextPayloadIsTakenUpToItsLength)
{
    RemoteMsgHeader h;   // bytes beyond the length field are not part of the text
    h.magic = Origin::kRemote;
    h.type = StoreType::kSetText;
    h.cmdId = kSetting;
    h.length = 3;
    h.spare = slot.BeginRequest();
    uint8_t raw[kRemoteHeaderSize + 8];
    h.Encode(raw);
    std::memcpy(raw + kRemoteHeaderSize, "abcdefgh", 8);
    MessageQueue q;
    q.Open("/msgq");
    ASSERT_TRUE(q.Send(raw, sizeof raw));
    app->ProcessPending();
    ExpectHeader(Collect(slot), 0, kSetting, 0, 0, 0);
    EXPECT_EQ(setting->GetText(), "abc");
}

} // namespace
