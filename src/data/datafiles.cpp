// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datafiles.h"

#include "codec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>

namespace strelkavo {
namespace {

constexpr char kStoredHash = 0x1B;

std::optional<LoadError> openForReading(QFile &file, QIODevice::OpenMode mode = {})
{
    const QString path = file.fileName();
    const QFileInfo info(path);
    if (!info.exists())
        return LoadError{path, 0, QStringLiteral("plik nie istnieje")};
    if (info.isDir())
        return LoadError{path, 0, QStringLiteral("w miejscu pliku jest katalog")};
    if (!file.open(QIODevice::ReadOnly | mode)) {
        const bool denied = file.error() == QFileDevice::OpenError && !info.isReadable();
        return LoadError{path, 0,
                         denied ? QStringLiteral("brak uprawnień do odczytu pliku")
                                : QStringLiteral("nie można otworzyć pliku (%1)")
                                      .arg(file.errorString())};
    }
    return std::nullopt;
}

LoadError readFailed(const QFile &file)
{
    return LoadError{file.fileName(), 0,
                     QStringLiteral("błąd odczytu pliku (%1)").arg(file.errorString())};
}

// The whole file in one read: the files are read front to back, and the file
// is closed again before anything else is opened.
std::optional<LoadError> readWholeFile(const QString &path, QByteArray &data)
{
    QFile file(path);
    if (auto error = openForReading(file))
        return error;
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return readFailed(file);
    // Rows and words are kept as 32-bit places in the file's bytes.
    if (data.size() > std::numeric_limits<quint32>::max())
        return LoadError{path, 0, QStringLiteral("plik jest większy niż 4 GiB")};
    return std::nullopt;
}

// A line as forEachLine gives it, from the line with its line end.
QByteArrayView withoutLineEnd(QByteArrayView line)
{
    if (!line.endsWith('\n'))
        return line;
    line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

LoadError undecodable(const QString &path, qint64 line, const CodecFault &fault)
{
    return LoadError{path, line, fault.what, fault.position};
}

} // namespace

QString LoadError::message() const
{
    // One arg() for all the parts: a chained arg() would read a "%1" in the
    // path as a place for the next part.
    if (line > 0 && column > 0)
        return QStringLiteral("Nie można wczytać pliku „%1”, wiersz %2, znak %3: %4.")
            .arg(file, QString::number(line), QString::number(column), what);
    if (line > 0)
        return QStringLiteral("Nie można wczytać pliku „%1”, wiersz %2: %3.")
            .arg(file, QString::number(line), what);
    return QStringLiteral("Nie można wczytać pliku „%1”: %2.").arg(file, what);
}

std::optional<LoadError> LiczLinie(const QString &path, qint32 &count, const Yield &yield)
{
    // Counted a piece at a time: the file is read again right after, and
    // holding all of it twice would only cost memory.
    QFile file(path);
    if (auto error = openForReading(file, QIODevice::Unbuffered))
        return error;
    std::vector<char> piece(1 << 16);
    qint64 lines = 0;
    char last = '\n';
    for (;;) {
        const qint64 got = file.read(piece.data(), qint64(piece.size()));
        if (got < 0)
            return readFailed(file);
        if (got == 0)
            break;
        const char *end = piece.data() + got;
        for (const char *at = piece.data();
             (at = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at))));
             ++at)
            ++lines;
        last = end[-1];
    }
    if (last != '\n')
        ++lines;
    if (lines > std::numeric_limits<qint32>::max())
        return LoadError{path, 0, QStringLiteral("plik ma więcej wierszy, niż program obsługuje")};
    count = qint32(lines);
    yield();
    return std::nullopt;
}

VerbRow splitVerbLine(QStringView line)
{
    VerbRow row;
    const qsizetype p1 = line.indexOf(u'#');
    if (p1 < 0) {
        row[0] = line.toString();
        return row;
    }
    row[0] = line.first(p1).toString();
    const qsizetype p2 = line.indexOf(u'#', p1 + 1);
    if (p2 < 0) {
        row[1] = line.sliced(p1 + 1).toString();
        return row;
    }
    row[1] = line.sliced(p1 + 1, p2 - p1 - 1).toString();
    row[2] = line.sliced(p2 + 1).toString();
    return row;
}

VerbTable::VerbTable(qint32 rows)
    : m_lineStart(size_t(std::max(rows, 0)) + 1, 0)
{
}

