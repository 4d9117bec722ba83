// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "data/datafiles.h"
#include "table/search.h"

#include <QLocale>

#include <optional>
#include <vector>

namespace strelkavo {

// Everything the window shows and searches, read from the two data files:
// the verb table, the search words and, made on first need, the order of the
// hidden word list and the search index. Start-up reads and checks the files
// and no more, so that it does not grow with them; the rest waits until the
// window is up (prepareSearch) or a search asks for it.
class VerbData
{
public:
    // The locale orders the hidden word list, as the system's orders it in
    // the window.
    explicit VerbData(const QLocale &locale = QLocale::system());

    const VerbTable &table() const { return m_table; }
    const WordList &words() const { return m_words; }

    // Entry of the hidden word list, in its own order.
    QString listWord(qsizetype position) const;

    // The 0-based row that the lowered text selects, or nothing.
    std::optional<qsizetype> find(QStringView loweredText) const;

    // Orders the word list and builds the index now rather than at the
    // first search; both answer alike either way.
    void prepareSearch() const;

private:
    friend std::optional<LoadError> loadVerbData(const QString &, VerbData &, const Yield &);
    const std::vector<quint32> &listOrder() const;

    QLocale m_locale;
    VerbTable m_table;
    WordList m_words;
    // Made from the data above on first need, which never changes after.
    mutable std::optional<std::vector<quint32>> m_listOrder;
    mutable std::optional<SearchIndex> m_index;
};

// The program's load: counts and reads the verb file into the table and the
// search-word file into the word list, in that order, yielding as the readers
// do. On failure data is left empty and the error says which file failed,
// where and why.
std::optional<LoadError> loadVerbData(const QString &directory, VerbData &data,
                                      const Yield &yield);

} // namespace strelkavo
