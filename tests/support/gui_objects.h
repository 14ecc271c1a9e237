// How many GDI and USER objects this process holds, for leak checks around repeated work.
#pragma once

namespace tolvern::test {

// GetGuiResources where the system answers it. Wine's answers 0, so there the GDI count is
// read from the process's GDI handle table (every icon holds GDI bitmaps, so an icon leak
// shows in it too).
int GdiObjectCount();
// GetGuiResources; 0 under Wine, which does not count USER objects.
int UserObjectCount();

} // namespace tolvern::test
