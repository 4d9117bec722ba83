// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frmMain.h"

#include "app/listkeys.h"
#include "app/verbrows.h"
#include "icon/icon.h"
#include "table/letters.h"
#include "table/rows.h"
#include "tray/trayicon.h"
#include "x11/frameextents.h"
#include "x11/wmhints.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLoggingCategory>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QValidator>
#include <QWindow>

#include <algorithm>
#include <chrono>

namespace strelkavo {
namespace {

Q_LOGGING_CATEGORY(lcWindow, "strelkavo.window", QtInfoMsg)

// How long the window waits for the window manager to tell it its frame. A
// window manager that frames windows tells within milliseconds of the map;
// one that has not by then never will.
constexpr std::chrono::milliseconds kFramePatience{1000};

void yieldToEventLoop()
{
    QCoreApplication::processEvents();
}

// Client-area pixels at 96 DPI; the toolkit scales them on denser screens.
constexpr QSize kClientSize(408, 301);

const QString kLetters[] = {QStringLiteral("ä"), QStringLiteral("ö"), QStringLiteral("ü"),
                            QStringLiteral("ß")};

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect geometry,
                        const QString &accessibleName, const QString &description)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    button->setAccessibleName(accessibleName);
    button->setAccessibleDescription(description);
    return button;
}

// The box's limit counts UTF-16 units, and the toolkit cuts typed or pasted
// text at the limit even between the two halves of a character beyond the
// Basic Multilingual Plane (an emoji). A half alone is no character: drop it.
class WholeCharacters final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        for (qsizetype i = input.size(); i-- > 0;) {
            const QChar ch = input.at(i);
            const bool pairedHigh = ch.isHighSurrogate() && i + 1 < input.size()
                                    && input.at(i + 1).isLowSurrogate();
            const bool pairedLow = ch.isLowSurrogate() && i > 0
                                   && input.at(i - 1).isHighSurrogate();
            if (ch.isSurrogate() && !pairedHigh && !pairedLow) {
                input.remove(i, 1);
                if (i < pos)
                    --pos;
            }
        }
        return Acceptable;
    }
};

} // namespace

