// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search.h"

#include "data/codec.h"

#include <algorithm>
#include <limits>
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

std::vector<quint32> wordListOrder(const WordList &words, const QCollator &collator)
{
    std::vector<quint32> order(size_t(words.size()));
    std::iota(order.begin(), order.end(), quint32(0));
    // Files prepared by the data tool arrive in order already; seeing that
    // takes one decoding of each word, which is far cheaper than a sort.
    bool sorted = true;
    QString previous;
    for (qsizetype i = 0; sorted && i < words.size(); ++i) {
        QString word = words.word(i);
        sorted = i == 0 || collator.compare(word, previous) >= 0;
        previous = std::move(word);
    }
    if (sorted)
        return order;
    QStringList shown;
    shown.reserve(words.size());
    for (qsizetype i = 0; i < words.size(); ++i)
        shown.append(words.word(i));
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        return collator.compare(shown.at(a), shown.at(b)) < 0;
    });
    return order;
}

namespace {

std::string_view bytes(QByteArrayView stored)
{
    return {stored.data(), size_t(stored.size())};
}

// The typed text as the beginning of stored words, or nothing when no word
// can begin so. A shown comma is always followed by a blank, which its
// stored form leaves for the decoder to put back.
std::optional<QByteArray> storedBeginning(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        kept.append(text[i]);
        if (text[i] != u',' || i + 1 == text.size())
            continue;
        if (text[i + 1] != u' ')
            return std::nullopt;
        ++i;
    }
    return XKoduj(kept);
}

} // namespace

SearchIndex::SearchIndex(const WordList &words, const std::vector<quint32> &listOrder,
                         const VerbTable &table)
{
    const qsizetype count = words.size();
    std::vector<quint32> listPosition(static_cast<size_t>(count));
    for (qsizetype position = 0; position < count; ++position)
        listPosition[listOrder[position]] = quint32(position);

    m_byBytes.resize(size_t(count));
    std::iota(m_byBytes.begin(), m_byBytes.end(), quint32(0));
    std::sort(m_byBytes.begin(), m_byBytes.end(), [&](quint32 a, quint32 b) {
        const int order = bytes(words.stored(a)).compare(bytes(words.stored(b)));
        return order < 0 || (order == 0 && a < b);
    });

    // The row of each word: every field with its row, in the same order, and
    // the two sorted sequences walked side by side. Among equal fields the
    // lowest row comes first, which is the row the walk down the table finds.
    // A field is kept as three numbers rather than a view and a row, which
    // halves what the sort holds for a moment.
    struct Field {
        quint32 offset;
        quint32 length;
        qint32 row;
    };
    const char *const base = table.stored().data();
    const auto text = [base](const Field &field) {
        return std::string_view(base + field.offset, field.length);
    };
    std::vector<Field> fields;
    fields.reserve(size_t(table.size()) * 3);
    for (qsizetype row = 0; row < table.size(); ++row)
        for (const QByteArrayView field : table.storedFields(row))
            fields.push_back({field.isEmpty() ? 0 : quint32(field.data() - base),
                              quint32(field.size()), qint32(row)});
    std::sort(fields.begin(), fields.end(), [&](const Field &a, const Field &b) {
        const int order = text(a).compare(text(b));
        return order < 0 || (order == 0 && a.row < b.row);
    });

    m_rowOfWord.assign(size_t(count), -1);
    auto field = fields.cbegin();
    for (const quint32 word : m_byBytes) {
        const std::string_view stored = bytes(words.stored(word));
        while (field != fields.cend() && text(*field) < stored)
            ++field;
        if (field != fields.cend() && text(*field) == stored)
            m_rowOfWord[listPosition[word]] = field->row;
    }

    m_minTree.assign(2 * size_t(count), 0);
    for (qsizetype k = 0; k < count; ++k)
        m_minTree[size_t(count + k)] = listPosition[m_byBytes[k]];
    for (qsizetype node = count - 1; node > 0; --node)
        m_minTree[node] = std::min(m_minTree[2 * node], m_minTree[2 * node + 1]);
}

quint32 SearchIndex::minimumListPosition(qsizetype from, qsizetype to) const
{
    const qsizetype count = qsizetype(m_byBytes.size());
    quint32 best = std::numeric_limits<quint32>::max();
    for (from += count, to += count; from < to; from /= 2, to /= 2) {
        if (from & 1)
            best = std::min(best, m_minTree[from++]);
        if (to & 1)
            best = std::min(best, m_minTree[--to]);
    }
    return best;
}

std::optional<qsizetype> SearchIndex::find(const WordList &words, QStringView loweredText) const
{
    const auto stored = storedBeginning(loweredText);
    if (!stored)
        return std::nullopt;
    const std::string_view beginning = bytes(*stored);
    const auto first = std::lower_bound(m_byBytes.begin(), m_byBytes.end(), beginning,
                                        [&](quint32 word, std::string_view text) {
                                            return bytes(words.stored(word)) < text;
                                        });
    const auto last = std::partition_point(first, m_byBytes.end(), [&](quint32 word) {
        return bytes(words.stored(word)).starts_with(beginning);
    });
    if (first == last)
        return std::nullopt;
    const quint32 target = minimumListPosition(first - m_byBytes.begin(),
                                               last - m_byBytes.begin());
    const qint32 row = m_rowOfWord[target];
    if (row < 0)
        return std::nullopt;
    return row;
}

} // namespace strelkavo
