// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search.h"


#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

namespace strelkavo {

QLocale wordFileLocale()
{
    return QLocale(QLocale::German, QLocale::Germany);
}

QCollator wordListCollator(const QLocale &locale)
{
    QCollator collator(locale.language() == QLocale::C ? wordFileLocale() : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

void sortWordList(QStringList &words, const QCollator &collator)
{
    const auto before = [&](const QString &a, const QString &b) {
        return collator.compare(a, b) < 0;
    };
    // Files prepared by the data tool arrive in order already; one pass to
    // see that is far cheaper than sorting them again.
    if (std::is_sorted(words.cbegin(), words.cend(), before))
        return;
    std::stable_sort(words.begin(), words.end(), before);
}

namespace {

// The search compares exactly, character by character: code-point order.
std::u16string_view codePoints(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}

} // namespace

SearchIndex::SearchIndex(const QStringList &wordsInListOrder, const VerbTable &table)
    : m_words(wordsInListOrder)
{
    const qsizetype count = m_words.size();

    m_byCodePoint.resize(count);
    std::iota(m_byCodePoint.begin(), m_byCodePoint.end(), qsizetype(0));
    std::sort(m_byCodePoint.begin(), m_byCodePoint.end(), [this](qsizetype a, qsizetype b) {
        const int order = codePoints(m_words.at(a)).compare(codePoints(m_words.at(b)));
        return order < 0 || (order == 0 && a < b);
    });

    // The row of each word: every field with its row, in the same order, and
    // the two sorted sequences walked side by side. Among equal fields the
    // lowest row comes first, which is the row the walk down the table finds.
    std::vector<std::pair<std::u16string_view, qsizetype>> fields;
    fields.reserve(size_t(table.size()) * 3);
    for (qsizetype row = 0; row < table.size(); ++row)
        for (const QString &field : table.at(row))
            fields.emplace_back(codePoints(field), row);
    std::sort(fields.begin(), fields.end());

    m_rowOfWord.assign(count, -1);
    auto field = fields.cbegin();
    for (const qsizetype word : m_byCodePoint) {
        const std::u16string_view text = codePoints(m_words.at(word));
        while (field != fields.cend() && field->first < text)
            ++field;
        if (field != fields.cend() && field->first == text)
            m_rowOfWord[word] = field->second;
    }

    m_minTree.assign(2 * count, 0);
    std::copy(m_byCodePoint.begin(), m_byCodePoint.end(), m_minTree.begin() + count);
    for (qsizetype node = count - 1; node > 0; --node)
        m_minTree[node] = std::min(m_minTree[2 * node], m_minTree[2 * node + 1]);
}

qsizetype SearchIndex::minimumListPosition(qsizetype from, qsizetype to) const
{
    const qsizetype count = qsizetype(m_byCodePoint.size());
    qsizetype best = count;
    for (from += count, to += count; from < to; from /= 2, to /= 2) {
        if (from & 1)
            best = std::min(best, m_minTree[from++]);
        if (to & 1)
            best = std::min(best, m_minTree[--to]);
    }
    return best;
}

std::optional<qsizetype> SearchIndex::find(QStringView loweredText) const
{
    const auto first = std::lower_bound(m_byCodePoint.begin(), m_byCodePoint.end(), loweredText,
                                        [this](qsizetype word, QStringView text) {
                                            return QStringView(m_words[word]).compare(text) < 0;
                                        });
    const auto last = std::partition_point(first, m_byCodePoint.end(), [&](qsizetype word) {
        // Not startsWith: a null word does not start with a non-null empty text.
        return QStringView(m_words[word]).left(loweredText.size()) == loweredText;
    });
    if (first == last)
        return std::nullopt;
    const qsizetype target = minimumListPosition(first - m_byCodePoint.begin(),
                                                 last - m_byCodePoint.begin());
    const qsizetype row = m_rowOfWord[target];
    if (row < 0)
        return std::nullopt;
    return row;
}

} // namespace strelkavo
