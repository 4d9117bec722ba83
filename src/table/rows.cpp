// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rows.h"

namespace strelkavo {

QString f(const QString &field)
{
    if (field.size() >= kFieldWidth)
        return field;
    return field + QString(kFieldWidth - field.size(), QLatin1Char(' '));
}

QString displayRow(const VerbRow &row)
{
    QString text;
    text.reserve(1 + 3 * kFieldWidth);
    text += QLatin1Char(' ');
    for (const QString &field : row)
        text += f(field);
    return text;
}

} // namespace strelkavo
