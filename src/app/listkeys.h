// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QAbstractItemView;

namespace strelkavo {

// Until a row of the view is selected, Down, Up and Home select its first row.
//
// A view that gets the focus with no current row makes its first row current
// without selecting it, and the arrow keys move on from the current row: the
// user's first Down would select the second row, and Home would select
// nothing new at all.
void selectFirstRowOnFirstKey(QAbstractItemView *view);

} // namespace strelkavo
