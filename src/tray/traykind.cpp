// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "traykind.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

namespace strelkavo {

Q_LOGGING_CATEGORY(lcTray, "strelkavo.tray", QtInfoMsg)

RightButtonRelease::RightButtonRelease(std::function<void(bool)> released, QObject *parent)
    : QObject(parent)
    , m_released(std::move(released))
{
}

RightButtonRelease::~RightButtonRelease()
{
    disarm();
}

void RightButtonRelease::arm()
{
    if (m_armed || !QCoreApplication::instance())
        return;
    m_armed = true;
    QCoreApplication::instance()->installEventFilter(this);
}

void RightButtonRelease::disarm()
{
    if (!m_armed)
        return;
    m_armed = false;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool RightButtonRelease::eventFilter(QObject *watched, QEvent *event)
{
    // A release reaches the window first and then its widget; the window's
    // copy is the one whose position is relative to the window that had the
    // press.
    if (event->type() != QEvent::MouseButtonRelease || !watched->isWindowType())
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::RightButton)
        return false;
    const auto *window = static_cast<QWindow *>(watched);
    const bool overIcon = QRect(QPoint(), window->size()).contains(mouse->position().toPoint());
    disarm();
    m_released(overIcon);
    return false;
}

} // namespace strelkavo
