// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "data/datafiles.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>

#include <optional>
#include <vector>

namespace strelkavo {

// The locale whose order the data tool writes the search words in: a German
// reader's, with "ä" beside "a" and "ß" beside "ss".
QLocale wordFileLocale();

// The order in which the hidden word list keeps its entries: locale-aware and
// blind to case. Equal entries keep the order in which they were added. The C
// and POSIX locales have no collation, only code points, which would put "ä"
// and "ß" after "z"; under them the list keeps the word file's order instead.
QCollator wordListCollator(const QLocale &locale);
void sortWordList(QStringList &words, const QCollator &collator);

// Answers, for any lowered search text, the row that a plain walk would find:
// the first word in list order that begins with the text, then the first row
// (and within it the first field) that equals that word. A word that no row
// holds ends the search there, without trying later words.
//
// The walk costs time in proportion to the files on every keystroke; this
// index answers from two binary searches and a range-minimum lookup. Words
// sharing a prefix are contiguous in code-point order, and the earliest of
// them in list order is the minimum of their list positions.
class SearchIndex
{
public:
    SearchIndex() = default;
    SearchIndex(const QStringList &wordsInListOrder, const VerbTable &table);

    // 0-based display row, or nothing when the selection is to stay as it is.
    std::optional<qsizetype> find(QStringView loweredText) const;

    bool isEmpty() const { return m_words.isEmpty(); }

private:
    qsizetype minimumListPosition(qsizetype from, qsizetype to) const;

    QStringList m_words;                 // list order
    std::vector<qsizetype> m_byCodePoint; // list positions, sorted by code point
    std::vector<qsizetype> m_minTree;    // segment tree over m_byCodePoint
    std::vector<qsizetype> m_rowOfWord;  // per list position; -1 when no row holds it
};

} // namespace strelkavo
