#include "data/codec.h"

#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Windows-1250 from 0x80 up, written out independently of any converter;
// 0 marks the five codes the code page leaves undefined. Below 0x80 the code
// page is ASCII.
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

char16_t windows1250(int code)
{
    return code < 0x80 ? char16_t(code) : kUpperHalf[code - 0x80];
}

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
    void decodeFaultPosition_data();
    void decodeFaultPosition();
    void encodeRefusal_data();
    void encodeRefusal();
};

// stored: bytes as in the file; shown: what decoding gives; typed: the text
// whose encoding is those bytes (differs from shown only by the blank that
// decoding puts after every comma).
void TestCodec::decode_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");

    QTest::newRow("empty") << QByteArray() << QString() << QString();
    QTest::newRow("ascii word") << QByteArray("_]`]f") << u"gehen"_s << u"gehen"_s;
    QTest::newRow("field separator") << QByteArray("\x1b") << u"#"_s << u"#"_s;
    QTest::newRow("verb line") << QByteArray("_]`]f\x1b_af_\x1b_]_Yf_]f")
                               << u"gehen#ging#gegangen"_s << u"gehen#ging#gegangen"_s;
    QTest::newRow("german letters") << QByteArray("\xdc\xee\xf4\xd7") << u"äöüß"_s
                                    << u"äöüß"_s;
    QTest::newRow("polish letters") << QByteArray("\xab\x94\xa7\xb1") << u"łśŻą"_s
                                    << u"łśŻą"_s;
    QTest::newRow("euro sign from 0x78") << QByteArray("x") << u"€"_s << u"€"_s;
    QTest::newRow("comma gets a blank") << QByteArray("$") << u", "_s << u","_s;
    QTest::newRow("two commas") << QByteArray("Y$Z$$") << u"a, b, , "_s << u"a,b,,"_s;
    QTest::newRow("comma then blank") << QByteArray("Y$\x18Z") << u"a,  b"_s << u"a, b"_s;
    QTest::newRow("stored blank is a parenthesis") << QByteArray(" ") << u"("_s << u"("_s;
    QTest::newRow("stored quote is an asterisk") << QByteArray("\"") << u"*"_s << u"*"_s;
    QTest::newRow("stored comma is a four") << QByteArray(",") << u"4"_s << u"4"_s;
    QTest::newRow("stored 0x1A is a double quote") << QByteArray("\x1a") << u"\""_s << u"\""_s;
    QTest::newRow("stored CR and LF are controls")
        << QByteArray("\r\n") << QString(QChar(0x15)) + QChar(0x12)
        << QString(QChar(0x15)) + QChar(0x12);
    QTest::newRow("stored NUL") << QByteArray(1, '\0') << QString(QChar(8)) << QString(QChar(8));
    QTest::newRow("highest decodable") << QByteArray("\xf7") << u"˙"_s << u"˙"_s;
}

void TestCodec::decode()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    CodecFault fault{-1, {}};
    const auto result = DeXKoduj(stored, &fault);
    QVERIFY(result.has_value());
    QCOMPARE(*result, shown);
    QCOMPARE(fault.position, -1); // success leaves the fault alone
}

void TestCodec::encode()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, typed);
    const auto result = XKoduj(typed);
    QVERIFY(result.has_value());
    QCOMPARE(*result, stored);
}

void TestCodec::roundTrip()
{
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    const auto stored = XKoduj(typed);
    QVERIFY(stored.has_value());
    QCOMPARE(DeXKoduj(*stored), std::optional<QString>(shown));
}

void TestCodec::everyStoredByte()
{
    int decodable = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const QByteArray stored(1, char(byte));
        CodecFault fault;
        const auto shown = DeXKoduj(stored, &fault);
        const char16_t expected = byte + 8 < 256 ? windows1250(byte + 8) : 0;
        const QByteArray where = "stored byte 0x" + QByteArray::number(byte, 16);
        if (expected == 0) {
            QVERIFY2(!shown.has_value(), where.constData());
            QVERIFY2(fault.position == 1, where.constData());
            QVERIFY2(!fault.what.isEmpty(), where.constData());
            continue;
        }
        ++decodable;
        QVERIFY2(shown.has_value(), where.constData());
        const QString expectedText =
            expected == u',' ? u", "_s : QString(QChar(expected));
        QVERIFY2(*shown == expectedText, where.constData());
        // Encoding the character gives the byte back (the comma's blank aside).
        const auto back = XKoduj(QString(QChar(expected)));
        QVERIFY2(back == std::optional<QByteArray>(stored), where.constData());
    }
    // 0xF8..0xFF run past the code page; 0x79, 0x7B, 0x80, 0x88 and 0x90 land
    // on its undefined codes.
    QCOMPARE(decodable, 256 - 8 - 5);
    QCOMPARE(DeXKoduj(QByteArray("\xdc")), std::optional<QString>(u"ä"_s));
    QCOMPARE(DeXKoduj(QByteArray("\x1b")), std::optional<QString>(u"#"_s));
    QCOMPARE(DeXKoduj(QByteArray("\x24")), std::optional<QString>(u", "_s));
}

void TestCodec::decodeFaultPosition_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("position");

    QTest::newRow("0xF8 first") << QByteArray("\xf8YZ") << 1;
    QTest::newRow("0xFF last") << QByteArray("YZ\xff") << 3;
    QTest::newRow("undefined 0x81 after a comma") << QByteArray("Y$\x79") << 3;
    QTest::newRow("undefined 0x98 in the middle") << QByteArray("Y\x90Z") << 2;
    QTest::newRow("first of two faults") << QByteArray("YZ\x80\xfa") << 3;
}

void TestCodec::decodeFaultPosition()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, position);
    CodecFault fault;
    QVERIFY(!DeXKoduj(stored, &fault).has_value());
    QCOMPARE(fault.position, position);
    QVERIFY(!fault.what.isEmpty());
}

void TestCodec::encodeRefusal_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");

    QTest::newRow("cyrillic letter") << u"abЖ"_s << 3;
    QTest::newRow("letter of another code page") << u"æ"_s << 1;
    QTest::newRow("emoji counts its first unit") << u"a😀b"_s << 2;
    QTest::newRow("C1 control behind an undefined code") << u"a"_s + QChar(0x81) << 2;
    QTest::newRow("NUL") << QString(QChar(0)) << 1;
    QTest::newRow("code 7") << u"gehen"_s + QChar(7) << 6;
    QTest::newRow("tab is fine, bell is not") << u"\t"_s + QChar(7) << 2;
}

void TestCodec::encodeRefusal()
{
    QFETCH(QString, shown);
    QFETCH(int, position);
    CodecFault fault;
    QVERIFY(!XKoduj(shown, &fault).has_value());
    QCOMPARE(fault.position, position);
    QVERIFY(!fault.what.isEmpty());
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
