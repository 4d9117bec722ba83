# SPDX-FileCopyrightText: 2026 The Strelkavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The planted faults: (tests that catch it, name, file, text, replacement).
The first occurrence of the text becomes the replacement; rows that share a
name are one fault planted in several places."""

FAST = "unit|widgets|verbs"
CODEC, STORED, FILES = "src/data/codec.cpp", "src/data/storedtext.cpp", "src/data/datafiles.cpp"
ROWS, LETTERS, SEARCH = "src/table/rows.cpp", "src/table/letters.h", "src/table/search.cpp"
DECODER, KIND, TRAY = "src/tray/traydecoder.cpp", "src/tray/traykind.cpp", "src/tray/trayicon.cpp"
FRAME = "src/x11/frameextents.cpp"
WINDOW, VERBROWS, ICON = "src/app/frmMain.cpp", "src/app/verbrows.h", "src/icon/icon.cpp"
DATA, ICONS = "tools/strelkavo-data.cpp", "tools/strelkavo-icons.cpp"

FAULTS = [
    (FAST, "decoder shifts by 9", CODEC, "uchar(stored[i]) + kShift", "uchar(stored[i]) + kShift + 1"),
    (FAST, "undefined code 0x81 decoded", CODEC, "0x20AC, kNoChar,", "0x20AC, 0x0081,"),
    (FAST, "Ł and ł swapped in the table", CODEC, "0x00A0, 0x02C7, 0x02D8, 0x0141", "0x00A0, 0x02C7, 0x02D8, 0x0142"),
    (FAST, "codec message: byte and code swapped", CODEC, ".arg(hexByte(uchar(stored[i])), hexByte(code))", ".arg(hexByte(code), hexByte(uchar(stored[i])))"),
    (FAST, "search word may hold 4", STORED, "shown[i] == u'4' || ", ""),
    (FAST, "stored CR let through", STORED, "byte == '\\n' || byte == '\\r'", "byte == '\\n'"),
    (FAST, "last line without line end not counted", FILES, "++lines;", "{}"),
    (FAST, "x#y#z#w split at the last #", FILES, "line.indexOf(u'#', p1 + 1)", "line.lastIndexOf(u'#')"),
    (FAST, "field 3 keeps its #", FILES, "row[2] = line.sliced(p2 + 1)", "row[2] = line.sliced(p2)"),
    (FAST, "short file: error names the last good line", FILES, "LoadError{path, filled + 1,", "LoadError{path, filled,"),
    (FAST, "CR kept in the line", FILES, "    if (line.endsWith('\\r'))", "    if (false)"),
    (FAST, "verb line error names the line before", FILES, "error = undecodable(path, filled + 1, fault);", "error = undecodable(path, filled, fault);"),
    (FAST, "word error names the field's character", FILES, "fault.position += offset;", "fault.position += 0 * offset;"),
    (FAST, "message: line and character swapped", FILES, ".arg(file, QString::number(line), QString::number(column), what)", ".arg(file, QString::number(column), QString::number(line), what)"),
    (FAST, "padding one short", ROWS, "kFieldWidth - field.size()", "kFieldWidth - field.size() - 1"),
    (FAST, "box holds 11 characters", LETTERS, "kSearchMaxLength = 10", "kSearchMaxLength = 11"),
    (FAST, "C locale: words in code-point order", SEARCH, "collator(locale.language() == QLocale::C ? wordFileLocale() : locale)", "collator(locale)"),
    (FAST, "word list in code-point order", SEARCH, "collator.compare(a, b) < 0", "a.compare(b, collator.caseSensitivity()) < 0"),
    (FAST, "search tree takes the left child only", SEARCH, "std::min(m_minTree[2 * node], m_minTree[2 * node + 1])", "m_minTree[2 * node]"),
    (FAST, "decoder restores on left down", DECODER, "case TrayCode::LeftDoubleClick:", "case TrayCode::LeftDown:"),
    (FAST, "busy flag not cleared", DECODER, "~ClearBusy() { flag = false; }", "~ClearBusy() {}"),
    ("e2e_tint2", "release watch never reports", KIND, "    m_released(overIcon);", ""),
    ("e2e_tint2", "lost tray not told", TRAY, "    Q_EMIT trayLost();", ""),
    ("e2e_xfce4-panel|e2e_lxqt-panel", "bus host gets no menu", TRAY, "        m_icon->setContextMenu(m_menu);", ""),
    (FAST, "close leaves the lists", WINDOW, "Form_Unload();\n    event->accept();", "event->accept();"),
    (FAST, "search reads the box before its yield", WINDOW, "    if (m_searchDepth == 0) {", "    const QString early = Szukaj->text();\n    if (m_searchDepth == 0) {"),
    (FAST, "search reads the box before its yield", WINDOW, "toLower(Szukaj->text());\n    const auto row", "toLower(early);\n    const auto row"),
    (FAST, "search lowers ASCII only", WINDOW, "QLocale::system().toLower(Szukaj->text())", "QString::fromUtf8(Szukaj->text().toUtf8().toLower())"),
    (FAST, "letter inserted at the caret", WINDOW, "appendLetter(Szukaj->text(), Command3[index]->text())", "Szukaj->text().insert(Szukaj->cursorPosition(), Command3[index]->text())"),
    (FAST, "focus not returned to the box", WINDOW, "    Szukaj->deselect();\n    Szukaj->setFocus(Qt::OtherFocusReason);", "    Szukaj->deselect();"),
    (FAST, "WWW opens nothing", WINDOW, "    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)));\n", ""),
    (FAST, "tab order: WWW after zwiń", WINDOW, "setTabOrder(Szukaj, Command1);\n    setTabOrder(Command1, Command2);\n    setTabOrder(Command2, Command3[0]);", "setTabOrder(Szukaj, Command2);\n    setTabOrder(Command2, Command1);\n    setTabOrder(Command1, Command3[0]);"),
    (FAST, "list rows 16 pixels", VERBROWS, "kVerbRowPixels = 15", "kVerbRowPixels = 16"),
    ("e2e_hostile", "toolkit asked beside a mute watcher", TRAY, "    if (m_watcher->watcherSilent())\n", "    if (false)\n"),
    ("e2e_hostile", "icon counted before a panel embeds it", TRAY, "    m_iconWindow = embeddableIconWindow();\n", "    confirm();\n    m_iconWindow = embeddableIconWindow();\n"),
    ("e2e_kded-tint2", "bus item counted before a host reads it", TRAY, "    if (m_kind == TrayKind::StatusNotifier)\n        return;", "    if (m_kind == TrayKind::StatusNotifier)\n        return confirm();"),
    ("e2e_kded-xfce4-panel", "hosts not asked again when a peer leaves", TRAY, "connect(m_watcher, &WatcherOnBus::peerLeft, this, &TrayIcon::askHosts);", "{}"),
    ("e2e_kded-xfce4-panel", "hosts asked on the program's own connection", TRAY, "    itemConnection().send(", "    QDBusConnection::sessionBus().send("),
    ("e2e_lxqt-panel", "activation lost to a menu never closed", TRAY, "if (m_menuWait && code == TrayCode::LeftDoubleClick) {", "if (false) {"),
    ("e2e_hostile", "frame of any width believed", FRAME, "side >= 0 && side < widest", "side >= 0"),
    ("e2e_mutter", "zwiń may not minimise", WINDOW, "allowMinimise(windowHandle(), true);", "allowMinimise(windowHandle(), false);"),
    ("e2e_mutter", "minimise left allowed after a task list restores", WINDOW, "        allowMinimise(windowHandle(), false);\n        Szukaj->setFocus", "        Szukaj->setFocus"),
    ("e2e_mutter", "frame not put back after the tray", WINDOW, "        move(*m_placeBeforeTray);", "        {}"),
    ("e2e_tint2", "caret left on zwiń after a minimise", WINDOW, "        allowMinimise(windowHandle(), false);\n        Szukaj->setFocus(Qt::OtherFocusReason);", "        allowMinimise(windowHandle(), false);"),
    ("e2e_window", "window resizable", WINDOW, "setFixedSize(kClientSize);", "resize(kClientSize);"),
    ("e2e_tint2", "restore does not focus the box", WINDOW, "    activateWindow();\n    Szukaj->setFocus(Qt::OtherFocusReason);", "    activateWindow();"),
    ("e2e_tint2", "Zamknij does not close", WINDOW, "    UsuńZTraja();\n    close();", "    UsuńZTraja();"),
    ("e2e_tint2", "zwiń without a tray hides the window", WINDOW, "showMinimized();", "hide();"),
    ("e2e_tint2", "restored window left iconic", WINDOW, "    clearIconicStart(windowHandle());\n", ""),
    ("e2e_badfiles", "load failure exits 0", "src/app/main.cpp", "        return 1;", "        return 0;"),
    ("e2e_package", "icon tool: sizes in one folder", ICONS, "%1x%1/apps", "apps"),
    ("e2e_package", "icon tool: failure exits 0", ICONS, "    return 1;\n}", "    return 0;\n}"),
    (FAST, "data tool: failure exits 0", DATA, "    return 1;\n}", "    return 0;\n}"),
    (FAST, "data tool: words encoded as lines", DATA, "encodeWord(field, &fault)", "encodeLine(field, &fault)"),
    (FAST, "data tool: words in code-point order", DATA, "sortWordList(distinct, wordListCollator(wordFileLocale()));", "distinct.sort(Qt::CaseInsensitive);"),
]
