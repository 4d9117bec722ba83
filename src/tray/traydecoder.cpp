// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "traydecoder.h"

namespace strelkavo {

qint32 callbackCode(TrayActivation reason, TrayKind kind)
{
    switch (reason) {
    case TrayActivation::DoubleClick:
        return TrayCode::LeftDoubleClick;
    case TrayActivation::Trigger:
        return kind == TrayKind::StatusNotifier ? TrayCode::LeftDoubleClick : TrayCode::LeftDown;
    case TrayActivation::Context:
        return kind == TrayKind::StatusNotifier ? TrayCode::RightUp : TrayCode::RightDown;
    case TrayActivation::MiddleClick:
        return TrayCode::MiddleDown;
    case TrayActivation::Unknown:
        break;
    }
    return TrayCode::MouseMove;
}

void TrayCallbackDecoder::callback(qint32 code, const Actions &actions)
{
    m_lastCode = code;
    if (m_busy)
        return;
    m_busy = true;
    struct ClearBusy {
        bool &flag;
        ~ClearBusy() { flag = false; }
    } clearBusy{m_busy};

    switch (m_lastCode) {
    case TrayCode::LeftDoubleClick:
        actions.restore();
        break;
    case TrayCode::RightUp:
        actions.popupMenu();
        break;
    default:
        break;
    }
}

} // namespace strelkavo
