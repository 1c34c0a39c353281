// Feeds arbitrary bytes to the script reader as the text of a ".cmd" file,
// with a scripts page whose actions resolve keywords, then formats the script
// as the writer would and reads that again. What the writer produces must read back as the same script, except
// where the format cannot carry a text: a double quote inside a text, or a
// written line longer than the reader's 999 characters.
#include "FuzzFolder.h"

#include "core/store/TpStore.h"
#include "platform/Paths.h"
#include "remote/scripts/ScriptFile.h"
#include "core/actions/TpScriptAction.h"
#include "remote/scripts/TpScripts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct World {
    World()
    {
        setenv("HOME", FuzzFolder().c_str(), 1);
        setenv("ZU_QUIET", "1", 1);
        if (!Paths::MakeDataFolders())
            std::abort();
        page = std::make_unique<TpScripts>(TpScripts::kCommandIds);
        // Actions of each shape: text and duration, text and number.
        crc = std::make_unique<TpScriptAction>("Check SDI CRC", "CHECKERRS", TpScriptAction::Descriptor{}, 1, 0, 1);
        both = std::make_unique<TpScriptAction>("Both", "CHECK_BOTH", TpScriptAction::Descriptor{}, 1, 1, 0);
    }
    TpStore store;
    std::unique_ptr<TpScripts> page;
    std::unique_ptr<TpScriptAction> crc;
    std::unique_ptr<TpScriptAction> both;
};

bool LinesFitTheReader(const std::string& text)
{
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        if (end - start > 999)
            return false;
    }
    return true;
}

bool TextsHaveNoQuotes(const ScriptFile& script)
{
    for (int i = 0; i < script.StepCount(); ++i) {
        const ScriptStep* step = script.Step(i);
        if (step->HasText() && step->text.find('"') != std::string::npos)
            return false;
    }
    return true;
}

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    ScriptFile first;
    Check(first.ReadText(std::string(reinterpret_cast<const char*>(data), size)));
    Check(first.loaded);
    const std::string written = first.Format();
    // Every line ends where the reader will end it.
    Check(written.find('\r') == std::string::npos && written.find('\0') == std::string::npos);

    ScriptFile second;
    Check(second.ReadText(written));
    if (!LinesFitTheReader(written))
        return 0;
    Check(second.StepCount() == first.StepCount());
    for (int i = 0; i < first.StepCount(); ++i) {
        Check(second.Step(i)->type == first.Step(i)->type);
        Check(second.Step(i)->number == first.Step(i)->number);
    }
    Check(second.loopForever == first.loopForever && second.loopCount == first.loopCount);
    Check(second.report == first.report && second.stopOnError == first.stopOnError);
    Check(second.archiveName == first.archiveName);
    if (TextsHaveNoQuotes(first))
        Check(second.Format() == written);
    return 0;
}
