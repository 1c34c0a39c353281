// The dialog definition format: what a good file gives; lines that cannot be
// understood are reported by number and left out, the rest still counts.
#include "ui/dialogs/TpDialogFile.h"

#include "support/ZuTest.h"

#include <string>

namespace {

class DialogFile : public ZuTest {
protected:
    DialogFile()
    {
        names.Add("COM_MAIN_TAB_SELECT", 2);
        names.Add("COM_CHECK_NO", 1042);
        names.Add("COM_HUGE", 9000);
    }

    TpDialogFileData Parse(const std::string& text) { return TpDialogFile::Parse(text, names); }

    TpCommandNames names;
};

bool HasErrorOnLine(const TpDialogFileData& data, int line)
{
    for (const auto& e : data.errors)
        if (e.line == line)
            return true;
    return false;
}

} // namespace

TEST_F(DialogFile, AGoodFileGivesTextsItemsAndDialogs)
{
    const TpDialogFileData data = Parse(
        "# a comment\n"
        "\n"
        "text|3|Three\\|pipe\r\n"
        "text|1|Line\\none\\ttab\\\\\n"
        "items|COM_MAIN_TAB_SELECT|Menu|Gen||Last\n"
        "items|10-12|a|b\n"
        "blankitems|0x20|3\n"
        "dialog|Ask|closekey|x=10|y=20|w=200|h=100\n"
        "title|Question\n"
        "pages|Tabs|2|caption=|focus\n"
        "label|Line1||caption=|page=Tabs:1\n"
        "number|Level|100|min=-5|max=5|step=2|colour=0xFF0000|back=0x5A92CD\n"
        "combo|Choice|101|flag=7|key=14\n"
        "clist|Grid|102|flags=2|cols=6|rows=19|even=65|odd=95\n"
        "button|No|COM_CHECK_NO|action=no|hidden|disabled\n"
        "end\n");
    EXPECT_TRUE(data.errors.empty()) << data.errors.front().line << ": " << data.errors.front().message;

    EXPECT_EQ(data.texts, (std::vector<std::string> {"", "Line\none\ttab\\", "", "Three|pipe"}));

    ASSERT_EQ(data.items.size(), 3u);
    EXPECT_EQ(data.items[0].first, 2u);
    EXPECT_EQ(data.items[0].items, (std::vector<std::string> {"Menu", "Gen", "", "Last"}));
    EXPECT_EQ(data.items[1].first, 10u);
    EXPECT_EQ(data.items[1].last, 12u);
    EXPECT_EQ(data.items[2].first, 0x20u);
    EXPECT_EQ(data.items[2].items.size(), 3u);

    ASSERT_EQ(data.dialogs.size(), 1u);
    const TpDialogDef& d = data.dialogs[0];
    EXPECT_EQ(d.name, "Ask");
    EXPECT_EQ(d.title, "Question");
    EXPECT_TRUE(d.closeOnKey && d.hasArea);
    EXPECT_EQ(d.w, 200);
    ASSERT_EQ(d.controls.size(), 6u);
    EXPECT_EQ(d.controls[0].cmdId, 2u);
    EXPECT_TRUE(d.controls[0].focus);
    EXPECT_EQ(d.controls[1].caption, "");
    EXPECT_EQ(d.controls[1].pageOf + ":" + std::to_string(d.controls[1].page), "Tabs:1");
    EXPECT_EQ(d.controls[2].caption, "Level") << "the name is the default caption";
    EXPECT_EQ(d.controls[2].min, -5);
    EXPECT_EQ(d.controls[2].step, 2);
    EXPECT_EQ(d.controls[2].colour, 0xFF0000u);
    EXPECT_EQ(d.controls[3].flag, 7);
    EXPECT_EQ(d.controls[3].key, 14);
    EXPECT_EQ(d.controls[4].cols, 6);
    EXPECT_EQ(d.controls[4].oddWidth, 95);
    EXPECT_EQ(d.controls[5].cmdId, 1042u);
    EXPECT_EQ(d.controls[5].action, "no");
    EXPECT_TRUE(d.controls[5].hidden && d.controls[5].disabled);
}

