// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "codec.h"

#include <QByteArray>
#include <QStringView>

#include <optional>

namespace strelkavo {

// Preparing data files: shown text to the stored form such that the program's
// readers give exactly that text back. XKoduj alone does not promise this:
// the decoder puts a blank after every comma, and a few stored bytes mean
// something to the readers. Faults point at the offending character.

// A verb-file line. Every comma must be followed by a blank, which is dropped
// here for the decoder to put back; characters stored as a line end are refused.
std::optional<QByteArray> encodeLine(QStringView shown, CodecFault *fault = nullptr);

// A search word: as a line, and besides none of the characters that are stored
// as the word reader's comma ("4") or quote ("*"), nor a leading one that is
// stored as a blank ("(").
std::optional<QByteArray> encodeWord(QStringView shown, CodecFault *fault = nullptr);

} // namespace strelkavo
