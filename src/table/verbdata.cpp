// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verbdata.h"

#include <QDir>

namespace strelkavo {

VerbData::VerbData(const QLocale &locale)
    : m_locale(locale)
{
}

const std::vector<quint32> &VerbData::listOrder() const
{
    if (!m_listOrder)
        m_listOrder = wordListOrder(m_words, wordListCollator(m_locale));
    return *m_listOrder;
}

QString VerbData::listWord(qsizetype position) const
{
    return m_words.word(listOrder()[position]);
}

void VerbData::prepareSearch() const
{
    if (!m_index)
        m_index = SearchIndex(m_words, listOrder(), m_table);
}

std::optional<qsizetype> VerbData::find(QStringView loweredText) const
{
    prepareSearch();
    return m_index->find(m_words, loweredText);
}

std::optional<LoadError> loadVerbData(const QString &directory, VerbData &data,
                                      const Yield &yield)
{
    const QDir dir(directory);
    const QString verbPath = dir.filePath(kVerbFileName);
    const QString wordPath = dir.filePath(kWordFileName);
    // Emptied first and filled aside: a search made in one of the yields finds
    // nothing, rather than an index of half the data that would outlive the
    // load; and nothing of a failed load stays behind.
    VerbData loaded(data.m_locale);
    data = VerbData(data.m_locale);

    qint32 rows = 0;
    if (auto error = LiczLinie(verbPath, rows, yield))
        return error;
    // Sized once, exactly, before it is read.
    loaded.m_table = VerbTable(rows);
    if (auto error = ReadData(rows, verbPath, loaded.m_table, yield))
        return error;

    qint32 wordLines = 0;
    if (auto error = LiczLinie(wordPath, wordLines, yield))
        return error;
    if (auto error = ReadData2(wordLines, wordPath, loaded.m_words, yield))
        return error;
    data = std::move(loaded);
    return std::nullopt;
}

} // namespace strelkavo
