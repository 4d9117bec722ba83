#pragma once

// What the widget tests share: a data directory written with the library's
// encoders, the window's controls found by object name, and a few ways of
// reading and driving them as a user would.

#include "app/frmMain.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QWidget;

namespace strelkavo::testing {

// The sample verb file, one line per display row (indices from 0):
//   0 sein  1 gehen  2 ärgern  3 haben  4 anfangen  5 öffnen  6 üben
//   7 schließen  8 essen  9..58 warten (filler)  59 zeigen
// The filler pushes the last row well below the list's visible part.
QStringList sampleVerbs();
inline constexpr int kSampleVerbRows = 60;
inline constexpr int kLastSampleRow = 59;

// The sample search words in file order: deliberately not sorted, with "gehen"
// ahead of "gehabt", one capitalised word that no row holds ("Fahrt") and
// German letters at the start of words.
QStringList sampleWords();

class DataDirectory
{
public:
    DataDirectory();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &fileName) const { return m_dir.filePath(fileName); }

    // Each entry encoded and ended with CR LF; false (with a warning naming the
    // entry) when an entry cannot be encoded or the file cannot be written.
    bool writeVerbs(const QStringList &lines);
    bool writeWords(const QStringList &words);
    bool writeRaw(const QString &fileName, const QByteArray &bytes);

    // Both sample files.
    bool writeSample();

private:
    QTemporaryDir m_dir;
};

// The window's controls, looked up by object name.
struct Controls
{
    explicit Controls(const QWidget &window);

    // Every control and menu entry was found, and exactly one letter button
    // carries each index 0 to 3.
    bool complete() const;

    // A control by object name; index picks the letter button.
    QWidget *byName(const QString &name, int index = -1) const;

    QListView *List1 = nullptr;
    QListView *List2 = nullptr;
    QLineEdit *Szukaj = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QWidget *pichook = nullptr;
    std::array<QPushButton *, 4> Command3{};
    QMenu *mnuBar = nullptr;
    QAction *showMW = nullptr;
    QAction *mnuExit = nullptr;
};

// The window on the files of its own data directory, loaded and shown.
struct Session
{
    DataDirectory data;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<Controls> c;

    // Loads what data holds; with activate, the window is also made active so
    // that the keyboard focus is real. On failure says why in *why.
    bool open(QString *why, bool activate = true);
    // The same on the sample files.
    bool openSample(QString *why, bool activate = true);
};

// Form_Load, then show and wait until the window is exposed; with activate,
// also wait until it is the active window so that the keyboard focus is real.
// On failure returns false and says why in *why.
bool loadAndShow(frmMain &window, QString *why, bool activate = false);

// The one selected row of the list, -1 when none, -2 when more than one.
int selectedRow(const QListView *list);

// Selects a row as a click would, to give the search a selection to keep.
void selectRow(QListView *list, int row);

// The texts of all rows of a list, top to bottom.
QStringList rowTexts(const QListView *list);

// True when the row lies wholly inside the visible height of the list.
bool rowFullyVisible(const QListView *list, int row);

// Types text key by key: ASCII through QTest::keyClicks, anything else as a
// key event that carries the character, as an input method would send it.
void typeText(QWidget *widget, const QString &text);

// A readable name of a control for comparisons: its object name, with the
// index for the letter buttons ("Command3[2]").
QString controlName(const QWidget *widget);

} // namespace strelkavo::testing
