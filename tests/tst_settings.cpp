#include "framework/Error.h"
#include "framework/untGeneral.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTest>

using namespace kelvra;

class tst_Settings : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void missingFileReadsEmpty();
    void writeCreatesFileSectionAndKey();
    void writeKeepsOtherLines();
    void writeReplacesKeyWithoutRegardToCase();
    void roundTrip_data();
    void roundTrip();
    void writeIntoUtf16FileKeepsEveryKey();
    void longValueReadsCut();
    void writeToReadOnlyFileFails();
};

void tst_Settings::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QByteArray("[IMPORT]\r\nCONNSTR=abc\r\n") << "CONNSTR" << "abc";
    QTest::newRow("section and key ignore case") << QByteArray("[import]\r\nconnstr=abc\r\n") << "CONNSTR" << "abc";
    QTest::newRow("blanks around value dropped") << QByteArray("[IMPORT]\r\nBASAMAK=   \r\n") << "BASAMAK" << "";
    QTest::newRow("blanks around key") << QByteArray("[IMPORT]\r\n  USERCODE  =  u1  \r\n") << "USERCODE" << "u1";
    QTest::newRow("enclosing quotes dropped") << QByteArray("[IMPORT]\r\nK=\" a;b \"\r\n") << "K" << " a;b ";
    QTest::newRow("one pair only") << QByteArray("[IMPORT]\r\nK=\"\"x\"\"\r\n") << "K" << "\"x\"";
    QTest::newRow("unpaired quote kept") << QByteArray("[IMPORT]\r\nK=\"x\r\n") << "K" << "\"x";
    QTest::newRow("key in another section") << QByteArray("[OTHER]\r\nK=1\r\n[IMPORT]\r\nJ=2\r\n") << "K" << "";
    QTest::newRow("first of duplicate keys") << QByteArray("[IMPORT]\r\nK=1\r\nK=2\r\n") << "K" << "1";
    QTest::newRow("equals sign inside value") << QByteArray("[IMPORT]\r\nK=a=b\r\n") << "K" << "a=b";
    QTest::newRow("Windows-1254 value") << QByteArray("[IMPORT]\r\nK=\xDE\xFD\r\n") << "K" << "Şı";
    QTest::newRow("UTF-8 value with mark") << QByteArray("\xEF\xBB\xBF[IMPORT]\nK=Жук\n") << "K" << "Жук";
    QTest::newRow("no section") << QByteArray("K=1\r\n") << "K" << "";
    QTest::newRow("missing key") << QByteArray("[IMPORT]\r\n") << "K" << "";
    QTest::newRow("first of duplicate sections")
        << QByteArray("[IMPORT]\r\nK=1\r\n[OTHER]\r\nK=x\r\n[IMPORT]\r\nK=2\r\n") << "K" << "1";
    const QString turkish = QStringLiteral("[IMPORT]\r\nK=Şı\r\n");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : turkish) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    QTest::newRow("UTF-16 LE with mark") << le << "K" << "Şı";
    QTest::newRow("UTF-16 BE with mark") << be << "K" << "Şı";
    QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1a\n[IMPORT]\r\nK=1") << "K" << "1";
}

void tst_Settings::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, value);
    test::TempFolder folder;
    folder.write("Kelvra.ini", file);
    QCOMPARE(ReadSetting("IMPORT", key), value);
}

void tst_Settings::missingFileReadsEmpty()
{
    test::TempFolder folder;
    QCOMPARE(ReadSetting("IMPORT", "CONNSTR"), QString());
    QVERIFY(!QFile::exists(folder.file("Kelvra.ini")));
}

void tst_Settings::writeCreatesFileSectionAndKey()
{
    test::TempFolder folder;
    WriteSetting("IMPORT", "CONNSTR", "Provider=SQLOLEDB.1");
    WriteSetting("IMPORT", "USERCODE", "");
    QCOMPARE(folder.read("Kelvra.ini"), QByteArray("[IMPORT]\r\nCONNSTR=Provider=SQLOLEDB.1\r\nUSERCODE=\r\n"));
}

