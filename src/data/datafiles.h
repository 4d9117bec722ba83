// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace strelkavo {

inline const QString kVerbFileName = QStringLiteral("czas.dat");
inline const QString kWordFileName = QStringLiteral("czas2.dat");

// One verb: infinitive, preterite, past participle (columns 1 to 3).
using VerbRow = std::array<QString, 3>;

// Hands control to the event loop between units of work.
using Yield = std::function<void()>;

// The readers' yield in the program: a pass of the event loop only when a few
// milliseconds have gone by since the last one. A pass costs far more than
// reading a line, and so does asking the clock, which is done every few calls.
Yield eventLoopYield();

// A data file that could not be loaded: which file, which line and character
// (0 when the fault is not tied to one) and what is wrong, in Polish.
struct LoadError {
    QString file;
    qint64 line = 0;
    QString what;
    qint64 column = 0;

    QString message() const;
};

class VerbTable;
class WordList;
std::optional<LoadError> ReadData(qint32 n, const QString &path, VerbTable &table,
                                  const Yield &yield);
std::optional<LoadError> ReadData2(qint32 lineCount, const QString &path, WordList &words,
                                   const Yield &yield);

// The verb table: one row per line of the verb file, each of three fields.
// It keeps the file's stored bytes and decodes a row only when asked for it,
// so that a long list costs little more than its file until rows are shown.
class VerbTable
{
public:
    VerbTable() = default;
    // Rows 0..rows-1, every cell empty.
    explicit VerbTable(qint32 rows);

    qsizetype size() const { return m_lineStart.empty() ? 0 : qsizetype(m_lineStart.size()) - 1; }
    VerbRow row(qsizetype index) const;
    // The row's line as stored, without its line end; and that line split at
    // the stored "#" as row() splits the decoded one.
    QByteArrayView storedLine(qsizetype index) const;
    std::array<QByteArrayView, 3> storedFields(qsizetype index) const;
    // The whole file as stored, into which the lines and fields above point.
    QByteArrayView stored() const { return m_stored; }

private:
    friend std::optional<LoadError> ReadData(qint32, const QString &, VerbTable &, const Yield &);
    QByteArray m_stored;
    // Row i runs from m_lineStart[i] up to m_lineStart[i + 1], line end included.
    std::vector<quint32> m_lineStart;
};

// The search words in file order, kept as stored and decoded on demand.
class WordList
{
public:
    qsizetype size() const { return qsizetype(m_words.size()); }
    QString word(qsizetype index) const;
    QByteArrayView stored(qsizetype index) const
    {
        return QByteArrayView(m_stored).sliced(m_words[index].offset, m_words[index].length);
    }

private:
    friend std::optional<LoadError> ReadData2(qint32, const QString &, WordList &, const Yield &);
    struct Span {
        quint32 offset = 0;
        quint32 length = 0;
    };
    QByteArray m_stored;
    std::vector<Span> m_words;
};

// Lines of the file: each ends at LF (CR LF or a lone LF); a last line without
// a line end counts too. Yields once, after the count.
std::optional<LoadError> LiczLinie(const QString &path, qint32 &count, const Yield &yield);

// Fills table rows 0..n-1 from the first n lines of the verb file; the caller
// has sized the table. Yields after every line.
// Decodability is checked on every line read; the rows are decoded when used.
std::optional<LoadError> ReadData(qint32 n, const QString &path, VerbTable &table,
                                  const Yield &yield);

// Appends every input field of the search-word file, in file order, to words.
// lineCount only reserves room: the reader goes on to the end of the file, so
// a line that holds several fields pushes no word out. Yields after every word.
std::optional<LoadError> ReadData2(qint32 lineCount, const QString &path, WordList &words,
                                   const Yield &yield);

// The verb-line rule: field 1 up to the first "#", field 2 up to the next,
// field 3 the rest (further "#" included). Missing fields are empty.
VerbRow splitVerbLine(QStringView line);

// The search-word line rule on stored bytes: fields end at a stored comma,
// leading stored blanks are skipped, and a field opened by a stored quote runs
// to the next quote (or the end of the line), whatever follows it up to the
// next comma being dropped. An empty line is one empty field. Each field is
// reported with its 0-based offset in the line: onField(field, offset).
template<typename OnField>
void splitWordLine(QByteArrayView line, OnField &&onField)
{
    constexpr char kStoredComma = 0x2C;
    constexpr char kStoredQuote = 0x22;
    constexpr char kStoredBlank = 0x20;
    qsizetype pos = 0;
    for (;;) {
        while (pos < line.size() && line[pos] == kStoredBlank)
            ++pos;
        qsizetype comma;
        if (pos < line.size() && line[pos] == kStoredQuote) {
            const qsizetype close = line.indexOf(kStoredQuote, pos + 1);
            const qsizetype end = close < 0 ? line.size() : close;
            onField(line.sliced(pos + 1, end - pos - 1), pos + 1);
            comma = close < 0 ? -1 : line.indexOf(kStoredComma, close + 1);
        } else {
            comma = line.indexOf(kStoredComma, pos);
            const qsizetype end = comma < 0 ? line.size() : comma;
            onField(line.sliced(pos, end - pos), pos);
        }
        if (comma < 0)
            return;
        pos = comma + 1;
    }
}

// Calls onLine(line, number) for every line of data (without its line end),
// numbered from 1. Stops early when onLine returns false.
template<typename OnLine>
void forEachLine(QByteArrayView data, OnLine &&onLine)
{
    qint64 number = 0;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const qsizetype next = end < 0 ? data.size() : end + 1;
        if (end < 0)
            end = data.size();
        else if (end > start && data[end - 1] == '\r')
            --end;
        if (!onLine(data.sliced(start, end - start), ++number))
            return;
        start = next;
    }
}

} // namespace strelkavo
