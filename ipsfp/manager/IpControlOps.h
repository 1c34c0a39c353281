#include "core/store/Colours.h"
// Colours and boxes of the IP menu's controls, by command id: every command
// of the id's chain, through the store. Each does nothing (or gives 0) while
// there is no store. Application thread only.
#pragma once

#include <cstdint>

namespace IpControlOps {

// Colours of the IP menu: orange marks an edited value not yet written.

// Colour of the first coloured box of the id's chain, 0 when none.
uint32_t GetWidgetColour(unsigned cmdId);
// Colour of the first widget of the chain that is not an edit box.
uint32_t GetWidgetColourNotEdit(unsigned cmdId);
// Clears the edit colour of every command of the chain; an orange (edited,
// unsent) one only when forced. Edit boxes go white, others 0.
bool ClearEditColour(unsigned cmdId, bool force);
void SetColour(unsigned cmdId, uint32_t colour);
// Marks an edited value that is not yet written (orange).
inline void MarkEdited(unsigned cmdId) { SetColour(cmdId, Colour::kOrange); }
void SetBoxEnabled(unsigned cmdId, bool enabled);
// The colour of the id's first command, 0 when there is none.
uint32_t ColourOf(unsigned cmdId);

} // namespace IpControlOps
