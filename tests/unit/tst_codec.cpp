// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/codec.h"

#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Windows-1250 from 0x80 up, written out by hand, without the five codes it
// leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98).
const QString kUpperHalf = u"€‚„…†‡‰Š‹ŚŤŽŹ‘’“”•–—™š›śťžź"
                           u"\u00A0ˇ˘Ł¤Ą¦§¨©Ş«¬\u00AD®Ż°±˛ł´µ¶·¸ąş»Ľ˝ľż"
                           u"ŔÁÂĂÄĹĆÇČÉĘËĚÍÎĎĐŃŇÓÔŐÖ×ŘŮÚŰÜÝŢß"
                           u"ŕáâăäĺćçčéęëěíîďđńňóôőö÷řůúűüýţ˙"_s;

// Every byte that decodes, in order, and what it decodes to.
std::pair<QByteArray, QString> everyDecodableByte()
{
    QByteArray stored;
    QString shown;
    for (int byte = 0; byte < 0xF8; ++byte) {
        const int code = byte + 8;
        if (code == 0x81 || code == 0x83 || code == 0x88 || code == 0x90 || code == 0x98)
            continue;
        stored += char(byte);
        if (code < 0x80)
            shown += QChar(code) + QString(code == ',' ? u" "_s : QString());
    }
    return {stored, shown + kUpperHalf};
}

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bothWays_data();
    void bothWays();
};

// Both directions of one pair; a row without stored bytes (or without text)
// is refused the other way, at the 1-based position given.
void TestCodec::bothWays_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("refusedAt");

    const auto [allStored, allShown] = everyDecodableByte();
    QTest::newRow("empty") << ""_ba << u""_s << 0;
    QTest::newRow("every comma gets a blank") << "Y$Z$$"_ba << u"a, b, , "_s << 0;
    QTest::newRow("comma then a blank of its own") << "Y$\x18Z"_ba << u"a,  b"_s << 0;
    QTest::newRow("all 243 decodable bytes") << allStored << allShown << 0;
    QTest::newRow("0xF8 runs past the code page") << "YZ\xf8"_ba << QString() << 3;
    QTest::newRow("first of two faults") << "YZ\x80\xfa"_ba << QString() << 3;
    QTest::newRow("emoji counts its first unit") << QByteArray() << u"a😀b"_s << 2;
    QTest::newRow("C1 control of an undefined code") << QByteArray() << u"a\u0081"_s << 2;
    QTest::newRow("code below 8") << QByteArray() << u"gehen\x07"_s << 6;
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

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
