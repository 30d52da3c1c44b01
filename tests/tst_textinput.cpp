#include "framework/Error.h"
#include "framework/TextInput.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <QTest>

using namespace kelvra;

class tst_TextInput : public QObject
{
    Q_OBJECT
private slots:
    void splitFields_data();
    void splitFields();
    void decode_data();
    void decode();
    void lines_data();
    void lines();
    void normalise_data();
    void normalise();
    void unreadableFile();
    void legacyEncodingRoundTrip();
};

void tst_TextInput::splitFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << "C001;DEMIR TICARET;1234567890;5"
                           << QStringList{"C001", "DEMIR TICARET", "1234567890", "5"};
    QTest::newRow("empty line has no field") << "" << QStringList{};
    QTest::newRow("lone separator") << ";" << QStringList{"", ""};
    QTest::newRow("two separators in a row") << "a;;b" << QStringList{"a", "", "b"};
    QTest::newRow("separator first") << ";a" << QStringList{"", "a"};
    QTest::newRow("separator last") << "a;b;" << QStringList{"a", "b", ""};
    QTest::newRow("blanks and tabs kept") << " a \t; b " << QStringList{" a \t", " b "};
    QTest::newRow("quoted with separator") << "\"a;b\";c" << QStringList{"a;b", "c"};
    QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\";x" << QStringList{"say \"hi\"", "x"};
    QTest::newRow("text after closing quote") << "\"ab\"cd;e" << QStringList{"ab", "cd", "e"};
    QTest::newRow("quoted then separator last") << "\"ab\";" << QStringList{"ab", ""};
    QTest::newRow("quoted alone") << "\"ab\"" << QStringList{"ab"};
    QTest::newRow("empty quoted") << "\"\";x" << QStringList{"", "x"};
    QTest::newRow("unclosed quote takes the rest") << "a;\"b;c\"\"d" << QStringList{"a", "b;c\"d"};
    QTest::newRow("quote inside a field is ordinary") << "a\"b;c\"" << QStringList{"a\"b", "c\""};
    QTest::newRow("Turkish letters") << "ÇĞİÖŞÜ;çğıöşü" << QStringList{"ÇĞİÖŞÜ", "çğıöşü"};
}

void tst_TextInput::splitFields()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(kelvra::splitFields(line), fields);
}

void tst_TextInput::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    const QString turkish = QStringLiteral("ŞEKER ığüşöçİ");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : turkish) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QTest::newRow("Windows-1254") << QByteArray("\xDE" "EKER \xFD\xF0\xFC\xFE\xF6\xE7\xDD") << turkish
                                  << int(TextEncoding::Legacy);
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + turkish.toUtf8() << turkish
                                     << int(TextEncoding::Utf8Bom);
    QTest::newRow("UTF-8 without mark") << turkish.toUtf8() << turkish << int(TextEncoding::Utf8);
    QTest::newRow("UTF-16 LE") << le << turkish << int(TextEncoding::Utf16LE);
    QTest::newRow("UTF-16 BE") << be << turkish << int(TextEncoding::Utf16BE);
    QTest::newRow("plain ASCII") << QByteArray("abc;1") << QString("abc;1") << int(TextEncoding::Legacy);
    QTest::newRow("NUL ends the text") << QByteArray("ab\0cd", 5) << QString("ab") << int(TextEncoding::Legacy);
    QTest::newRow("NUL ends UTF-16") << QByteArray("\xFF\xFE" "a\0\0\0b\0", 8) << QString("a")
                                     << int(TextEncoding::Utf16LE);
    // A driver would pair a lone surrogate with the next character and store a different letter.
    QTest::newRow("lone high surrogate in UTF-16 LE replaced")
        << QByteArray("\xFF\xFE" "a\0\x00\xD8" "b\0", 8) << QString("a") + QChar(0xFFFD) + "b"
        << int(TextEncoding::Utf16LE);
    QTest::newRow("lone low surrogate in UTF-16 BE replaced")
        << QByteArray("\xFE\xFF" "\xDC\x00\0a", 6) << QString(QChar(0xFFFD)) + "a" << int(TextEncoding::Utf16BE);
    QTest::newRow("high surrogate last in UTF-16 replaced")
        << QByteArray("\xFF\xFE" "a\0\x3D\xD8", 6) << QString("a") + QChar(0xFFFD) << int(TextEncoding::Utf16LE);
    QTest::newRow("surrogate pair kept") << QByteArray("\xFF\xFE" "\x3D\xD8\x00\xDE", 6)
                                         << QString::fromUtf8("\xF0\x9F\x98\x80") << int(TextEncoding::Utf16LE);
    QTest::newRow("invalid UTF-8 falls back to the code page")
        << QByteArray("\xC3\xBC\xFD") << QString::fromUtf8("Ã¼ı") << int(TextEncoding::Legacy);
    QTest::newRow("empty") << QByteArray() << QString() << int(TextEncoding::Legacy);
}

