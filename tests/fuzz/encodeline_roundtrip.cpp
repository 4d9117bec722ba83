// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// encodeLine and encodeWord followed by the program's readers.
//
// These encoders prepare the data files, so whatever they accept must come
// back exactly: a line through the line splitting and DeXKoduj, a word
// through the word reader's field splitting and DeXKoduj as one field.

#include "fuzz_support.h"

#include "data/codec.h"
#include "data/datafiles.h"
#include "data/storedtext.h"

#include <QByteArray>
#include <QList>

namespace {

bool commasAreFollowedByBlanks(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u',' && (i + 1 >= text.size() || text[i + 1] != u' '))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace strelkavo;
    const QString text = fuzz::textFromBytes(data, size);

    CodecFault fault;
    const auto line = encodeLine(text, &fault);
    if (!line) {
        FUZZ_REQUIRE(fault.position >= 1 && fault.position <= text.size());
        FUZZ_REQUIRE(!fault.what.isEmpty());
        FUZZ_REQUIRE(!encodeWord(text));
    } else {
        FUZZ_REQUIRE(commasAreFollowedByBlanks(text));
        FUZZ_REQUIRE(!line->contains('\n') && !line->contains('\r'));

        // Written as a file line and read back the way the verb reader does.
        const QByteArray file = *line + "\r\n";
        QList<QByteArray> lines;
        forEachLine(file, [&](QByteArrayView bytes, qint64) {
            lines.append(bytes.toByteArray());
            return true;
        });
        FUZZ_REQUIRE(lines.size() == 1 && lines[0] == *line);
        const auto shown = DeXKoduj(lines[0]);
        FUZZ_REQUIRE(shown.has_value() && *shown == text);
    }

    fault = {};
    const auto word = encodeWord(text, &fault);
    if (!word) {
        FUZZ_REQUIRE(fault.position >= 1 && fault.position <= text.size());
        return 0;
    }
    FUZZ_REQUIRE(line.has_value() && *word == *line);
    FUZZ_REQUIRE(!text.contains(u'4') && !text.contains(u'*') && !text.startsWith(u'('));
    QList<QByteArray> fields;
    splitWordLine(*word, [&](QByteArrayView field, qsizetype offset) {
        FUZZ_REQUIRE(offset == 0);
        fields.append(field.toByteArray());
    });
    FUZZ_REQUIRE(fields.size() == 1 && fields[0] == *word);
    const auto shown = DeXKoduj(fields[0]);
    FUZZ_REQUIRE(shown.has_value() && *shown == text);
    return 0;
}
