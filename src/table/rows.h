// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "data/datafiles.h"

#include <QString>

namespace strelkavo {

// Fields are padded to this many characters so that the columns line up in a
// fixed-pitch font; a longer field is kept whole and pushes its row right.
constexpr qsizetype kFieldWidth = 15;

// The field padded on the right with blanks to kFieldWidth characters.
QString f(const QString &field);

// One blank, then the three padded fields: 46 characters for short fields.
QString displayRow(const VerbRow &row);

} // namespace strelkavo
