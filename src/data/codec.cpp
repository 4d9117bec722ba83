// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "codec.h"

#include <algorithm>
#include <array>

namespace strelkavo {
namespace {

constexpr int kShift = 8;
constexpr char16_t kNoChar = 0xFFFF;

// Windows-1250 from 0x80 up; below that it is ASCII. The five codes the code
// page leaves undefined have no character, so no byte decodes to them.
constexpr std::array<char16_t, 128> kUpperHalf{
    0x20AC, kNoChar, 0x201A, kNoChar, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    kNoChar, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 0x88
    kNoChar, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    kNoChar, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

char16_t toUnicode(int code)
{
    return code < 0x80 ? char16_t(code) : kUpperHalf[code - 0x80];
}

// The code of a character of the code page, or -1. Only the data tool
// encodes, a line at a time, so a walk through the upper half is enough.
int fromUnicode(char16_t ch)
{
    if (ch < 0x80)
        return ch;
    const auto it = std::find(kUpperHalf.begin(), kUpperHalf.end(), ch);
    return it == kUpperHalf.end() || ch == kNoChar ? -1 : int(0x80 + (it - kUpperHalf.begin()));
}

QString hexDigits(int value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

QString hexByte(int code)
{
    return QLatin1String("0x") + hexDigits(code, 2);
}

void report(CodecFault *fault, qsizetype position, QString what)
{
    if (fault)
        *fault = CodecFault{position, std::move(what)};
}

} // namespace

std::optional<QString> DeXKoduj(QByteArrayView stored, CodecFault *fault)
{
    QString shown;
    shown.reserve(stored.size() + 8);
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const int code = uchar(stored[i]) + kShift;
        if (code > 255) {
            report(fault, i + 1,
                   QStringLiteral("bajt %1 po przesunięciu o 8 daje kod %2, większy niż 255")
                       .arg(hexByte(uchar(stored[i])))
                       .arg(code));
            return std::nullopt;
        }
        const char16_t ch = toUnicode(code);
        if (ch == kNoChar) {
            report(fault, i + 1,
                   QStringLiteral("bajt %1 daje kod %2, któremu strona kodowa Windows-1250 "
                                  "nie przypisuje znaku")
                       .arg(hexByte(uchar(stored[i])), hexByte(code)));
            return std::nullopt;
        }
        shown.append(QChar(ch));
        if (ch == u',')
            shown.append(QLatin1Char(' '));
    }
    return shown;
}

qsizetype firstUndecodable(QByteArrayView stored)
{
    // One flag a byte, made once from the table DeXKoduj decodes with.
    static const std::array<bool, 256> undecodable = [] {
        std::array<bool, 256> flags{};
        for (int byte = 0; byte < 256; ++byte)
            flags[byte] = byte + kShift > 255 || toUnicode(byte + kShift) == kNoChar;
        return flags;
    }();
    for (qsizetype i = 0; i < stored.size(); ++i)
        if (undecodable[uchar(stored[i])])
            return i;
    return -1;
}

std::optional<QByteArray> XKoduj(QStringView shown, CodecFault *fault)
{
    QByteArray stored;
    stored.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t ch = shown[i].unicode();
        const int code = fromUnicode(ch);
        if (code < 0) {
            report(fault, i + 1,
                   QStringLiteral("znak U+%1 nie należy do strony kodowej Windows-1250")
                       .arg(hexDigits(ch, 4)));
            return std::nullopt;
        }
        if (code < kShift) {
            report(fault, i + 1,
                   QStringLiteral("znak o kodzie %1 jest mniejszy niż 8 i nie da się go zapisać")
                       .arg(code));
            return std::nullopt;
        }
        stored.append(char(code - kShift));
    }
    return stored;
}

} // namespace strelkavo