QByteArrayView VerbTable::storedLine(qsizetype index) const
{
    const quint32 start = m_lineStart[index];
    return withoutLineEnd(QByteArrayView(m_stored).sliced(start, m_lineStart[index + 1] - start));
}

VerbRow VerbTable::row(qsizetype index) const
{
    // Every line was checked as it was read.
    return splitVerbLine(DeXKoduj(storedLine(index)).value_or(QString()));
}

std::array<QByteArrayView, 3> VerbTable::storedFields(qsizetype index) const
{
    const QByteArrayView line = storedLine(index);
    std::array<QByteArrayView, 3> fields;
    const qsizetype p1 = line.indexOf(kStoredHash);
    if (p1 < 0) {
        fields[0] = line;
        return fields;
    }
    fields[0] = line.first(p1);
    const qsizetype p2 = line.indexOf(kStoredHash, p1 + 1);
    if (p2 < 0) {
        fields[1] = line.sliced(p1 + 1);
        return fields;
    }
    fields[1] = line.sliced(p1 + 1, p2 - p1 - 1);
    fields[2] = line.sliced(p2 + 1);
    return fields;
}

QString WordList::word(qsizetype index) const
{
    return DeXKoduj(stored(index)).value_or(QString());
}

Yield eventLoopYield()
{
    constexpr int kCallsPerLook = 64;
    constexpr qint64 kPatienceNs = 4'000'000;
    return [calls = kCallsPerLook - 1, sinceLastPass = QElapsedTimer()]() mutable {
        if (++calls < kCallsPerLook)
            return;
        calls = 0;
        if (sinceLastPass.isValid() && sinceLastPass.nsecsElapsed() < kPatienceNs)
            return;
        QCoreApplication::processEvents();
        sinceLastPass.start();
    };
}

std::optional<LoadError> ReadData(qint32 n, const QString &path, VerbTable &table,
                                  const Yield &yield)
{
    QByteArray data;
    if (auto error = readWholeFile(path, data))
        return error;
    const qsizetype rows = std::min<qsizetype>(n, table.size());
    qsizetype start = 0;
    qsizetype filled = 0;
    std::optional<LoadError> error;
    for (; filled < rows && start < data.size(); ++filled) {
        const qsizetype end = data.indexOf('\n', start);
        const qsizetype next = end < 0 ? data.size() : end + 1;
        const QByteArrayView line = withoutLineEnd(QByteArrayView(data).sliced(start, next - start));
        if (firstUndecodable(line) >= 0) {
            CodecFault fault;
            DeXKoduj(line, &fault);
            error = undecodable(path, filled + 1, fault);
            break;
        }
        table.m_lineStart[filled] = quint32(start);
        start = next;
        yield();
    }
    std::fill(table.m_lineStart.begin() + filled, table.m_lineStart.end(), quint32(start));
    table.m_stored = data;
    if (!error && filled < n)
        error = LoadError{path, filled + 1,
                          QStringLiteral("plik skończył się wcześniej, niż wynikało z liczby "
                                         "wierszy (czy zmienił się w trakcie wczytywania?)")};
    return error;
}

std::optional<LoadError> ReadData2(qint32 lineCount, const QString &path, WordList &words,
                                   const Yield &yield)
{
    QByteArray data;
    if (auto error = readWholeFile(path, data))
        return error;
    const qsizetype base = words.m_stored.size();
    if (base + data.size() > std::numeric_limits<quint32>::max())
        return LoadError{path, 0, QStringLiteral("słów jest razem więcej niż 4 GiB")};
    const size_t before = words.m_words.size();
    words.m_words.reserve(before + size_t(std::max(lineCount, 0)));
    std::optional<LoadError> error;
    qint64 number = 0;
    const auto onField = [&](QByteArrayView field, qsizetype offset) {
        if (error)
            return;
        if (firstUndecodable(field) >= 0) {
            CodecFault fault;
            DeXKoduj(field, &fault);
            fault.position += offset;
            error = undecodable(path, number, fault);
            return;
        }
        const qsizetype at = base + (field.data() - data.constData());
        words.m_words.push_back({quint32(at), quint32(field.size())});
        yield();
    };
    forEachLine(data, [&](QByteArrayView line, qint64 lineNumber) {
        number = lineNumber;
        splitWordLine(line, onField);
        return !error;
    });
    if (error)
        words.m_words.resize(before);
    else
        words.m_stored += data;
    return error;
}

} // namespace strelkavo
