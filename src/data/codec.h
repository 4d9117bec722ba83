// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace strelkavo {

// Why a string could not cross between the stored and the shown form.
struct CodecFault {
    qsizetype position = 0; // 1-based position in the input
    QString what;           // in Polish, shown to the user as is
};

// Stored bytes to shown text: every byte's Windows-1250 code is raised by 8,
// and every comma that comes out is followed by a blank. A byte whose raised
// code is not a character of the code page makes the whole string fail.
std::optional<QString> DeXKoduj(QByteArrayView stored, CodecFault *fault = nullptr);

// The 0-based index of the first byte on which DeXKoduj would fail, or -1.
// Makes no text, so a whole file can be checked before any of it is shown.
qsizetype firstUndecodable(QByteArrayView stored);

// Shown text to stored bytes: every character's code is lowered by 8; no comma
// rule. Characters outside the code page, or with a code below 8, fail.
std::optional<QByteArray> XKoduj(QStringView shown, CodecFault *fault = nullptr);

} // namespace strelkavo
