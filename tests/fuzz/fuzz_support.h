// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Shared by the libFuzzer targets and by the replay of their corpora.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property must stop the run loudly, in every build type: libFuzzer
// keeps the input that caused the abort, and the replay test fails on it.
#define FUZZ_REQUIRE(condition)                                                            \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__,      \
                         #condition);                                                      \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace strelkavo::fuzz {

// Text for the encoders. Random UTF-16 rarely lands on the code page, and
// UTF-8 cannot reach lone surrogates, so the first byte picks the reading:
// odd means UTF-16LE code units, even means UTF-8, of the remaining bytes.
inline QString textFromBytes(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return {};
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const qsizetype restSize = qsizetype(size - 1);
    if (data[0] & 1) {
        QString text;
        text.reserve(restSize / 2);
        for (qsizetype i = 0; i + 1 < restSize; i += 2)
            text.append(QChar(char16_t(std::uint8_t(rest[i]) | (std::uint8_t(rest[i + 1]) << 8))));
        return text;
    }
    return QString::fromUtf8(rest, restSize);
}

} // namespace strelkavo::fuzz
