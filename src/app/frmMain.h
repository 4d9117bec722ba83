// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// frmMain is the program's one window and the owner of every piece of its state.
//
// Form_Load has the two data files read and checked (table/verbdata, over the
// readers of data/) and shows them: List1 shows display rows (table/rows) and
// the hidden List2 the sorted search words, both through models over the same
// data (table/listmodels). Once the window is up, the search index is built
// (table/search). Each change of the search box Szukaj runs XSel, which yields
// once and then asks the index for the row to select. The letter buttons Command3 append their caption
// through table/letters, which changes Szukaj and so searches again. "zwiń"
// hands the window over to the notification-area icon (tray/TrayIcon); its
// mouse events come back to pichook_MouseMove, whose decoder runs showMW_Click
// or the popup menu mnuBar, and a tray that goes away brings the window back.
// Closing the window runs Form_Unload, which empties everything.

#include "data/datafiles.h"
#include "homepage.h"
#include "table/listmodels.h"
#include "table/verbdata.h"
#include "tray/traydecoder.h"

#include <QMargins>
#include <QPoint>
#include <QWidget>

#include <array>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;

namespace strelkavo {

class TrayIcon;

class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(const QString &dataDirectory, QWidget *parent = nullptr);
    ~frmMain() override;

    // Reads both data files and fills the lists. On failure the window holds
    // nothing and must not be shown.
    std::optional<LoadError> Form_Load();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void centreOnScreen(QMargins frame = {});
    void centreOnceFramed();
    void stopWaitingForFrame();
    bool movedSinceCentred() const;

    void Form_Unload();
    void DodajDane();
    void Szukaj_Change();
    void XSel();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click(int index);
    void AddToSysTray();
    void UsuńZTraja();
    void hideBehindIcon();
    void minimiseForTray();
    void pichook_MouseMove(int callbackCode);
    void showMW_Click();
    void mnuExit_Click();

    QString m_dataDirectory;

    VerbData m_data;
    qint32 m_rowCount = 0;
    int m_searchDepth = 0;

    QListView *List1 = nullptr;
    VerbListModel *m_list1Rows = nullptr;
    QListView *List2 = nullptr;
    VerbListModel *m_list2Words = nullptr;
    QLineEdit *Szukaj = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QWidget *pichook = nullptr;
    std::array<QPushButton *, 4> Command3{};

    QMenu *mnuBar = nullptr;
    QAction *showMW = nullptr;
    QAction *mnuExit = nullptr;

    TrayIcon *m_tray = nullptr;
    TrayCallbackDecoder m_trayDecoder;
    bool m_centred = false;
    bool m_centring = false;
    QPoint m_centredAt;
    std::optional<QPoint> m_placeBeforeTray;
};

} // namespace strelkavo
