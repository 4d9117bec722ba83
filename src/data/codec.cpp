// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "codec.h"

#include <QHash>
#include <QStringDecoder>

#include <array>

namespace strelkavo {
namespace {

constexpr int kShift = 8;
constexpr char16_t kNoChar = 0xFFFF;

// Windows-1250 as one lookup table each way, built once from Qt's own
// converter. The converter maps the five codes the code page leaves
// undefined to C1 controls without complaint, so those are struck out here.
struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, uchar> fromUnicode;

    CodePage()
    {
        QStringDecoder decoder("windows-1250", QStringConverter::Flag::Stateless);
        Q_ASSERT_X(decoder.isValid(), "CodePage", "Qt was built without Windows-1250 support");
        for (int code = 0; code < 256; ++code) {
            const char byte = char(code);
            const QString ch = decoder.decode(QByteArrayView(&byte, 1));
            const bool undefined = code == 0x81 || code == 0x83 || code == 0x88 || code == 0x90
                || code == 0x98;
            if (undefined || !decoder.isValid() || ch.size() != 1) {
                toUnicode[code] = kNoChar;
                continue;
            }
            toUnicode[code] = ch.at(0).unicode();
            fromUnicode.insert(ch.at(0).unicode(), uchar(code));
        }
    }
};

const CodePage &codePage()
{
    static const CodePage page;
    return page;
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
    const auto &table = codePage().toUnicode;
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
        const char16_t ch = table[code];
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
            flags[byte] = byte + kShift > 255 || codePage().toUnicode[byte + kShift] == kNoChar;
        return flags;
    }();
    for (qsizetype i = 0; i < stored.size(); ++i)
        if (undecodable[uchar(stored[i])])
            return i;
    return -1;
}

std::optional<QByteArray> XKoduj(QStringView shown, CodecFault *fault)
{
    const auto &table = codePage().fromUnicode;
    QByteArray stored;
    stored.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t ch = shown[i].unicode();
        const auto it = table.constFind(ch);
        if (it == table.constEnd()) {
            report(fault, i + 1,
                   QStringLiteral("znak U+%1 nie należy do strony kodowej Windows-1250")
                       .arg(hexDigits(ch, 4)));
            return std::nullopt;
        }
        if (*it < kShift) {
            report(fault, i + 1,
                   QStringLiteral("znak o kodzie %1 jest mniejszy niż 8 i nie da się go zapisać")
                       .arg(int(*it)));
            return std::nullopt;
        }
        stored.append(char(*it - kShift));
    }
    return stored;
}

} // namespace strelkavo
