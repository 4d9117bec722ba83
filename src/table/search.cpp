#include "search.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace strelkavo {

QCollator wordListCollator(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

void sortWordList(QStringList &words, const QCollator &collator)
{
    std::stable_sort(words.begin(), words.end(), [&](const QString &a, const QString &b) {
        return collator.compare(a, b) < 0;
    });
}

SearchIndex::SearchIndex(const QStringList &wordsInListOrder, const VerbTable &table)
    : m_words(wordsInListOrder)
{
    const qsizetype count = m_words.size();

    QHash<QStringView, qsizetype> firstRow;
    firstRow.reserve(table.size() * 3);
    for (qsizetype row = 0; row < table.size(); ++row)
        for (const QString &field : table[row])
            if (!firstRow.contains(field))
                firstRow.insert(field, row);
    m_rowOfWord.resize(count);
    for (qsizetype i = 0; i < count; ++i)
        m_rowOfWord[i] = firstRow.value(QStringView(m_words[i]), -1);

    m_byCodePoint.resize(count);
    std::iota(m_byCodePoint.begin(), m_byCodePoint.end(), qsizetype(0));
    std::stable_sort(m_byCodePoint.begin(), m_byCodePoint.end(), [this](qsizetype a, qsizetype b) {
        return QStringView(m_words[a]).compare(m_words[b]) < 0;
    });

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
