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

// The same order for the words of a file: entry i of the list is word
// result[i] of the file.
std::vector<quint32> wordListOrder(const WordList &words, const QCollator &collator);

// Answers, for any lowered search text, the row that a plain walk would find:
// the first word in list order that begins with the text, then the first row
// (and within it the first field) that equals that word. A word that no row
// holds ends the search there, without trying later words.
//
// The walk costs time in proportion to the files on every keystroke; this
// index answers from two binary searches and a range-minimum lookup. Words
// sharing a beginning are contiguous in the order of their stored bytes, and
// the earliest of them in list order is the minimum of their list positions.
// Decoding maps every stored string to its own shown one, so the typed text
// is compared in stored form and no word is ever decoded.
class SearchIndex
{
public:
    SearchIndex() = default;
    SearchIndex(const WordList &words, const std::vector<quint32> &listOrder,
                const VerbTable &table);

    // 0-based display row, or nothing when the selection is to stay as it is.
    std::optional<qsizetype> find(const WordList &words, QStringView loweredText) const;

private:
    quint32 minimumListPosition(qsizetype from, qsizetype to) const;

    std::vector<quint32> m_byBytes;  // file positions of the words, in stored-byte order
    std::vector<quint32> m_minTree;  // list positions: a segment tree over m_byBytes
    std::vector<qint32> m_rowOfWord; // per list position; -1 when no row holds it
};

} // namespace strelkavo
