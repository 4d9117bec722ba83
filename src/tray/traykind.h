// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "traydecoder.h"

#include <QLoggingCategory>
#include <QObject>
#include <QPoint>

#include <functional>

namespace strelkavo {

// What the icon reports and what the program makes of it; off unless
// QT_LOGGING_RULES="strelkavo.tray.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcTray)

// An embedded icon reports the right button going down, but the menu belongs
// to its release over the icon. Once armed, this watches the application's
// events for the next release of the right button and reports whether it
// happened over the window that received it: while the button is held, that
// is the window that got the press, the icon's own.
class RightButtonRelease : public QObject
{
public:
    explicit RightButtonRelease(std::function<void(bool overIcon)> released,
                                QObject *parent = nullptr);
    ~RightButtonRelease() override;

    void arm();
    void disarm();
    bool armed() const { return m_armed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(bool)> m_released;
    bool m_armed = false;
};

} // namespace strelkavo
