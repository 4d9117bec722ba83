// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the widget tests share: the real window on data files that the
// library's own encoders write into a temporary directory, its controls found
// by object name, and ways of reading and driving them as a user would.

#include "app/frmMain.h"
#include "data/storedtext.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <memory>

namespace strelkavo::testing {

// The sample verb file, one line per display row (indices from 0):
//   0 sein  1 gehen  2 ärgern  3 haben  4 anfangen  5 öffnen  6 üben
//   7 schließen  8 essen  9..58 warten (filler)  59 zeigen
// The filler pushes the last row well below the list's visible part.
inline constexpr int kSampleRows = 60;
inline constexpr int kLastSampleRow = 59;

inline QStringList sampleVerbs()
{
    QStringList lines = QStringLiteral("sein#war#gewesen gehen#ging#gegangen "
                                       "ärgern#ärgerte#geärgert haben#hatte#gehabt "
                                       "anfangen#fing_an#angefangen öffnen#öffnete#geöffnet "
                                       "üben#übte#geübt schließen#schloss#geschlossen "
                                       "essen#aß#gegessen")
                            .split(u' ');
    lines[4].replace(u'_', u' ');
    while (lines.size() < kLastSampleRow)
        lines.append(QStringLiteral("warten#wartete#gewartet"));
    return lines << QStringLiteral("zeigen#zeigte#gezeigt");
}

// The search words in file order: not sorted, "gehen" ahead of "gehabt", one
// capitalised word that no row holds ("Fahrt"), German letters leading words.
inline QStringList sampleWords()
{
    return QStringLiteral("gehen war ging gegangen ärgern Fahrt schließen gehabt anfangen öffnen "
                          "geöffnet üben aß essen sein gewesen haben angefangen zeigen")
        .split(u' ');
}

struct Controls
{
    explicit Controls(const QWidget &w)
        : List1(w.findChild<QListView *>(QStringLiteral("List1")))
        , List2(w.findChild<QListView *>(QStringLiteral("List2")))
        , Szukaj(w.findChild<QLineEdit *>(QStringLiteral("Szukaj")))
        , Label1(w.findChild<QLabel *>(QStringLiteral("Label1")))
        , Command1(w.findChild<QPushButton *>(QStringLiteral("Command1")))
        , Command2(w.findChild<QPushButton *>(QStringLiteral("Command2")))
        , pichook(w.findChild<QWidget *>(QStringLiteral("pichook")))
        , mnuBar(w.findChild<QMenu *>(QStringLiteral("mnuBar")))
    {
        for (QPushButton *button : w.findChildren<QPushButton *>(QStringLiteral("Command3")))
            Command3.at(button->property("index").toUInt()) = button;
    }

    bool complete() const
    {
        return List1 && List2 && Szukaj && Label1 && Command1 && Command2 && pichook && mnuBar
            && std::find(Command3.begin(), Command3.end(), nullptr) == Command3.end();
    }

    QListView *List1, *List2;
    QLineEdit *Szukaj;
    QLabel *Label1;
    QPushButton *Command1, *Command2;
    QWidget *pichook;
    QMenu *mnuBar;
    std::array<QPushButton *, 4> Command3{};
};

// The window on the files of its own temporary directory.
struct Session
{
    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<Controls> c;

    // Verb lines or search words, each encoded as the data tool would and ended with CR LF.
    bool write(const QString &fileName, const QStringList &entries)
    {
        const bool words = fileName == kWordFileName;
        QByteArray bytes;
        for (const QString &entry : entries) {
            const auto stored = words ? encodeWord(entry) : encodeLine(entry);
            if (!stored)
                return false;
            bytes += *stored + "\r\n";
        }
        QFile file(dir.filePath(fileName));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    bool writeSample()
    {
        return write(kVerbFileName, sampleVerbs()) && write(kWordFileName, sampleWords());
    }

    std::optional<LoadError> load()
    {
        window = std::make_unique<frmMain>(dir.path());
        c = std::make_unique<Controls>(*window);
        return window->Form_Load();
    }

    // Loads, shows and waits for the window; with activate, until it is the
    // active window, so that the keyboard focus is real.
    bool open(bool activate = true)
    {
        if (const auto error = load()) {
            qWarning("%s", qUtf8Printable(error->message()));
            return false;
        }
        window->show();
        if (activate)
            window->activateWindow();
        return c->complete() && QTest::qWaitForWindowExposed(window.get())
            && (!activate || QTest::qWaitForWindowActive(window.get()));
    }

    bool openSample(bool activate = true) { return writeSample() && open(activate); }
};

// The one selected row of the list, -1 when none, -2 when more than one.
inline int selectedRow(const QListView *list)
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.size() == 1 ? rows.first().row() : -2;
}

// Selects a row as a click would, to give the search a selection to keep.
inline void selectRow(QListView *list, int row)
{
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect);
}

inline QStringList rowTexts(const QListView *list)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts.append(list->model()->index(row, 0).data().toString());
    return texts;
}

// Types key by key: ASCII through QTest::keyClicks, anything else as a key
// event that carries the character, as an input method would send it.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClicks(widget, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// A control's object name, with the index for the letter buttons ("Command3[2]").
inline QString controlName(const QWidget *widget)
{
    if (!widget)
        return QStringLiteral("(none)");
    const QVariant index = widget->property("index");
    return index.isValid() ? QStringLiteral("%1[%2]").arg(widget->objectName()).arg(index.toInt())
                           : widget->objectName();
}

} // namespace strelkavo::testing
