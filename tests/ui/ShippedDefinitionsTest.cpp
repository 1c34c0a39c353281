// The program's own dialog definitions: every dialog the pages open by name,
// every text they number and the item lists they index, from the file in the
// working folder or, failing that, the copy built into the program.
#include "UiTest.h"

#include "KrZuApi.h"
#include "core/text/TextTable.h"
#include "platform/FileSystem.h"
#include "resources/ZuResources.h"

#include <string>

namespace {

class ShippedDefinitions : public UiTest {
protected:
    void LoadShipped()
    {
        ASSERT_TRUE(list->LoadDefinitions(""));
        EXPECT_EQ(list->Source(), ":/Orb.dlg");
        for (const auto& e : list->Errors())
            ADD_FAILURE() << "Orb.dlg line " << e.line << ": " << e.message;
    }

    int ItemCount(unsigned id) const
    {
        const TpCommand* cmd = store->GetCmd(id);
        return cmd != nullptr ? cmd->GetItemCount() : -1;
    }
};

} // namespace

TEST_F(ShippedDefinitions, TheBuiltInCopyIsTheResourceFile)
{
    std::string file, resource;
    ASSERT_TRUE(ReadWholeFile(std::string(ZU_RESOURCES_DIR) + "/Orb.dlg", file));
    ASSERT_TRUE(ReadResource(":/Orb.dlg", resource));
    EXPECT_EQ(file, resource);
}

TEST_F(ShippedDefinitions, EveryDialogThePagesOpenExists)
{
    LoadShipped();
    const char* const names[] = {
        "Main", "CheckDialog", "SetupNetwork", "ScriptPrompt", "SelectUser", "ScriptTimeout", "CancelScript",
        "Report", "BoardNeedsUpgrading", "OldSfpCageWarning", "UnrecognisedSFP", "EditPtpMode", "EditVidStd",
        "ConfigureSFPBox", "ReadingSFPBox", "IGMPCounts", "VlanIDS", "SSRCBox", "NewSfpMode", "EditAncPopup",
        "EditAudioPopupD", "EditAudioPopupE", "EditSystemResets", "EditDecAudMapDialog", "EditEncAudMapDialog",
        "EditFlows", "EditSecondFlows", "EditMan",
    };
    for (const char* name : names) {
        TpDialog* d = ShowDialog(name, 1);
        ASSERT_NE(d, nullptr) << name;
        EXPECT_EQ(TopWindow(), d) << name;
        EXPECT_FALSE(d->Controls().empty()) << name;
    }
    EXPECT_TRUE(list->Find("CheckDialog")->ClosesOnKey());
    EXPECT_FALSE(list->Find("Main")->ClosesOnKey());
    EXPECT_NE(list->Find("CheckDialog")->FindControl("Line1"), nullptr);
    EXPECT_NE(list->Find("CheckDialog")->FindControl("Line2"), nullptr);
    EXPECT_NE(list->Find("Main")->FindControl("Video Flows"), nullptr);
    EXPECT_NE(list->Find("Main")->FindControl("ANC   Flows"), nullptr);
    EXPECT_TRUE(list->RedrawChanged()) << "every dialog can be drawn at once";
}

TEST_F(ShippedDefinitions, EveryNumberedTextIsInTheTable)
{
    LoadShipped();
    // Ranges of text numbers the pages use.
    const std::pair<unsigned, unsigned> ranges[] = {
        {5, 12},    {67, 67},   {76, 77},   {80, 81},   {86, 94},   {101, 102}, {106, 114}, {117, 128},
        {133, 135}, {142, 145}, {148, 148}, {151, 152}, {155, 155}, {227, 229}, {232, 233}, {236, 236},
        {245, 246}, {277, 279}, {282, 282}, {284, 340}, {345, 346}};
    std::vector<unsigned> numbers;
    for (const auto& [first, last] : ranges)
        for (unsigned n = first; n <= last; ++n)
            numbers.push_back(n);
    for (unsigned n : numbers) {
        const std::string text = GetText(n);
        EXPECT_FALSE(text.empty()) << n;
        EXPECT_NE(text.rfind("? ", 0), 0u) << n;
    }
    EXPECT_EQ(GetText(0), "");
    EXPECT_EQ(GetText(4000), "? 4000");
}

TEST_F(ShippedDefinitions, ListsIndexedByNumberHaveTheirItems)
{
    LoadShipped();
    EXPECT_EQ(ItemCount(COM_MAIN_TAB_SELECT), 8);
    EXPECT_EQ(ItemCount(COM_SCRIPTS_EDIT_STEP_FUNCTION), 12);
    EXPECT_EQ(ItemCount(COM_SCRIPTS_EDIT_STEP_TAB), 35);
    EXPECT_GE(ItemCount(2350), 40);

    EXPECT_EQ(store->GetCmd(COM_SCRIPTS_EDIT_STEP_TAB)->GetItemText(34), "");
    // The sub-tabs a script selects exist, indexed as the tab table gives.
    for (const auto& [id, least] : {std::pair<unsigned, int> {COM_MONITOR_TAB_SELECT, 8}, {COM_GENERATOR_TAB_SELECT, 6},
                                    {COM_AUDIO_TAB_SELECT, 6}, {COM_SETUP_TAB_SELECT, 7}, {COM_LOGGING_TAB_SELECT, 5}})
        EXPECT_GE(ItemCount(id), least) << id;
    // The archive a script restores is chosen among the memories' backups.
    store->ClearItems(COM_MEMORY_BACKUP_FILELIST);
    store->AddItem(COM_MEMORY_BACKUP_FILELIST, "studio");
    store->AddItem(COM_MEMORY_BACKUP_FILELIST, "field");
    EXPECT_EQ(store->GetCmd(COM_SCRIPTS_ARCHIVE_FILE)->GetItemsText(), "studio\tfield");
}

TEST_F(ShippedDefinitions, TheLanguageFileComesFirstThenOrbDlg)
{
    WriteText("Orb.dlg", "text|1|from Orb.dlg\ndialog|Main\nlabel|A|0\nend\n");
    WriteText("Deutsch.dlg", "text|1|aus Deutsch.dlg\ndialog|Main\nlabel|A|0\nend\n");
    ASSERT_TRUE(list->LoadDefinitions("Deutsch"));
    EXPECT_EQ(list->Source(), "Deutsch.dlg");
    EXPECT_EQ(GetText(1), "aus Deutsch.dlg");
    EXPECT_FALSE(list->LoadDefinitions("Deutsch")) << "definitions are read once";
    EXPECT_EQ(list->DialogCount(), 1u);

    TpDialogList other;
    ASSERT_TRUE(other.LoadDefinitions("Klingon"));
    EXPECT_EQ(other.Source(), "Orb.dlg");
    EXPECT_EQ(GetText(1), "from Orb.dlg");
}

TEST_F(ShippedDefinitions, ALanguageThatIsNoFileNameIsNotUsed)
{
    WriteText("Orb.dlg", "text|1|plain\n");
    ASSERT_TRUE(MakeFolder(WorkDir() + "/sub"));
    WriteText("sub/x.dlg", "text|1|escaped\n");
    ASSERT_TRUE(list->LoadDefinitions("sub/x"));
    EXPECT_EQ(list->Source(), "Orb.dlg");
    EXPECT_TRUE(debug->Contains("is not a file name"));
    EXPECT_EQ(GetText(1), "plain");
}
