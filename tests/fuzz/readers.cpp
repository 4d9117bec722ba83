// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Both data file readers on arbitrary file contents.
//
// The bytes go to a file, which LiczLinie, ReadData and ReadData2 then read
// as the program would. Their results are checked against a plain model of
// the file formats written here from scratch: lines end at LF (a CR right
// before the LF belongs to the line end), the verb line splits at its first
// two "#", and the word line is read field by field, character by character.

#include "fuzz_support.h"

#include "data/codec.h"
#include "data/datafiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>

#include <unistd.h>

namespace {

using namespace strelkavo;

QList<QByteArray> modelLines(const QByteArray &file)
{
    QList<QByteArray> lines;
    QByteArray current;
    bool open = false;
    for (const char byte : file) {
        open = true;
        if (byte == '\n') {
            if (current.endsWith('\r'))
                current.chop(1);
            lines.append(current);
            current.clear();
            open = false;
        } else {
            current.append(byte);
        }
    }
    if (open)
        lines.append(current);
    return lines;
}

VerbRow modelVerbRow(const QString &line)
{
    VerbRow row;
    int field = 0;
    for (const QChar ch : line) {
        if (ch == u'#' && field < 2)
            ++field;
        else
            row[field].append(ch);
    }
    return row;
}

struct WordField {
    QByteArray bytes;
    qsizetype offset = 0;
};

// Stored bytes: 0x2C ends a field, 0x22 quotes one, 0x20 is skipped before one.
QList<WordField> modelWordFields(const QByteArray &line)
{
    enum class State { Before, Plain, Quoted, AfterQuote };
    QList<WordField> fields;
    WordField field;
    State state = State::Before;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char byte = line[i];
        switch (state) {
        case State::Before:
            if (byte == 0x20)
                break;
            if (byte == 0x2C) {
                fields.append({QByteArray(), i});
                break;
            }
            if (byte == 0x22) {
                field = {QByteArray(), i + 1};
                state = State::Quoted;
                break;
            }
            field = {QByteArray(1, byte), i};
            state = State::Plain;
            break;
        case State::Plain:
            if (byte == 0x2C) {
                fields.append(field);
                state = State::Before;
            } else {
                field.bytes.append(byte);
            }
            break;
        case State::Quoted:
            if (byte == 0x22) {
                fields.append(field);
                state = State::AfterQuote;
            } else {
                field.bytes.append(byte);
            }
            break;
        case State::AfterQuote:
            if (byte == 0x2C)
                state = State::Before;
            break;
        }
    }
    switch (state) {
    case State::Before:
        fields.append({QByteArray(), line.size()});
        break;
    case State::Plain:
    case State::Quoted:
        fields.append(field);
        break;
    case State::AfterQuote:
        break;
    }
    return fields;
}

const QString &scratchPath()
{
    static const QString path = QDir::temp().filePath(
        QStringLiteral("strelkavo-fuzz-readers-%1.dat").arg(qint64(::getpid())));
    return path;
}

struct RemoveScratch {
    ~RemoveScratch() { QFile::remove(scratchPath()); }
} removeScratch;

void checkVerbReader(const QString &path, const QList<QByteArray> &lines, qint32 n)
{
    VerbTable table(n);
    qint64 yields = 0;
    const auto error = ReadData(n, path, table, [&] { ++yields; });

    for (qint32 i = 0; i < n; ++i) {
        if (i >= lines.size()) {
            FUZZ_REQUIRE(error && error->line == i + 1);
            FUZZ_REQUIRE(yields == i);
            return;
        }
        CodecFault fault;
        const auto shown = DeXKoduj(lines[i], &fault);
        if (!shown) {
            FUZZ_REQUIRE(error && error->line == i + 1 && error->column == fault.position);
            FUZZ_REQUIRE(error->file == path && !error->message().isEmpty());
            FUZZ_REQUIRE(yields == i);
            return;
        }
        FUZZ_REQUIRE(table[i] == modelVerbRow(*shown));
        FUZZ_REQUIRE(splitVerbLine(*shown) == table[i]);
    }
    FUZZ_REQUIRE(!error);
    FUZZ_REQUIRE(yields == n);
}

void checkWordReader(const QString &path, const QList<QByteArray> &lines)
{
    QStringList words;
    qint64 yields = 0;
    const auto error = ReadData2(qint32(lines.size()), path, words, [&] { ++yields; });

    QStringList expected;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        for (const WordField &field : modelWordFields(lines[i])) {
            CodecFault fault;
            const auto word = DeXKoduj(field.bytes, &fault);
            if (!word) {
                FUZZ_REQUIRE(error && error->line == i + 1);
                FUZZ_REQUIRE(error->column == field.offset + fault.position);
                FUZZ_REQUIRE(words == expected);
                FUZZ_REQUIRE(yields == expected.size());
                return;
            }
            expected.append(*word);
        }
    }
    FUZZ_REQUIRE(!error);
    FUZZ_REQUIRE(words == expected);
    FUZZ_REQUIRE(yields == expected.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString &path = scratchPath();
    {
        QFile out(path);
        FUZZ_REQUIRE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_REQUIRE(out.write(file) == file.size());
    }
    const QList<QByteArray> lines = modelLines(file);

    qint32 count = -1;
    qint64 yields = 0;
    FUZZ_REQUIRE(!LiczLinie(path, count, [&] { ++yields; }));
    FUZZ_REQUIRE(count == lines.size());
    FUZZ_REQUIRE(yields == 1);

    // The whole file, a part of it, and one line more than it has.
    checkVerbReader(path, lines, count);
    checkVerbReader(path, lines, count / 2);
    checkVerbReader(path, lines, count + 1);

    checkWordReader(path, lines);
    return 0;
}
