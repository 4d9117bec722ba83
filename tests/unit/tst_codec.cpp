// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/codec.h"

#include <QStringDecoder>
#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

class TestCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bothWays_data();
    void bothWays();
    void codePage_data();
    void codePage();
};

// Both directions of one pair; a row without stored bytes (or without text)
// is refused the other way, at the 1-based position given.
void TestCodec::bothWays_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("refusedAt");

    QTest::newRow("every comma gets a blank") << "Y$Z$$"_ba << u"a, b, , "_s << 0;
    QTest::newRow("comma then a blank of its own") << "Y$\x18Z"_ba << u"a,  b"_s << 0;
    QTest::newRow("0xF8 runs past the code page") << "YZ\xf8"_ba << QString() << 3;
    QTest::newRow("first of two faults") << "YZ\x80\xfa"_ba << QString() << 3;
    QTest::newRow("emoji counts its first unit") << QByteArray() << u"a😀b"_s << 2;
}

// Decoding the stored bytes, and encoding the text without the blank that
// decoding puts after every comma, where the row gives them.
void TestCodec::bothWays()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(int, refusedAt);
    if (!stored.isNull()) {
        CodecFault fault{-1, {}};
        const QString expected = shown.isNull() ? u"(refused)"_s : shown;
        QCOMPARE(DeXKoduj(stored, &fault).value_or(u"(refused)"_s), expected);
        QCOMPARE(fault.position, refusedAt ? refusedAt : -1);
    }
    if (!shown.isNull()) {
        CodecFault fault{-1, {}};
        const QByteArray expected = stored.isNull() ? "(refused)"_ba : stored;
        QCOMPARE(XKoduj(shown.replace(u", "_s, u","_s), &fault).value_or("(refused)"), expected);
        QCOMPARE(fault.position, refusedAt ? refusedAt : -1);
    }
}

// Every code of the page against Qt's converter, which gives C1 controls for
// the five codes the page leaves undefined: those must neither decode nor
// encode. Codes below 8 have no stored byte.
void TestCodec::codePage_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("qt");
    QTest::addColumn<bool>("defined");

    QStringDecoder decoder("windows-1250", QStringConverter::Flag::Stateless);
    QVERIFY(decoder.isValid());
    for (int code = 0; code < 256; ++code) {
        const char byte = char(code);
        const QString qt = decoder.decode(QByteArrayView(&byte, 1));
        const bool defined = code != 0x81 && code != 0x83 && code != 0x88 && code != 0x90
            && code != 0x98;
        QTest::addRow("0x%02X", code) << code << qt << defined;
    }
}

void TestCodec::codePage()
{
    QFETCH(int, code);
    QFETCH(QString, qt);
    QFETCH(bool, defined);

    QCOMPARE(qt.size(), 1);
    const QByteArray stored(1, char(code - 8));
    const QByteArray encoded = XKoduj(qt).value_or("(refused)");
    CodecFault fault;
    const QString decoded = DeXKoduj(stored, &fault).value_or(u"(refused)"_s);
    if (!defined) {
        QCOMPARE(encoded, "(refused)");
        QCOMPARE(decoded, u"(refused)"_s);
        const QString byteThenCode =
            u"bajt 0x%1 daje kod 0x%2,"_s.arg(code - 8, 0, 16).arg(code, 0, 16);
        QVERIFY2(fault.what.startsWith(byteThenCode, Qt::CaseInsensitive), qPrintable(fault.what));
    } else if (code < 8) {
        QCOMPARE(encoded, "(refused)");
    } else {
        QCOMPARE(encoded, stored);
        QCOMPARE(decoded, code == ',' ? u", "_s : qt);
    }
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
