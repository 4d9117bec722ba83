// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "storedtext.h"

#include <vector>

namespace strelkavo {
namespace {

std::optional<QByteArray> refuse(CodecFault *fault, qsizetype position, QString what)
{
    if (fault)
        *fault = CodecFault{position, std::move(what)};
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> encodeLine(QStringView shown, CodecFault *fault)
{
    // The text the encoder sees, and where each of its characters stood in shown.
    QString kept;
    std::vector<qsizetype> origin;
    kept.reserve(shown.size());
    origin.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        kept.append(shown[i]);
        origin.push_back(i);
        if (shown[i] != u',')
            continue;
        if (i + 1 >= shown.size() || shown[i + 1] != u' ')
            return refuse(fault, i + 1,
                          QStringLiteral("po przecinku musi stać spacja (program sam ją dopisuje "
                                         "przy odczycie)"));
        ++i;
    }
    CodecFault inner;
    auto stored = XKoduj(kept, &inner);
    if (!stored)
        return refuse(fault, origin[inner.position - 1] + 1, inner.what);
    for (qsizetype i = 0; i < stored->size(); ++i) {
        const char byte = stored->at(i);
        if (byte == '\n' || byte == '\r')
            return refuse(fault, origin[i] + 1,
                          QStringLiteral("znak o kodzie %1 zapisałby się jako koniec wiersza")
                              .arg(kept[i].unicode()));
    }
    return stored;
}

std::optional<QByteArray> encodeWord(QStringView shown, CodecFault *fault)
{
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == u'4' || shown[i] == u'*')
            return refuse(fault, i + 1,
                          QStringLiteral("słowo do wyszukiwania nie może zawierać znaku „%1”")
                              .arg(shown[i]));
    }
    if (shown.startsWith(u'('))
        return refuse(fault, 1,
                      QStringLiteral("słowo do wyszukiwania nie może zaczynać się od „(”"));
    return encodeLine(shown, fault);
}

} // namespace strelkavo