void tst_Settings::writeKeepsOtherLines()
{
    test::TempFolder folder;
    folder.write("Kelvra.ini", "; technician's note\n[OTHER]\nA=1\n\n[IMPORT]\nCONNSTR=old\nX=keep\n\n[LAST]\nB=2");
    WriteSetting("IMPORT", "USERCODE", "u");
    WriteSetting("IMPORT", "CONNSTR", "new");
    WriteSetting("NEW", "K", "v");
    QCOMPARE(folder.read("Kelvra.ini"),
             QByteArray("; technician's note\n[OTHER]\nA=1\n\n[IMPORT]\nCONNSTR=new\nX=keep\nUSERCODE=u\r\n\n"
                        "[LAST]\nB=2\r\n[NEW]\r\nK=v\r\n"));
    QCOMPARE(ReadSetting("OTHER", "A"), QString("1"));
    QCOMPARE(ReadSetting("LAST", "B"), QString("2"));
}

void tst_Settings::writeReplacesKeyWithoutRegardToCase()
{
    test::TempFolder folder;
    folder.write("Kelvra.ini", "[import]\r\nconnstr=old\r\n");
    WriteSetting("IMPORT", "CONNSTR", "new");
    QCOMPARE(ReadSetting("IMPORT", "CONNSTR"), QString("new"));
    QCOMPARE(folder.read("Kelvra.ini").count("CONNSTR="), 1);
}

void tst_Settings::roundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("Turkish letters in the code page") << "C:\\Veri\\ŞUBE İŞLEM.txt" << "C:\\Veri\\ŞUBE İŞLEM.txt";
    QTest::newRow("beyond the code page") << "Жук ŞEKER" << "Жук ŞEKER";
    QTest::newRow("a blank reads back empty") << " " << "";
    QTest::newRow("semicolons and quotes") << "a;\"b\";c" << "a;\"b\";c";
}

void tst_Settings::roundTrip()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    test::TempFolder folder;
    WriteSetting("IMPORT", "K", value);
    WriteSetting("IMPORT", "OTHER", "x");
    QCOMPARE(ReadSetting("IMPORT", "K"), readBack);
    QCOMPARE(ReadSetting("IMPORT", "OTHER"), QString("x"));
}

void tst_Settings::writeIntoUtf16FileKeepsEveryKey()
{
    // A file saved as Unicode by a text editor: the write keeps the other keys and their letters readable.
    test::TempFolder folder;
    const QString text = QStringLiteral("[IMPORT]\r\nCONNSTR=Жук;ŞUBE\r\nUSERCODE=u\r\n");
    QByteArray le("\xFF\xFE");
    for (QChar c : text) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
    }
    folder.write("Kelvra.ini", le);
    WriteSetting("IMPORT", "USERCODE", "İŞ");
    QCOMPARE(ReadSetting("IMPORT", "CONNSTR"), QStringLiteral("Жук;ŞUBE"));
    QCOMPARE(ReadSetting("IMPORT", "USERCODE"), QStringLiteral("İŞ"));
}

void tst_Settings::longValueReadsCut()
{
    test::TempFolder folder;
    const QString value = QString(3000, QLatin1Char('x'));
    WriteSetting("IMPORT", "CONNSTR", value);
    QCOMPARE(ReadSetting("IMPORT", "CONNSTR"), value.left(2047));
    QVERIFY(folder.read("Kelvra.ini").contains(value.toLatin1()));
}

void tst_Settings::writeToReadOnlyFileFails()
{
    test::TempFolder folder;
    folder.write("Kelvra.ini", "[IMPORT]\r\nCONNSTR=old\r\n");
    QFile::setPermissions(folder.file("Kelvra.ini"), QFile::ReadOwner);
    try {
        WriteSetting("IMPORT", "CONNSTR", "new");
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.message(), "Unable to write to " + settingsPath());
    }
    QCOMPARE(ReadSetting("IMPORT", "CONNSTR"), QString("old"));
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
