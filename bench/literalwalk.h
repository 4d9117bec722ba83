// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The search as the user sees it, walked literally: the first word in list
// order whose first L characters equal the text, then the first row, and in
// it the first field, equal to that word; a word held by no row ends it. The
// index answers the same; this walk is measured beside it, for scale.

#include "data/datafiles.h"

#include <QStringList>
#include <QStringView>

#include <optional>

namespace strelkavo {

inline std::optional<qsizetype> literalWalk(const QStringList &words,
                                            const QList<VerbRow> &table, QStringView text)
{
    for (const QString &word : words) {
        if (QStringView(word).left(text.size()) != text)
            continue;
        for (qsizetype row = 0; row < table.size(); ++row)
            for (const QString &field : table[row])
                if (field == word)
                    return row;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace strelkavo
