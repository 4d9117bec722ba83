// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QListView;

namespace strelkavo {

// Rows of the verb list, in pixels at the standard density.
inline constexpr int kVerbRowPixels = 15;
inline constexpr int kVerbFontPixels = 12;

// Gives the list its fixed-pitch font and rows of kVerbRowPixels, so that 17
// whole rows fill its inner height and a 46-character row its inner width,
// with every glyph whole: accents above capitals and descenders below.
void setUpVerbRows(QListView *list);

// Runs work once, as soon as the list's first rows have been drawn and put
// on the screen: work that can wait for the window to be up, and that would
// keep its first picture back if it ran before.
void afterFirstRowsDrawn(QListView *list, std::function<void()> work);

} // namespace strelkavo