frmMain::frmMain(const QString &dataDirectory, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_dataDirectory(dataDirectory)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Strelkavo"));
    setWindowIcon(appIcon());
    setFixedSize(kClientSize);
    buildControls();
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(8, 8, 393, 259);
    setUpVerbRows(List1);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    List1->setTextElideMode(Qt::ElideNone);
    selectFirstRowOnFirstKey(List1);
    List1->setAccessibleName(QStringLiteral("Lista czasowników"));
    List1->setAccessibleDescription(QStringLiteral(
        "Czasowniki niemieckie w trzech formach: bezokolicznik, czas przeszły, imiesłów"));
    m_list1Rows = new VerbListModel(VerbListModel::Shows::DisplayRows, this);
    List1->setModel(m_list1Rows);

    List2 = new QListView(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(232, 0, 113, 121);
    m_list2Words = new VerbListModel(VerbListModel::Shows::ListWords, this);
    List2->setModel(m_list2Words);
    List2->hide();

    Label1 = new QLabel(QStringLiteral("Szukaj"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 275, 65, 17);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Szukaj = new QLineEdit(this);
    Szukaj->setObjectName(QStringLiteral("Szukaj"));
    Szukaj->setGeometry(64, 275, 97, 19);
    Szukaj->setMaxLength(kSearchMaxLength);
    Szukaj->setValidator(new WholeCharacters(Szukaj));
    Szukaj->setAccessibleName(QStringLiteral("Szukaj"));
    Szukaj->setAccessibleDescription(
        QStringLiteral("Wpisz początek dowolnej formy czasownika, a program zaznaczy jego wiersz"));
    Label1->setBuddy(Szukaj);
    connect(Szukaj, &QLineEdit::textChanged, this, &frmMain::Szukaj_Change);

    Command1 = makeButton(this, "Command1", QStringLiteral("WWW"), QRect(272, 272, 81, 25),
                          QStringLiteral("WWW"),
                          QStringLiteral("Otwiera stronę domową programu w przeglądarce"));
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);

    Command2 = makeButton(this, "Command2", QStringLiteral("zwiń"), QRect(360, 272, 41, 25),
                          QStringLiteral("zwiń"),
                          QStringLiteral("Chowa okno do obszaru powiadomień"));
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);

    pichook = new QWidget(this);
    pichook->setObjectName(QStringLiteral("pichook"));
    pichook->setGeometry(248, 192, 57, 37);
    pichook->hide();

    for (int index = 0; index < int(Command3.size()); ++index) {
        Command3[index] = makeButton(
            this, "Command3", kLetters[index], QRect(168 + 24 * index, 272, 25, 25),
            kLetters[index],
            QStringLiteral("Dopisuje literę %1 do pola wyszukiwania").arg(kLetters[index]));
        Command3[index]->setProperty("index", index);
        connect(Command3[index], &QPushButton::clicked, this,
                [this, index] { Command3_Click(index); });
    }
    // The search box is drawn over the label's box, which runs under its left end.
    Szukaj->raise();

    setTabOrder(List1, Szukaj);
    setTabOrder(Szukaj, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3[0]);
    for (int index = 1; index < int(Command3.size()); ++index)
        setTabOrder(Command3[index - 1], Command3[index]);
    List1->setFocus();

    mnuBar = new QMenu(QStringLiteral("Main"), this);
    mnuBar->setObjectName(QStringLiteral("mnuBar"));
    showMW = mnuBar->addAction(QStringLiteral("Pokaż główne okno programu"));
    showMW->setObjectName(QStringLiteral("showMW"));
    mnuExit = mnuBar->addAction(QStringLiteral("Zamknij"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(showMW, &QAction::triggered, this, &frmMain::showMW_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);

    m_tray = new TrayIcon(windowIcon(), QStringLiteral("Strelkavo"), mnuBar, this);
    connect(m_tray, &TrayIcon::iconEvent, this, &frmMain::pichook_MouseMove);
    connect(m_tray, &TrayIcon::shown, this, &frmMain::hideBehindIcon);
    connect(m_tray, &TrayIcon::notShown, this, &frmMain::minimiseForTray);
    connect(m_tray, &TrayIcon::trayLost, this, &frmMain::showMW_Click);
}

std::optional<LoadError> frmMain::Form_Load()
{
    m_list1Rows->setSource(nullptr);
    m_list2Words->setSource(nullptr);
    // A failure leaves nothing behind: the window must not show half a list.
    if (auto error = loadVerbData(m_dataDirectory, m_data, eventLoopYield())) {
        Form_Unload();
        return error;
    }
    m_rowCount = qint32(m_data.table().size());
    m_list2Words->setSource(&m_data);
    DodajDane();
    // The index waits for the window to be up; a search before then builds it.
    afterFirstRowsDrawn(List1, [this] { m_data.prepareSearch(); });
    return std::nullopt;
}

void frmMain::DodajDane()
{
    // Rows are made as the list shows them, all of one height, so the list
    // asks for those in sight only.
    m_list1Rows->setSource(&m_data);
}

void frmMain::Form_Unload()
{
    m_list1Rows->setSource(nullptr);
    m_list2Words->setSource(nullptr);
    m_data = VerbData();
    m_rowCount = 0;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
    QCoreApplication::quit();
}

void frmMain::Szukaj_Change()
{
    XSel();
}

void frmMain::XSel()
{
    // Yield so that input already queued reaches the box first. A search that
    // starts while another waits in its yield skips its own: it runs to the
    // end at once, and the waiting one reads the text anew when it resumes, so
    // the last to finish still matches the box. This keeps fast typing from
    // nesting one event loop per keystroke.
    if (m_searchDepth == 0) {
        ++m_searchDepth;
        yieldToEventLoop();
        --m_searchDepth;
    }
    const QString text = QLocale::system().toLower(Szukaj->text());
    const auto row = m_data.find(text);
    if (!row || *row >= m_list1Rows->rowCount())
        return;
    const QModelIndex index = m_list1Rows->index(int(*row));
    List1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    List1->scrollTo(index);
}

void frmMain::Command1_Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)));
}

void frmMain::Command3_Click(int index)
{
    const QString text = appendLetter(Szukaj->text(), Command3[index]->text());
    if (text != Szukaj->text())
        Szukaj->setText(text);
    Szukaj->setCursorPosition(int(Szukaj->text().size()));
    Szukaj->deselect();
    Szukaj->setFocus(Qt::OtherFocusReason);
}

void frmMain::Command2_Click()
{
    AddToSysTray();
}

void frmMain::AddToSysTray()
{
    // The window goes only once something shows the icon that stands in for
    // it (hideBehindIcon); a hidden window with no icon could never be
    // brought back.
    // The toolkit's own record of the minimised state can lag behind the
    // window manager's (mutter 48 restoring from its task list); a click on
    // the button says the window is in sight.
    if (isVisible())
        m_tray->show();
}

