// The status file exported as XML (and as an HTML table) from a layout file
// of "label=command id,divisor" lines.
#include "RemoteTest.h"

#include "KrZuApi.h"
#include "core/store/TpCommand.h"
#include "core/store/TpStore.h"
#include "platform/Paths.h"
#include "remote/web/TpXmlStatus.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE ZU_STATUS [<!ELEMENT Field (#PCDATA)><!ATTLIST Field "
    "Name CDATA #REQUIRED Value CDATA #REQUIRED><!ELEMENT ZuStatus (Field)*>]>\n<ZuStatus>\n";
const std::string kTail = "</ZuStatus>\n";

std::string Id(unsigned cmdId) { return std::to_string(cmdId); }

std::string Record(const std::string& name, const std::string& value)
{
    return "<Field><Name>" + name + "</Name><Value>" + value + "</Value></Field>\n";
}

std::string Row(const std::string& name, const std::string& value)
{
    return "<tr><td>" + name + "</td><td>" + value + "</td></tr>\n";
}

// True when xmllint finds the file well-formed.
bool WellFormed(const std::string& path)
{
    return std::system(("xmllint --noout '" + path + "' 2>/dev/null").c_str()) == 0;
}

class XmlStatusTest : public RemoteTest {
protected:
    void SetUp() override
    {
        RemoteTest::SetUp();
        store = std::make_unique<TpStore>();
        status = std::make_unique<TpCommand>(COM_SYS_STATUS, kKeepsValueText);
        loops = std::make_unique<TpCommand>(COM_SCRIPTS_LOOPS, kKeepsValueText);
        level = std::make_unique<TpCommand>(COM_GEN_AUDIO_MASTER_LEVEL, kKeepsValueText);
        status->SetText("Script");
        loops->SetValue(2);
        level->SetValue(1234);
    }

    void TearDown() override
    {
        level.reset(), loops.reset(), status.reset(), store.reset();
        RemoteTest::TearDown();
    }

    // Writes the layout and exports; the status file's bytes.
    std::string Export(const std::string& layout)
    {
        WriteText("layout.ini", layout);
        EXPECT_TRUE(xml.Write("status.xml", "layout.ini", *store));
        return ReadText("status.xml");
    }

    std::unique_ptr<TpStore> store;
    std::unique_ptr<TpCommand> status, loops, level;
    TpXmlStatus xml;
};

TEST_F(XmlStatusTest, FieldsInFileOrderWithTextAndValues)
{
    EXPECT_EQ(Export(""), kHead + kTail);
    EXPECT_EQ(xml.Table(), "<table>\n</table>\n");

    const std::string layout = "Status=" + Id(COM_SYS_STATUS) + ",0\n" +
                               "Loops=" + Id(COM_SCRIPTS_LOOPS) + ",1\r\n" +
                               "My Label =" + Id(COM_GEN_AUDIO_MASTER_LEVEL) + ",100\n" +
                               " Wrapped=" + Id(COM_SYS_STATUS + 65536) + ",0\n";
    EXPECT_EQ(Export(layout), kHead + Record("Status", "Script") + Record("Loops", "2") +
                                  Record("My Label ", "12.34") + Record(" Wrapped", "Script") + kTail);
    EXPECT_EQ(xml.Table(), "<table>\n" + Row("Status", "Script") + Row("Loops", "2") + Row("My Label ", "12.34") +
                               Row(" Wrapped", "Script") + "</table>\n");
    EXPECT_TRUE(WellFormed("status.xml"));
}

TEST_F(XmlStatusTest, NumberFormatsFollowTheDivisor)
{
    struct Case {
        int32_t value;
        const char* divisor;
        const char* text;
    };
    // value, divisor, value written
    static constexpr Case kCases[] = {
        {1234, "1", "1234"},        {1234, "10", "123.4"},      {1234, "11", "112.18"},
        {1234, "101", "12.218"},    {1234, "1000", "1.234"},    {1234, "1001", "1.232767"},
        {-1234, "100", "-12.34"},   {1234, "-2", "-617.000000"}, {1234, " 5x", "246.8"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.divisor);
        level->SetValue(c.value);
        EXPECT_EQ(Export("L=" + Id(COM_GEN_AUDIO_MASTER_LEVEL) + "," + c.divisor + "\n"),
                  kHead + Record("L", c.text) + kTail);
    }
}

TEST_F(XmlStatusTest, TextIsEscapedInTheXmlAndRawInTheTable)
{
    status->SetText("a&b<c>'\"50%");
    EXPECT_EQ(Export("Say <&>=" + Id(COM_SYS_STATUS) + ",0\n"),
              kHead + Record("Say &lt;&amp;&gt;", "a&amp;b&lt;c&gt;&apos;&quot;50%") + kTail);
    EXPECT_EQ(xml.Table(), "<table>\n" + Row("Say <&>", "a&b<c>'\"50%") + "</table>\n");
    EXPECT_TRUE(WellFormed("status.xml"));

    // Control characters cannot be written in XML at all.
    status->SetText(std::string("x\x01y\tz", 5));
    EXPECT_EQ(Export("S=" + Id(COM_SYS_STATUS) + ",0\n"), kHead + Record("S", "xy\tz") + kTail);
    EXPECT_TRUE(WellFormed("status.xml"));
}

