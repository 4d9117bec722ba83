// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>
#include <QImage>

namespace strelkavo {

// The tricolour, black over red over yellow with a black outline, drawn pixel
// for pixel at its two native sizes (16 and 32). Every other size is one of
// those scaled without smoothing, so the blocks stay sharp.
QImage iconImage(int size);

// The sizes a title bar or a tray asks for, for the window and the tray.
QIcon appIcon();

// The sizes written as separate files for the desktop's icon theme.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

} // namespace strelkavo
