// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "letters.h"

namespace strelkavo {

QString appendLetter(const QString &text, const QString &letter, int maxLength)
{
    return (text + letter).left(maxLength);
}

} // namespace strelkavo
