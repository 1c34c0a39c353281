// Dialog definitions from arbitrary bytes: the reader must report what it
// cannot understand and never read past the end; whatever it accepts must
// build, open and draw.
#include "core/text/TextTable.h"
#include "core/store/TpStore.h"
#include "sim/LcdFrame.h"
#include "ui/dialogs/TpDialogFile.h"
#include "ui/dialogs/TpDialogList.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    TpCommandNames names;
    names.Add("COM_MAIN_TAB_SELECT", 2);
    names.Add("COM_CHECK_NO", 1042);
    const TpDialogFileData parsed = TpDialogFile::Parse(text, names);
    for (const TpDialogFileError& e : parsed.errors)
        if (e.line <= 0)
            __builtin_trap();

    // One store and frame for all runs: each run's widgets leave the store's
    // chains when its dialog list goes.
    static LcdFrame frame;
    static TpStore store;
    TpDialogList list(frame);
    list.LoadText(text, "fuzz");
    // A few windows at once keep the runs quick.
    for (size_t i = 0; i < parsed.dialogs.size() && i < 4; ++i)
        ShowDialog(parsed.dialogs[i].name, 1);
    for (uint16_t key : {9, 13, 10, 11, 12, 14, 8})
        list.RouteKey(static_cast<uint16_t>(key | 0x8000));
    if (!parsed.dialogs.empty())
        list.RedrawChanged();
    SetTextTable({});
    return 0;
}