void frmMain::hideBehindIcon()
{
    m_placeBeforeTray = frameGeometry().topLeft();
    hide();
    // A hidden window is withdrawn from the window manager, which takes its
    // taskbar entry away with it; showing it again brings the entry back.
}

// With nothing to show an icon, the desktop's own minimise is the nearest
// retreat that leaves a way home.
void frmMain::minimiseForTray()
{
    allowMinimise(windowHandle(), true);
    // A lagging record that says minimised already would make this no request.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    showMinimized();
}

void frmMain::UsuńZTraja()
{
    m_tray->hide();
}

void frmMain::pichook_MouseMove(int callbackCode)
{
    m_trayDecoder.callback(callbackCode, {[this] { showMW_Click(); },
                                          [this] { m_tray->popupMenu(); }});
}

void frmMain::showMW_Click()
{
    UsuńZTraja();
    allowMinimise(windowHandle(), false);
    clearIconicStart(windowHandle());
    const bool wasHidden = !isVisible();
    showNormal();
    // Some window managers (mutter) place a window mapped anew by its old
    // client position as if it were the frame's, a title bar higher each time.
    if (wasHidden && m_placeBeforeTray)
        move(*m_placeBeforeTray);
    raise();
    activateWindow();
    Szukaj->setFocus(Qt::OtherFocusReason);
}

void frmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    // Back from the task list, or whatever else undid the minimise.
    if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) {
        allowMinimise(windowHandle(), false);
        Szukaj->setFocus(Qt::OtherFocusReason);
    }
}

void frmMain::mnuExit_Click()
{
    UsuńZTraja();
    close();
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        m_centring = true;
        centreOnScreen();
        QTimer::singleShot(kFramePatience, this, &frmMain::stopWaitingForFrame);
        // Off X11 the toolkit may know the frame already.
        QMetaObject::invokeMethod(this, &frmMain::centreOnceFramed, Qt::QueuedConnection);
    }
}

bool frmMain::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    // The window manager frames the window only after it is mapped, and tells
    // of it by setting a property of the window.
    if (m_centring && eventType == "xcb_generic_event_t"
        && frameExtentsChanged(windowHandle(), message))
        QMetaObject::invokeMethod(this, &frmMain::centreOnceFramed, Qt::QueuedConnection);
    return QWidget::nativeEvent(eventType, message, result);
}

void frmMain::centreOnceFramed()
{
    if (!m_centring)
        return;
    // No check for a move here: the window manager tells the frame as it
    // frames the window, before anyone can drag it, and while it reparents the
    // window the window's place is in flux.
    qCDebug(lcWindow) << "asking for the frame";
    if (const auto frame = frameExtents(windowHandle())) {
        m_centring = false;
        qCDebug(lcWindow) << "centred in a frame of" << *frame;
        centreOnScreen(*frame);
    }
}

void frmMain::stopWaitingForFrame()
{
    if (!m_centring)
        return;
    m_centring = false;
    if (movedSinceCentred()) {
        qCDebug(lcWindow) << "moved by someone else while no frame was told; left there";
        return;
    }
    // The toolkit's own reckoning of the frame is the best guess left; with
    // no window manager there is no frame, and the window stays where it is.
    QMargins guess = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    // The toolkit reads the same property and believes whatever it holds.
    if (!plausibleFrame(guess, screen() ? screen()->geometry().size() : QSize()))
        guess = {};
    qCDebug(lcWindow) << "no frame told in" << kFramePatience.count() << "ms; centred in"
                      << guess;
    centreOnScreen(guess);
}

// Where the window manager places a new window by itself, or the user has
// dragged it already, the window stays where they put it.
//
// Asks the window system where the window is: the toolkit's own record can
// lag behind the window manager's moves.
bool frmMain::movedSinceCentred() const
{
    if (!isVisible())
        return true;
    // A pixel either way is the rounding of a fractional scale, not a move.
    return (mapToGlobal(QPoint()) - m_centredAt).manhattanLength() > 1;
}

void frmMain::centreOnScreen(QMargins frame)
{
    const QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target || !windowHandle())
        return;
    const QRect area = target->availableGeometry();
    QRect outer(QPoint(), size().grownBy(frame));
    outer.moveCenter(area.center());
    // On a screen smaller than the window its title bar stays within reach.
    outer.moveLeft(std::max(outer.left(), area.left()));
    outer.moveTop(std::max(outer.top(), area.top()));
    m_centredAt = outer.topLeft() + QPoint(frame.left(), frame.top());
    windowHandle()->setPosition(m_centredAt);
}

} // namespace strelkavo
