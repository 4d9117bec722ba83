// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// XKoduj followed by DeXKoduj on arbitrary text.
//
// Whatever XKoduj accepts comes back from DeXKoduj unchanged, except that
// every comma gains a blank after it; a text without commas comes back as it
// was. What XKoduj refuses, it refuses at the first character that has no
// stored form on its own, and everything before that character has one.

#include "fuzz_support.h"

#include "data/codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace strelkavo;
    const QString text = fuzz::textFromBytes(data, size);

    CodecFault fault;
    const auto stored = XKoduj(text, &fault);
    if (!stored) {
        FUZZ_REQUIRE(fault.position >= 1 && fault.position <= text.size());
        FUZZ_REQUIRE(!fault.what.isEmpty());
        FUZZ_REQUIRE(!XKoduj(QStringView(text).sliced(fault.position - 1, 1)));
        FUZZ_REQUIRE(XKoduj(QStringView(text).first(fault.position - 1)).has_value());
        return 0;
    }
    FUZZ_REQUIRE(stored->size() == text.size());

    const auto shown = DeXKoduj(*stored);
    FUZZ_REQUIRE(shown.has_value());
    if (!text.contains(u','))
        FUZZ_REQUIRE(*shown == text);
    QString expected = text;
    expected.replace(QStringLiteral(","), QStringLiteral(", "));
    FUZZ_REQUIRE(*shown == expected);
    return 0;
}
