#pragma once

#include "traydecoder.h"

namespace strelkavo {

// Which kind of tray the toolkit will put an icon into, decided as the
// toolkit decides it: a bus host if a StatusNotifierWatcher on the session
// bus reports a registered host, else an embedding X11 panel.
TrayKind detectTrayKind();

} // namespace strelkavo
