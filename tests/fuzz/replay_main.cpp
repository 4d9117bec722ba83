// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Replays the checked-in corpus of every fuzz target through the target's
// own entry point, so that an input that once found a fault, or that reaches
// a corner worth keeping, is tried again by every ordinary test run.
//
//   fuzz_replay CORPUS_ROOT      CORPUS_ROOT/<target>/* for every target

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>

#define STRELKAVO_FUZZ_TARGET(name)                                                        \
    extern "C" int strelkavoFuzz_##name(const std::uint8_t *data, std::size_t size);
#include "fuzz_targets.inc"
#undef STRELKAVO_FUZZ_TARGET

namespace {

using Entry = int (*)(const std::uint8_t *, std::size_t);

const std::map<QString, Entry> &targets()
{
    static const std::map<QString, Entry> all = {
#define STRELKAVO_FUZZ_TARGET(name) {QStringLiteral(#name), &strelkavoFuzz_##name},
#include "fuzz_targets.inc"
#undef STRELKAVO_FUZZ_TARGET
    };
    return all;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "fuzz_replay: %s\n", qUtf8Printable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        return fail(QStringLiteral("usage: fuzz_replay CORPUS_ROOT"));
    const QDir root(QFile::decodeName(argv[1]));
    if (!root.exists())
        return fail(QStringLiteral("no corpus at %1").arg(root.path()));

    // A corpus nobody replays, or a target with nothing to replay, would make
    // this test pass without testing anything.
    const QStringList dirs = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &dir : dirs)
        if (!targets().count(dir))
            return fail(QStringLiteral("corpus %1 belongs to no target").arg(dir));

    for (const auto &[name, entry] : targets()) {
        const QDir corpus(root.filePath(name));
        const QFileInfoList files = corpus.entryInfoList(QDir::Files, QDir::Name);
        if (files.isEmpty())
            return fail(QStringLiteral("no corpus files for target %1").arg(name));
        for (const QFileInfo &info : files) {
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly))
                return fail(QStringLiteral("%1: %2").arg(info.filePath(), file.errorString()));
            const QByteArray bytes = file.readAll();
            std::fprintf(stderr, "%s %s\n", qUtf8Printable(name), qUtf8Printable(info.fileName()));
            entry(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                  std::size_t(bytes.size()));
        }
        std::printf("%s: %lld inputs replayed\n", qUtf8Printable(name),
                    static_cast<long long>(files.size()));
    }
    return 0;
}
