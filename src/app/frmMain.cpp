// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frmMain.h"

#include "app/frameextents.h"
#include "app/icon.h"
#include "app/listkeys.h"
#include "app/verbrows.h"
#include "app/wmhints.h"
#include "table/letters.h"
#include "table/rows.h"
#include "tray/trayicon.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLoggingCategory>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QTimer>
#include <QUrl>
#include <QValidator>
#include <QWindow>

#include <chrono>

namespace strelkavo {
namespace {

Q_LOGGING_CATEGORY(lcWindow, "strelkavo.window", QtInfoMsg)

// How long the window waits for the window manager to tell it its frame. A
// window manager that frames windows tells within milliseconds of the map;
// one that has not by then never will, and asking on would cost a round trip
// to the X server after every event for the whole run.
constexpr std::chrono::milliseconds kFramePatience{1000};

void yieldToEventLoop()
{
    QCoreApplication::processEvents();
}

// The readers yield after every line. A pass of the event loop costs more
// than reading a line, so most of those yields only hand over when a few
// milliseconds have gone by since the last one: events still wait no longer
// than that, and a long file is not read at the event loop's pace.
void yieldWhileReading()
{
    static QElapsedTimer sinceLastPass;
    if (sinceLastPass.isValid() && sinceLastPass.nsecsElapsed() < 4'000'000)
        return;
    QCoreApplication::processEvents();
    sinceLastPass.start();
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
    m_list1Rows = new QStringListModel(this);
    List1->setModel(m_list1Rows);

    List2 = new QListView(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(232, 0, 113, 121);
    m_list2Words = new QStringListModel(this);
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
    connect(m_tray, &TrayIcon::trayLost, this, &frmMain::showMW_Click);
}

std::optional<LoadError> frmMain::Form_Load()
{
    const QDir dir(m_dataDirectory);
    const QString verbPath = dir.filePath(kVerbFileName);
    const QString wordPath = dir.filePath(kWordFileName);

    // A failure leaves nothing behind: the window must not show half a list.
    const auto failed = [this](LoadError error) {
        Form_Unload();
        return error;
    };

    qint32 rows = 0;
    if (auto error = LiczLinie(verbPath, rows, yieldWhileReading))
        return failed(*error);
    m_rowCount = rows;
    m_list1Rows->setStringList({});
    m_list2Words->setStringList({});
    m_table = VerbTable(m_rowCount);
    if (auto error = ReadData(m_rowCount, verbPath, m_table, yieldWhileReading))
        return failed(*error);

    qint32 wordLines = 0;
    QStringList words;
    if (auto error = LiczLinie(wordPath, wordLines, yieldWhileReading))
        return failed(*error);
    if (auto error = ReadData2(wordLines, wordPath, words, yieldWhileReading))
        return failed(*error);
    // The hidden list keeps its words sorted; sorting once at the end leaves
    // the same order as keeping it sorted word by word.
    sortWordList(words, wordListCollator(QLocale::system()));
    m_list2Words->setStringList(words);
    m_index = SearchIndex(words, m_table);

    DodajDane();

    return std::nullopt;
}

void frmMain::DodajDane()
{
    QStringList rows;
    rows.reserve(m_rowCount);
    for (qint32 i = 0; i < m_rowCount; ++i)
        rows.append(displayRow(m_table[i]));
    m_list1Rows->setStringList(rows);
}

void frmMain::Form_Unload()
{
    m_list1Rows->setStringList({});
    m_list2Words->setStringList({});
    m_table = VerbTable();
    m_index = SearchIndex();
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
    const auto row = m_index.find(text);
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
    // With no notification area an icon would never appear and a hidden
    // window could not be brought back; the desktop's own minimise is the
    // nearest retreat that leaves a way home.
    if (!m_tray->show()) {
        showMinimized();
        return;
    }
    hide();
    // A hidden window is withdrawn from the window manager, which takes its
    // taskbar entry away with it; showing it again brings the entry back.
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
    clearIconicStart(windowHandle());
    showNormal();
    raise();
    activateWindow();
    Szukaj->setFocus(Qt::OtherFocusReason);
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
    }
}

bool frmMain::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    // The window manager frames the window only after it is mapped and tells
    // of it in events of its own; look for the frame once each is handled.
    if (m_centring && !m_centreCheckQueued) {
        m_centreCheckQueued = true;
        QMetaObject::invokeMethod(this, &frmMain::centreOnceFramed, Qt::QueuedConnection);
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void frmMain::centreOnceFramed()
{
    m_centreCheckQueued = false;
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
    const QMargins guess = windowHandle() ? windowHandle()->frameMargins() : QMargins();
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
    QRect outer(QPoint(), size().grownBy(frame));
    outer.moveCenter(target->availableGeometry().center());
    m_centredAt = outer.topLeft() + QPoint(frame.left(), frame.top());
    windowHandle()->setPosition(m_centredAt);
}

} // namespace strelkavo
