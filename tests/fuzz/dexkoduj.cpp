// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// DeXKoduj on arbitrary stored bytes.
//
// The decoder either maps every byte or names the first byte it cannot map.
// Bytes from 0xF8 up overflow the code page; five codes of Windows-1250 hold
// no character (0x81, 0x83, 0x88, 0x90, 0x98), so the bytes 8 below them fail
// too. Everything else must decode, one character per byte, with a blank
// after every comma, and encode back to the very same bytes.

#include "fuzz_support.h"

#include "data/codec.h"

#include <QByteArrayView>

namespace {

bool undecodable(std::uint8_t byte)
{
    const int code = byte + 8;
    return code > 255 || code == 0x81 || code == 0x83 || code == 0x88 || code == 0x90
        || code == 0x98;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace strelkavo;
    const QByteArrayView stored(data, qsizetype(size));

    qsizetype firstBad = -1;
    for (std::size_t i = 0; i < size && firstBad < 0; ++i)
        if (undecodable(data[i]))
            firstBad = qsizetype(i);

    CodecFault fault;
    const auto shown = DeXKoduj(stored, &fault);
    if (firstBad >= 0) {
        FUZZ_REQUIRE(!shown);
        FUZZ_REQUIRE(fault.position == firstBad + 1);
        FUZZ_REQUIRE(!fault.what.isEmpty());
        return 0;
    }
    FUZZ_REQUIRE(shown.has_value());

    // Walk the output against the input: one character per byte, ASCII codes
    // shifted by exactly 8, and a blank inserted after each comma only.
    QString withoutInsertedBlanks;
    qsizetype at = 0;
    for (std::size_t i = 0; i < size; ++i) {
        FUZZ_REQUIRE(at < shown->size());
        const QChar ch = shown->at(at++);
        const int code = data[i] + 8;
        if (code < 0x80)
            FUZZ_REQUIRE(ch.unicode() == code);
        else
            FUZZ_REQUIRE(ch.unicode() >= 0x80);
        withoutInsertedBlanks.append(ch);
        if (ch == u',') {
            FUZZ_REQUIRE(at < shown->size() && shown->at(at) == u' ');
            ++at;
        }
    }
    FUZZ_REQUIRE(at == shown->size());

    // The code page is one-to-one on the characters it defines.
    const auto back = XKoduj(withoutInsertedBlanks);
    FUZZ_REQUIRE(back.has_value());
    FUZZ_REQUIRE(QByteArrayView(*back) == stored);
    return 0;
}
