#include "windowfixture.h"

#include "data/datafiles.h"
#include "data/storedtext.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace strelkavo::testing {
namespace {

using Encoder = std::function<std::optional<QByteArray>(QStringView, CodecFault *)>;

QByteArray encodeAll(const QStringList &entries, const Encoder &encode, bool *ok)
{
    QByteArray bytes;
    *ok = true;
    for (const QString &entry : entries) {
        CodecFault fault;
        const auto stored = encode(entry, &fault);
        if (!stored) {
            qWarning("cannot encode \"%s\" (character %lld): %s", qUtf8Printable(entry),
                     static_cast<long long>(fault.position), qUtf8Printable(fault.what));
            *ok = false;
            return {};
        }
        bytes += *stored;
        bytes += "\r\n";
    }
    return bytes;
}

template<typename T>
T *child(const QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

} // namespace

QStringList sampleVerbs()
{
    QStringList lines = {
        QStringLiteral("sein#war#gewesen"),
        QStringLiteral("gehen#ging#gegangen"),
        QStringLiteral("ärgern#ärgerte#geärgert"),
        QStringLiteral("haben#hatte#gehabt"),
        QStringLiteral("anfangen#fing an#angefangen"),
        QStringLiteral("öffnen#öffnete#geöffnet"),
        QStringLiteral("üben#übte#geübt"),
        QStringLiteral("schließen#schloss#geschlossen"),
        QStringLiteral("essen#aß#gegessen"),
    };
    while (lines.size() < kLastSampleRow)
        lines.append(QStringLiteral("warten#wartete#gewartet"));
    lines.append(QStringLiteral("zeigen#zeigte#gezeigt"));
    return lines;
}

QStringList sampleWords()
{
    return {
        QStringLiteral("gehen"),    QStringLiteral("war"),       QStringLiteral("ging"),
        QStringLiteral("gegangen"), QStringLiteral("ärgern"),    QStringLiteral("Fahrt"),
        QStringLiteral("schließen"), QStringLiteral("gehabt"),   QStringLiteral("anfangen"),
        QStringLiteral("öffnen"),   QStringLiteral("geöffnet"),  QStringLiteral("üben"),
        QStringLiteral("aß"),       QStringLiteral("essen"),     QStringLiteral("sein"),
        QStringLiteral("gewesen"),  QStringLiteral("haben"),     QStringLiteral("angefangen"),
        QStringLiteral("zeigen"),
    };
}

DataDirectory::DataDirectory() = default;

bool DataDirectory::writeVerbs(const QStringList &lines)
{
    bool ok = false;
    const QByteArray bytes = encodeAll(
        lines, [](QStringView shown, CodecFault *fault) { return encodeLine(shown, fault); }, &ok);
    return ok && writeRaw(kVerbFileName, bytes);
}

bool DataDirectory::writeWords(const QStringList &words)
{
    bool ok = false;
    const QByteArray bytes = encodeAll(
        words, [](QStringView shown, CodecFault *fault) { return encodeWord(shown, fault); }, &ok);
    return ok && writeRaw(kWordFileName, bytes);
}

bool DataDirectory::writeRaw(const QString &fileName, const QByteArray &bytes)
{
    QFile file(m_dir.filePath(fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning("cannot write %s: %s", qUtf8Printable(file.fileName()),
                 qUtf8Printable(file.errorString()));
        return false;
    }
    return file.write(bytes) == bytes.size() && file.flush();
}

bool DataDirectory::writeSample()
{
    return writeVerbs(sampleVerbs()) && writeWords(sampleWords());
}

Controls::Controls(const QWidget &window)
    : List1(child<QListView>(window, "List1"))
    , List2(child<QListView>(window, "List2"))
    , Szukaj(child<QLineEdit>(window, "Szukaj"))
    , Label1(child<QLabel>(window, "Label1"))
    , Command1(child<QPushButton>(window, "Command1"))
    , Command2(child<QPushButton>(window, "Command2"))
    , pichook(child<QWidget>(window, "pichook"))
    , mnuBar(child<QMenu>(window, "mnuBar"))
{
    const auto letterButtons = window.findChildren<QPushButton *>(QStringLiteral("Command3"));
    for (QPushButton *button : letterButtons) {
        bool ok = false;
        const int index = button->property("index").toInt(&ok);
        if (ok && index >= 0 && index < int(Command3.size()) && !Command3[index])
            Command3[index] = button;
    }
    if (mnuBar) {
        showMW = mnuBar->findChild<QAction *>(QStringLiteral("showMW"));
        mnuExit = mnuBar->findChild<QAction *>(QStringLiteral("mnuExit"));
    }
}

bool Controls::complete() const
{
    for (const QPushButton *button : Command3)
        if (!button)
            return false;
    return List1 && List2 && Szukaj && Label1 && Command1 && Command2 && pichook && mnuBar
        && showMW && mnuExit;
}

QWidget *Controls::byName(const QString &name, int index) const
{
    if (name == QLatin1String("Command3"))
        return index >= 0 && index < int(Command3.size()) ? Command3[index] : nullptr;
    const std::pair<const char *, QWidget *> all[] = {
        {"List1", List1},       {"List2", List2},       {"Szukaj", Szukaj},   {"Label1", Label1},
        {"Command1", Command1}, {"Command2", Command2}, {"pichook", pichook},
    };
    for (const auto &[objectName, widget] : all)
        if (name == QLatin1String(objectName))
            return widget;
    return nullptr;
}

bool Session::open(QString *why, bool activate)
{
    if (!data.isValid()) {
        *why = QStringLiteral("no temporary directory");
        return false;
    }
    window = std::make_unique<frmMain>(data.path());
    if (!loadAndShow(*window, why, activate))
        return false;
    c = std::make_unique<Controls>(*window);
    if (!c->complete()) {
        *why = QStringLiteral("a control of the window is missing");
        return false;
    }
    return true;
}

bool Session::openSample(QString *why, bool activate)
{
    if (!data.writeSample()) {
        *why = QStringLiteral("cannot write the sample files");
        return false;
    }
    return open(why, activate);
}

bool loadAndShow(frmMain &window, QString *why, bool activate)
{
    if (const auto error = window.Form_Load()) {
        *why = QStringLiteral("Form_Load failed: ") + error->message();
        return false;
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        *why = QStringLiteral("the window was never exposed");
        return false;
    }
    if (activate) {
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            *why = QStringLiteral("the window never became active");
            return false;
        }
    }
    return true;
}

int selectedRow(const QListView *list)
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    return rows.size() == 1 ? rows.first().row() : -2;
}

void selectRow(QListView *list, int row)
{
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect);
}

QStringList rowTexts(const QListView *list)
{
    QStringList texts;
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data().toString());
    return texts;
}

bool rowFullyVisible(const QListView *list, int row)
{
    const QRect item = list->visualRect(list->model()->index(row, 0));
    const QRect visible = list->viewport()->rect();
    return item.isValid() && item.top() >= visible.top() && item.bottom() <= visible.bottom();
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClicks(widget, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
    }
}

QString controlName(const QWidget *widget)
{
    if (!widget)
        return QStringLiteral("(none)");
    const QVariant index = widget->property("index");
    if (index.isValid())
        return QStringLiteral("%1[%2]").arg(widget->objectName()).arg(index.toInt());
    return widget->objectName();
}

} // namespace strelkavo::testing
