// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/datafiles.h"
#include "data/storedtext.h"

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
    void decode_data();
    void decode();
    void encode_data() { decode_data(); }
    void encode();
    void dataFileText_data();
    void dataFileText();
};

// Both directions of one pair; a row without stored bytes (or without text)
// is refused the other way, at the 1-based position given.
void TestCodec::decode_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("refusedAt");

    const auto [allStored, allShown] = everyDecodableByte();
    QTest::newRow("empty") << ""_ba << u""_s << 0;
    QTest::newRow("verb line") << "_]`]f\x1b_af_\x1b_]_Yf_]f"_ba << u"gehen#ging#gegangen"_s << 0;
    QTest::newRow("German letters") << "\xdc\xee\xf4\xd7"_ba << u"äöüß"_s << 0;
    QTest::newRow("Polish letters") << "\xab\x94\xa7\xb1"_ba << u"łśŻą"_s << 0;
    QTest::newRow("every comma gets a blank") << "Y$Z$$"_ba << u"a, b, , "_s << 0;
    QTest::newRow("comma then a blank of its own") << "Y$\x18Z"_ba << u"a,  b"_s << 0;
    QTest::newRow("the readers' blank, quote, comma") << " \",\x1a"_ba << u"(*4\""_s << 0;
    QTest::newRow("NUL, CR and LF") << "\0\r\n"_ba << u"\x08\x15\x12"_s << 0;
    QTest::newRow("all 243 decodable bytes") << allStored << allShown << 0;
    QTest::newRow("0xF8 runs past the code page") << "YZ\xf8"_ba << QString() << 3;
    QTest::newRow("undefined code after a comma") << "Y$\x79"_ba << QString() << 3;
    QTest::newRow("first of two faults") << "YZ\x80\xfa"_ba << QString() << 3;
    QTest::newRow("Cyrillic letter") << QByteArray() << u"abЖ"_s << 3;
    QTest::newRow("emoji counts its first unit") << QByteArray() << u"a😀b"_s << 2;
    QTest::newRow("C1 control of an undefined code") << QByteArray() << u"a\u0081"_s << 2;
    QTest::newRow("code below 8") << QByteArray() << u"gehen\x07"_s << 6;
}

void TestCodec::decode()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(int, refusedAt);
    if (stored.isNull())
        QSKIP("text for the encoder only");
    const QString expected = shown.isNull() ? u"(refused)"_s : shown;
    CodecFault fault{-1, {}};
    QCOMPARE(DeXKoduj(stored, &fault).value_or(u"(refused)"_s), expected);
    QCOMPARE(fault.position, refusedAt ? refusedAt : -1);
}

// The encoder takes the text without the blank that decoding puts after every comma.
void TestCodec::encode()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(int, refusedAt);
    if (shown.isNull())
        QSKIP("bytes for the decoder only");
    CodecFault fault{-1, {}};
    QCOMPARE(XKoduj(shown.replace(u", "_s, u","_s), &fault).value_or("(refused)"),
             stored.isNull() ? "(refused)"_ba : stored);
    QCOMPARE(fault.position, refusedAt ? refusedAt : -1);
}

// Text for the data files must come back from the program's readers as it
// was; what cannot is refused at the character to blame (0: taken).
void TestCodec::dataFileText_data()
{
    QTest::addColumn<bool>("word");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("refusedAt");

    QTest::newRow("line: letters, comma with blank") << false << u"łączyć, ß#ä#Ö"_s << 0;
    QTest::newRow("line: 4, * and ( are plain") << false << u"(4*)#\"#x"_s << 0;
    QTest::newRow("line: comma at the end") << false << u"ab,"_s << 3;
    QTest::newRow("line: second comma without blank") << false << u"a, b,c"_s << 5;
    QTest::newRow("line: place counts the dropped blank") << false << u"a, bЖ"_s << 5;
    QTest::newRow("line: stored as LF") << false << u"ab\x12"_s << 3;
    QTest::newRow("line: stored as CR") << false << u"a, \x15"_s << 4;
    QTest::newRow("word: comma with blank, inner parenthesis") << true << u"a, (b)"_s << 0;
    QTest::newRow("word: inner 4") << true << u"ab4c"_s << 3;
    QTest::newRow("word: *") << true << u"a*"_s << 2;
    QTest::newRow("word: leading (") << true << u"(ab"_s << 1;
    QTest::newRow("word: comma without blank") << true << u"ab,c"_s << 3;
}

void TestCodec::dataFileText()
{
    QFETCH(bool, word);
    QFETCH(QString, shown);
    QFETCH(int, refusedAt);

    CodecFault fault;
    const auto stored = word ? encodeWord(shown, &fault) : encodeLine(shown, &fault);
    QCOMPARE(stored ? 0 : fault.position, refusedAt);
    if (!stored)
        return;
    if (word) { // the word reader must take it as one whole field
        QList<QByteArray> fields;
        splitWordLine(*stored, [&](QByteArrayView f, qsizetype) { fields << f.toByteArray(); });
        QCOMPARE(fields, QList<QByteArray>{*stored});
    }
    QCOMPARE(DeXKoduj(*stored), std::optional<QString>(shown));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
