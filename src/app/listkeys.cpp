// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "listkeys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace strelkavo {
namespace {

class FirstRowKeys : public QObject
{
public:
    explicit FirstRowKeys(QAbstractItemView *view)
        : QObject(view)
        , m_view(view)
    {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_view || event->type() != QEvent::KeyPress)
            return false;
        if (!startsAtFirstRow(*static_cast<QKeyEvent *>(event)))
            return false;
        QItemSelectionModel *selection = m_view->selectionModel();
        if (!selection || selection->hasSelection())
            return false;
        const QModelIndex first = m_view->model()->index(0, 0, m_view->rootIndex());
        if (!first.isValid())
            return false;
        selection->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
        m_view->scrollTo(first);
        return true;
    }

private:
    static bool startsAtFirstRow(const QKeyEvent &key)
    {
        // Shift or Control with an arrow extend or keep the selection; plain
        // keys only, the keypad's included.
        if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        return key.key() == Qt::Key_Down || key.key() == Qt::Key_Up || key.key() == Qt::Key_Home;
    }

    QAbstractItemView *m_view;
};

} // namespace

void selectFirstRowOnFirstKey(QAbstractItemView *view)
{
    new FirstRowKeys(view);
}

} // namespace strelkavo
