// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verbrows.h"

#include <QEvent>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTimer>

namespace strelkavo {
namespace {

// The style would make a row as tall as the font's line, a pixel or two more
// than the rows are meant to be.
class VerbRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kVerbRowPixels};
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // The line is a pixel shorter than the row. Centred, the spare pixel
        // would go below the descenders and the umlaut dots would lose their
        // top; on the row's bottom it goes above them.
        option->displayAlignment = Qt::AlignLeft | Qt::AlignBottom;
    }
};

class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(QWidget *watched, std::function<void()> work)
        : QObject(watched)
        , m_work(std::move(work))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: the painted picture goes to the screen first.
            QTimer::singleShot(0, parent(), std::move(m_work));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

} // namespace

void afterFirstRowsDrawn(QListView *list, std::function<void()> work)
{
    new FirstPaintWatch(list->viewport(), std::move(work));
}

void setUpVerbRows(QListView *list)
{
    // 12 pixels is 9 points at the standard density. From the top of an
    // accent to the foot of a "g" DejaVu Sans Mono then needs 14 of the 15
    // pixels; hinting would lift the dots of "Ö" and "Ü" one pixel higher, out
    // of the row, so the outlines are drawn as they are.
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    fixed.setPixelSize(kVerbFontPixels);
    fixed.setHintingPreference(QFont::PreferNoHinting);
    list->setFont(fixed);
    list->setItemDelegate(new VerbRowDelegate(list));
    list->setUniformItemSizes(true);
}

} // namespace strelkavo
