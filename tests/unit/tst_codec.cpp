// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/codec.h"

#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Windows-1250 from 0x80 up, written out independently of any converter;
// 0 marks the five codes the code page leaves undefined. Below 0x80 it is ASCII.
constexpr char16_t kUpperHalf[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, // 80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data();
    void decode();
    void encode_data() { decode_data(); }
    void encode();
    void roundTrip_data() { decode_data(); }
    void roundTrip();
    void everyStoredByte();
    void refusal_data();
    void refusal();
};

void TestCodec::decode_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("verb line") << QByteArray("_]`]f\x1b_af_\x1b_]_Yf_]f")
                               << u"gehen#ging#gegangen"_s;
    QTest::newRow("german letters") << QByteArray("\xdc\xee\xf4\xd7") << u"äöüß"_s;
    QTest::newRow("polish letters") << QByteArray("\xab\x94\xa7\xb1") << u"łśŻą"_s;
    QTest::newRow("euro sign from 0x78") << QByteArray("x") << u"€"_s;
    QTest::newRow("every comma gets a blank") << QByteArray("Y$Z$$") << u"a, b, , "_s;
    QTest::newRow("comma then blank") << QByteArray("Y$\x18Z") << u"a,  b"_s;
    QTest::newRow("reader's blank, quote and comma bytes")
        << QByteArray(" \",\x1a") << u"(*4\""_s;
    QTest::newRow("stored NUL, CR and LF are controls")
        << QByteArray("\0\r\n", 3) << QString(QChar(8)) + QChar(0x15) + QChar(0x12);
    QTest::newRow("highest decodable") << QByteArray("\xf7") << u"˙"_s;
}

void TestCodec::decode()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    CodecFault fault{-1, {}};
    QCOMPARE(DeXKoduj(stored, &fault).value_or(u"(refused)"_s), shown);
    QCOMPARE(fault.position, -1); // success leaves the fault alone
}

// Encoding takes the text without the blank that decoding puts after every comma.
void TestCodec::encode()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QCOMPARE(XKoduj(shown.replace(u", "_s, u","_s)).value_or("(refused)"), stored);
}

void TestCodec::roundTrip()
{
    QFETCH(QString, shown);
    const auto stored = XKoduj(QString(shown).replace(u", "_s, u","_s));
    QVERIFY(stored);
    QCOMPARE(DeXKoduj(*stored).value_or(u"(refused)"_s), shown);
}

void TestCodec::everyStoredByte()
{
    int decodable = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const QByteArray stored(1, char(byte));
        const int code = byte + 8;
        const char16_t expected = code > 255 ? 0 : code < 0x80 ? code : kUpperHalf[code - 0x80];
        const QByteArray where = "stored byte 0x" + QByteArray::number(byte, 16);
        CodecFault fault;
        const auto shown = DeXKoduj(stored, &fault);
        if (expected == 0) {
            QVERIFY2(!shown && fault.position == 1 && !fault.what.isEmpty(), where.constData());
            continue;
        }
        ++decodable;
        const QString text = expected == u',' ? u", "_s : QString(QChar(expected));
        QVERIFY2(shown == text, where.constData());
        QVERIFY2(XKoduj(QString(QChar(expected))) == stored, where.constData());
    }
    // 0xF8..0xFF run past the code page; five bytes land on its undefined codes.
    QCOMPARE(decodable, 256 - 8 - 5);
}

// Either stored bytes that will not decode or text that will not encode, and
// the 1-based place of the first fault.
void TestCodec::refusal_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");

    QTest::newRow("decode: 0xFF last") << QByteArray("YZ\xff") << QString() << 3;
    QTest::newRow("decode: undefined code after a comma") << QByteArray("Y$\x79") << QString() << 3;
    QTest::newRow("decode: first of two faults") << QByteArray("YZ\x80\xfa") << QString() << 3;
    QTest::newRow("encode: cyrillic letter") << QByteArray() << u"abЖ"_s << 3;
    QTest::newRow("encode: emoji counts its first unit") << QByteArray() << u"a😀b"_s << 2;
    QTest::newRow("encode: C1 control behind an undefined code")
        << QByteArray() << u"a"_s + QChar(0x81) << 2;
    QTest::newRow("encode: code below 8") << QByteArray() << u"gehen"_s + QChar(7) << 6;
}

void TestCodec::refusal()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(int, position);
    CodecFault fault;
    if (stored.isEmpty())
        QVERIFY(!XKoduj(shown, &fault).has_value());
    else
        QVERIFY(!DeXKoduj(stored, &fault).has_value());
    QCOMPARE(fault.position, position);
    QVERIFY(!fault.what.isEmpty());
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