TEST_F(DialogFile, BadLinesAreReportedByNumberAndLeftOut)
{
    // One bad line of each kind; the good lines around them still count.
    const TpDialogFileData data = Parse(
        "text|1|good\n"                       // 1
        "text|0|zero is reserved\n"           // 2
        "text|4096|beyond the table\n"        // 3
        "text|x|not a number\n"               // 4
        "text|1|second text 1\n"              // 5
        "items|NO_SUCH_NAME|a\n"              // 6
        "items|COM_HUGE|a\n"                  // 7
        "items|12-10|a\n"                     // 8
        "blankitems|5|0\n"                    // 9
        "label|Outside|0\n"                   // 10
        "end\n"                               // 11
        "bogus|line\n"                        // 12
        "text|2|bad escape \\q\n"             // 13
        "text|2|trailing \\\n"                // 14
        "dialog|D|x=10|y=10|w=480|h=10\n"     // 15: area off the screen
        "dialog|D|wide\n"                     // 16: unknown flag
        "dialog|D\n"                          // 17
        "label|A|0\n"                         // 18
        "label|A|0\n"                         // 19: repeated name
        "label|B|0|page=A:1\n"                // 20: A is not a page control
        "number|C|0|min=5|max=1\n"            // 21
        "number|E|0|step=0\n"                 // 22
        "button|F|0|action=explode\n"         // 23
        "combo|G|0|key=10\n"                  // 24: not a menu or recall key
        "combo|H|0|colour=0x1000000\n"        // 25
        "label|I\n"                           // 26: no command field
        "label|J|0|focuss\n"                  // 27
        "text|2|second\n"                     // 28
        "end\n"                               // 29
        "items|5|a\n"                         // 30
        "items|4-6|b\n"                       // 31: 5 already has items
        "dialog|K\n"                          // 32
        "label|L|0|itemsof=5\n"               // 33: only a combo shows another's items
        "combo|M|0|itemsof=NO_SUCH_NAME\n"    // 34
        "end\n"                               // 35
    );
    for (int bad : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 19, 20, 21, 22, 23, 24, 25, 26, 27, 31, 33, 34})
        EXPECT_TRUE(HasErrorOnLine(data, bad)) << "line " << bad;
    for (int good : {1, 17, 18, 28, 29, 30, 32, 35})
        EXPECT_FALSE(HasErrorOnLine(data, good)) << "line " << good;

    ASSERT_GE(data.texts.size(), 3u);
    EXPECT_EQ(data.texts[1], "good") << "the first text 1 counts";
    EXPECT_EQ(data.texts[2], "second");
    ASSERT_EQ(data.dialogs.size(), 2u);
    ASSERT_EQ(data.dialogs[0].controls.size(), 1u);
    EXPECT_EQ(data.dialogs[0].controls[0].name, "A");
    ASSERT_EQ(data.items.size(), 1u);
    EXPECT_EQ(data.items[0].first, 5u);
}

TEST_F(DialogFile, RepeatedAndUnfinishedDialogs)
{
    const TpDialogFileData data = Parse(
        "dialog|One\n"
        "label|A|0\n"
        "end\n"
        "dialog|One\n"       // line 4: repeated; its lines are left out
        "label|B|0\n"
        "end\n"
        "dialog|Two\n"       // line 7: no end before the next dialog
        "label|C|0\n"
        "dialog|Three\n"
        "label|D|0\n");      // no end before the end of the file
    EXPECT_TRUE(HasErrorOnLine(data, 4));
    EXPECT_TRUE(HasErrorOnLine(data, 7));
    EXPECT_TRUE(HasErrorOnLine(data, 9));
    ASSERT_EQ(data.dialogs.size(), 3u);
    ASSERT_EQ(data.dialogs[0].controls.size(), 1u);
    EXPECT_EQ(data.dialogs[0].controls[0].name, "A") << "the repeated dialog's lines are left out";
    EXPECT_EQ(data.dialogs[1].name, "Two");
    EXPECT_EQ(data.dialogs[2].controls.size(), 1u);
}

TEST_F(DialogFile, CommandNamesComeFromHeaderLines)
{
    const TpCommandNames header = TpCommandNames::FromHeaderText(
        "#ifndef X\n#define X\n#define COM_A 12\n  #define COM_B\t0x10\n#define COM_C -1\n#define COM_D 70000\n");
    unsigned id = 0;
    EXPECT_TRUE(header.Find("COM_A", id));
    EXPECT_EQ(id, 12u);
    EXPECT_TRUE(header.Find("COM_B", id));
    EXPECT_EQ(id, 16u);
    EXPECT_FALSE(header.Find("X", id));
    EXPECT_FALSE(header.Find("COM_C", id));
    EXPECT_FALSE(header.Find("COM_D", id));
    EXPECT_TRUE(TpCommandNames::Program().Find("COM_SCRIPTS_CONTINUE", id));
    EXPECT_EQ(id, 1734u);
}
