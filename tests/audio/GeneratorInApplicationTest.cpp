// The audio generator inside the application: clients set it, the analyser hears it, output gains survive a restart.
#include "app/AppTest.h"
#include "AudGenTest.h"

#include "analysis/TpAnalyser.h"
#include "sim/KeyMailbox.h"

namespace {

class GeneratorInApplication : public AppTest {
protected:
    GeneratorInApplication() { InstallAudioResetHook(); }
    void SetUp() override
    {
        AppTest::SetUp();
        if (TpAnalyser::Instance() == nullptr)
            ownAnalyser = std::make_unique<TpAnalyser>();
        analyser = TpAnalyser::Instance();
    }
    void TearDown() override
    {
        AppTest::TearDown();
        ownAnalyser.reset();
    }

    // A remote "set value" request; true when it was answered as done.
    bool SetRemote(unsigned id, int32_t value)
    {
        const Reply r = Request(StoreType::kSetValue, static_cast<uint16_t>(id), 0, static_cast<uint32_t>(value));
        return r.answered && r.header.type == ReplyType::kOk;
    }

    std::unique_ptr<TpAnalyser> ownAnalyser;
    TpAnalyser* analyser = nullptr;
};

} // namespace

TEST_F(GeneratorInApplication, AnalyserHearsLevelsAndOutputs)
{
    ASSERT_NE(TpAudGenerator::Instance(), nullptr);
    EXPECT_TRUE(app->Store().GetCmd(COM_GEN_AUDIO_AES_OUT_SOURCE)->GetItemEnabled(TpAudioPair::kDolby))
        << "the Dolby generator can make a stream";
    ASSERT_TRUE(SetRemote(GroupId(0), 1));
    ASSERT_TRUE(SetRemote(SourceId(0, 0), 3));
    ASSERT_TRUE(SetRemote(LevelId(0, 0), -6));
    ASSERT_TRUE(SetRemote(InvertId(0, 0), 1));
    const TpMonParent::Dest& level = analyser->Meters().GetDest(0);
    EXPECT_NEAR(level.level, -Linear(-6), 1e-9);
    EXPECT_EQ(level.flags, 0x140u);

    ASSERT_TRUE(SetRemote(COM_GEN_AUDIO_AES_OUT_SOURCE, 2));
    const TpMonParent::OutputParams& out = analyser->Phones().GetOutputParams();
    EXPECT_EQ(out.left, 0x140);
    EXPECT_NEAR(out.leftGain, -Linear(-6), 1e-9);
}

TEST_F(GeneratorInApplication, OutputGainsSurviveARestart)
{
    ASSERT_TRUE(SetRemote(COM_GEN_AUDIO_OUT_GAIN_LEFT, 4));
    ASSERT_TRUE(SetRemote(COM_GEN_AUDIO_OUT_GAIN_RIGHT, -2));
    EXPECT_FALSE(app->ServiceKeysHeld());

    app.reset();
    EXPECT_NE(ReadText("system.cfg").find("audoutgainleft=4"), std::string::npos);
    // Menu keys 1 and 8 held at power-on: service mode.
    SimKeyMailbox().Press(1);
    SimKeyMailbox().Press(8);
    app = std::make_unique<TpZuApplication>();
    SimKeyMailbox().Reset();
    EXPECT_TRUE(app->ServiceKeysHeld());
    EXPECT_EQ(Request(StoreType::kGetValue, COM_GEN_AUDIO_OUT_GAIN_LEFT).header.value, 4u);
    EXPECT_EQ(static_cast<int32_t>(Request(StoreType::kGetValue, COM_GEN_AUDIO_OUT_GAIN_RIGHT).header.value), -2);
}
