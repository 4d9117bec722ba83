// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace strelkavo {

// The search box holds at most this many characters, typed or assigned.
constexpr int kSearchMaxLength = 10;

// The search text after a letter button: the letter goes to the end, whatever
// the caret or selection, and text past the box's limit is cut off, so a full
// box stays as it was.
QString appendLetter(const QString &text, const QString &letter,
                     int maxLength = kSearchMaxLength);

} // namespace strelkavo