TEST_F(XmlStatusTest, LinesThatDoNotCountWriteNothing)
{
    loops->SetVisible(false);
    const std::string layout = "Hidden=" + Id(COM_SCRIPTS_LOOPS) + ",1\n" +
                               "NoCommand=" + Id(COM_SYS_SCREEN_DUMP_FILE) + ",0\n" +
                               "Beyond=9000,0\n" +
                               "NoEquals " + Id(COM_SYS_STATUS) + ",0\n" +
                               "NoComma=" + Id(COM_SYS_STATUS) + "\n" +
                               "a,b=" + Id(COM_SYS_STATUS) + "\n" +
                               "\n# comment\n" +
                               "Kept=" + Id(COM_SYS_STATUS) + ",0";
    EXPECT_EQ(Export(layout), kHead + Record("Kept", "Script") + kTail);
}

TEST_F(XmlStatusTest, LongLinesAreReadInChunksOf79)
{
    // The first 79 characters have no '=', so that chunk does not count; the
    // rest of the line does, with the label it holds.
    const std::string label(80, 'L');
    EXPECT_EQ(Export(label + "=" + Id(COM_SCRIPTS_LOOPS) + ",1\n"), kHead + Record("L", "2") + kTail);
}

TEST_F(XmlStatusTest, DateFieldFollowsTheDateOrder)
{
    // The clock stands at 2023-11-14 22:13:20 UTC; the name is case sensitive.
    const std::string layout = "INFO_DATE_DATE=" + Id(COM_SYS_STATUS) + ",0\n" +
                               "info_date_date=" + Id(COM_SYS_STATUS) + ",0\n";
    EXPECT_EQ(Export(layout), kHead + Record("INFO_DATE_DATE", "14-11-2023") + Record("info_date_date", "Script") +
                                  kTail);
    const std::string date = "INFO_DATE_DATE=" + Id(COM_SYS_STATUS) + ",0\n";
    xml.SetDateOrder(TpDateOrder::kMonthDayYear);
    EXPECT_EQ(Export(date), kHead + Record("INFO_DATE_DATE", "11-14-2023") + kTail);
    xml.SetDateOrder(TpDateOrder::kYearMonthDay);
    clock.SetWallSeconds(1700000000 + 3600 * 24 * 50);
    EXPECT_EQ(Export(date), kHead + Record("INFO_DATE_DATE", "2024-01-03") + kTail);
    status->SetVisible(false);
    EXPECT_EQ(Export(date), kHead + kTail) << "like any field it needs a visible command";
}

TEST_F(XmlStatusTest, AMissingLayoutOrUncreatableFileIsReportedAndLeavesNoTable)
{
    Export("Loops=" + Id(COM_SCRIPTS_LOOPS) + ",1\n");
    ASSERT_NE(xml.Table(), "");
    EXPECT_FALSE(xml.Write("status.xml", "nosuch.ini", *store));
    EXPECT_EQ(ReadText("status.xml"), "No config file: nosuch.ini found\n");
    EXPECT_TRUE(debug->Contains("Couldn't open config file: nosuch.ini\n"));
    EXPECT_EQ(xml.Table(), "");

    debug->Clear();
    Export("Loops=" + Id(COM_SCRIPTS_LOOPS) + ",1\n");
    EXPECT_FALSE(xml.Write("nofolder/status.xml", "layout.ini", *store));
    EXPECT_TRUE(debug->Contains("Couldn't create xml file: nofolder/status.xml\n"));
    EXPECT_EQ(xml.Table(), "");
    EXPECT_FALSE(xml.Write("nofolder/status.xml", "nosuch.ini", *store));
    EXPECT_FALSE(debug->Contains("Couldn't open config file"));

    ASSERT_TRUE(Paths::MakeDataFolders());
    WriteText(Paths::InstrumentFolder() + "/xmlformat.ini", "Loops=" + Id(COM_SCRIPTS_LOOPS) + ",1\n");
    EXPECT_TRUE(xml.Write("/mnt/mmc/status.xml", "/mnt/mmc/xmlformat.ini", *store));
    EXPECT_EQ(ReadText(Paths::InstrumentFolder() + "/status.xml"), kHead + Record("Loops", "2") + kTail);
}

} // namespace

TEST_F(XmlStatusTest, LayoutTextInMemoryGivesTheFileAndTableOfTheLayoutFile)
{
    const std::string layout = "STATUS=" + Id(COM_SYS_STATUS) + ",0\r\nLOOPS=" + Id(COM_SCRIPTS_LOOPS) +
                               ",10\nbad line\nLEVEL=" + Id(COM_GEN_AUDIO_MASTER_LEVEL) + ",1000";
    const std::string file = Export(layout);
    std::string text, table;
    xml.Format(layout, *store, text, table);
    EXPECT_EQ(text, file);
    EXPECT_EQ(table, xml.Table());
    EXPECT_EQ(text, kHead + Record("STATUS", "Script") + Record("LOOPS", "0.2") + Record("LEVEL", "1.234") + kTail);
}