void tst_TextInput::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, encoding);
    const DecodedText decoded = decodeText(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(int(decoded.encoding), encoding);
}

void tst_TextInput::lines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CRLF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lone CR") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("lone LF") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("mixed") << "a\r\nb\rc\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("blank line in the middle") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("LF CR is two line ends") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("empty text") << "" << QStringList{};
    QTest::newRow("only a line end") << "\r\n" << QStringList{""};
}

void tst_TextInput::lines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitLines(text), lines);
}

void tst_TextInput::normalise_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("grouping");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("localeDecimal");
    QTest::addColumn<QString>("result");
    QTest::newRow("Turkish locale") << "1.234,56" << "." << "," << "," << "1234,56";
    QTest::newRow("English locale") << "1.234,56" << "." << "," << "." << "1234.56";
    QTest::newRow("file in English form") << "10,000.50" << "," << "." << "," << "10000,50";
    QTest::newRow("empty grouping removes nothing") << "1.234,5" << "" << "," << "." << "1.234.5";
    QTest::newRow("empty decimal replaces nothing") << "1.234,5" << "." << "" << "," << "1234,5";
    QTest::newRow("multi-character symbols") << "1ab234" << "ab" << "" << "," << "1234";
    QTest::newRow("non-overlapping left to right") << "aaa" << "aa" << "" << "," << "a";
    QTest::newRow("letters compared exactly") << "1X5x" << "x" << "" << "," << "1X5";
}

void tst_TextInput::normalise()
{
    QFETCH(QString, text);
    QFETCH(QString, grouping);
    QFETCH(QString, decimal);
    QFETCH(QString, localeDecimal);
    QFETCH(QString, result);
    QCOMPARE(normaliseNumber(text, grouping, decimal, localeDecimal), result);
}

void tst_TextInput::unreadableFile()
{
    test::TempFolder folder;
    try {
        readTextFile(folder.file("missing.txt"));
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY2(e.message().contains(folder.file("missing.txt")), qPrintable(e.message()));
    }
    try {
        readTextFile(folder.path());
        QFAIL("a folder read as a file");
    } catch (const Error&) {
    }
}

void tst_TextInput::legacyEncodingRoundTrip()
{
    const QString turkish = QStringLiteral("ÇĞİÖŞÜ çğıöşü €");
    bool lossless = false;
    const QByteArray bytes = encodeLegacy(turkish, &lossless);
    QVERIFY(lossless);
    QCOMPARE(decodeText(bytes).text, turkish);
    QCOMPARE(encodeForFile(turkish), bytes);

    const QString cyrillic = QStringLiteral("Жук");
    encodeLegacy(cyrillic, &lossless);
    QVERIFY(!lossless);
    QVERIFY(encodeForFile(cyrillic).startsWith("\xEF\xBB\xBF"));
    QCOMPARE(decodeText(encodeForFile(cyrillic)).text, cyrillic);
}

QTEST_GUILESS_MAIN(tst_TextInput)
#include "tst_textinput.moc"
