// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fuzz target: every input, written as a data file, is read by the
// program's readers, which must agree with a plain model of its lines.
// With -DSTRELKAVO_FUZZ=ON this is a libFuzzer program (scripts/fuzz);
// otherwise main() replays the checked-in corpus.

#include "data/codec.h"
#include "data/datafiles.h"

#include <QDir>
#include <QTemporaryFile>

#include <cstdint>
#include <cstdio>

// A broken property stops the run loudly in every build type: libFuzzer keeps
// the input, and the replay fails on it.
#define REQUIRE(condition)                                                                 \
    ((condition) ? void() : qFatal("fuzz.cpp:%d: property broken: %s", __LINE__, #condition))

namespace {

using namespace strelkavo;

// The file formats, written here from scratch: lines end at LF, a CR right
// before it included, and the last line needs no LF.
QList<QByteArray> modelLines(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    const QByteArray rest = lines.takeLast();
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (!rest.isEmpty())
        lines.append(rest);
    return lines;
}

// The readers on the input as a file: the line counter agrees with the model;
// the verb reader reads line after line up to the first it cannot decode,
// which its error names with the character; the word reader's error, if any,
// names a line of the file. (What they read is held to the unit tables.)
void checkReaders(const QByteArray &file)
{
    QTemporaryFile scratch;
    REQUIRE(scratch.open() && scratch.write(file) == file.size() && scratch.flush());
    const QString path = scratch.fileName();
    const QList<QByteArray> lines = modelLines(file);
    qint32 count = -1;
    int yields = 0;
    REQUIRE(!LiczLinie(path, count, [&] { ++yields; }));
    REQUIRE(count == lines.size() && yields == 1);

    VerbTable table(count);
    yields = 0;
    const auto error = ReadData(count, path, table, [&] { ++yields; });
    CodecFault fault;
    REQUIRE(error ? error->line == yields + 1 : yields == count);
    REQUIRE(!error || (!DeXKoduj(lines[yields], &fault) && error->column == fault.position));

    WordList words;
    const auto wordError = ReadData2(count, path, words, [] {});
    REQUIRE(!wordError || (wordError->line >= 1 && wordError->line <= count));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkReaders(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}

#ifndef STRELKAVO_LIBFUZZER
// Feeds every file of the corpus directory given through the target.
int main(int argc, char *argv[])
{
    const QFileInfoList files =
        argc == 2 ? QDir(QFile::decodeName(argv[1])).entryInfoList(QDir::Files) : QFileInfoList();
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: fuzz_replay CORPUS_DIRECTORY (not empty)\n");
        return 1;
    }
    for (const QFileInfo &info : files) {
        QFile file(info.filePath());
        REQUIRE(file.open(QIODevice::ReadOnly));
        checkReaders(file.readAll());
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(files.size()));
    return 0;
}
#endif
