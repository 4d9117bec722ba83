// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace strelkavo {

inline const QString kVerbFileName = QStringLiteral("czas.dat");
inline const QString kWordFileName = QStringLiteral("czas2.dat");

// One verb: infinitive, preterite, past participle (columns 1 to 3).
using VerbRow = std::array<QString, 3>;
using VerbTable = QList<VerbRow>;

// Hands control to the event loop between units of work.
using Yield = std::function<void()>;

// A data file that could not be loaded: which file, which line and character
// (0 when the fault is not tied to one) and what is wrong, in Polish.
struct LoadError {
    QString file;
    qint64 line = 0;
    QString what;
    qint64 column = 0;

    QString message() const;
};

// Lines of the file: each ends at LF (CR LF or a lone LF); a last line without
// a line end counts too. Yields once, after the count.
std::optional<LoadError> LiczLinie(const QString &path, qint32 &count, const Yield &yield);

// Fills table rows 0..n-1 from the first n lines of the verb file; the caller
// has sized the table. Yields after every line.
std::optional<LoadError> ReadData(qint32 n, const QString &path, VerbTable &table,
                                  const Yield &yield);

// Appends every input field of the search-word file, in file order, to words.
// lineCount only reserves room: the reader goes on to the end of the file, so
// a line that holds several fields pushes no word out. Yields after every word.
std::optional<LoadError> ReadData2(qint32 lineCount, const QString &path, QStringList &words,
                                   const Yield &yield);

// The verb-line rule: field 1 up to the first "#", field 2 up to the next,
// field 3 the rest (further "#" included). Missing fields are empty.
VerbRow splitVerbLine(QStringView line);

// The search-word line rule on stored bytes: fields end at a stored comma,
// leading stored blanks are skipped, and a field opened by a stored quote runs
// to the next quote (or the end of the line), whatever follows it up to the
// next comma being dropped. An empty line is one empty field. Each field is
// reported with its 0-based offset in the line.
void splitWordLine(QByteArrayView line,
                   const std::function<void(QByteArrayView field, qsizetype offset)> &onField);

// Calls onLine for every line of data (without its line end), numbered from 1.
// Stops early when onLine returns false.
void forEachLine(QByteArrayView data,
                 const std::function<bool(QByteArrayView line, qint64 number)> &onLine);

} // namespace strelkavo
