// Odd and hostile input, and the server going away, on the real windows against the reference database: each
// case ends in a message, a logged line failure or a correct import, never a crash, a hang or a silent loss.

#include "framework/FieldLayout.h"
#include "framework/TextInput.h"
#include "framework/untGeneral.h"
#include "support/LoopbackProxy.h"
#include "support/TestSupport.h"
#include "tools/untCariImport.h"
#include "tools/untCariSil.h"

#include <QDir>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace kelvra;

namespace {

QByteArray utf16le(const QString& text)
{
    QByteArray bytes("\xFF\xFE");
    for (QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

// Types text key by key; QTest::keyClicks takes Latin-1 letters only.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

QString throughProxy(const QString& connText, quint16 port)
{
    return QString(connText).replace(QRegularExpression(QStringLiteral("Port=\\d+")),
                                     QStringLiteral("Port=%1").arg(port));
}

} // namespace

class tst_Hostile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void inputFiles_data();
    void inputFiles();
    void folderGivenAsInputFile();
    void layoutFileOf10000Items();
    void layoutFileOfBinaryJunk();
    void deletionRunLosesItsServer();
    void lookupServerGoneBetweenTwoLookups();

private:
    TfrmCariImport* openImport();
    QString customers() const
    {
        return db->query("SELECT string_agg(carikodu || '|' || cariadi, ',' ORDER BY carikodu) FROM tbl_cari");
    }

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    QWidget* window = nullptr;
};

void tst_Hostile::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
    window = nullptr;
}

void tst_Hostile::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

TfrmCariImport* tst_Hostile::openImport()
{
    auto* w = ToolWindow::create<TfrmCariImport>(&frmCariImport);
    window = w;
    w->edtConnStr->setText(db->connectionString());
    w->edtUserCode->setText(QStringLiteral("SERVIS"));
    w->edtFileName->setText(folder->file(QStringLiteral("cari.txt")));
    return w;
}

void tst_Hostile::inputFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("customers");  // what the database holds afterwards
    QTest::addColumn<QString>("failedLine"); // the "Satır : " line of a failed run; empty when the run succeeds

    // The text ends at the first NUL; what comes before it is a line like any other, and fails as one.
    QTest::newRow("binary file") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x01\x02\xFF", 19) << QString()
                                 << QStringLiteral("Satır : ‰PNG");
    QTest::newRow("bytes invalid as UTF-8 are read in the code page")
        << QByteArray("C1;\xC3\x28"
                      "ABC\r\nC2;\xDE"
                      "EKER\r\n")
        << QStringLiteral("C1|Ã(ABC,C2|ŞEKER") << QString();
    // A lone surrogate is read as a replacement character; the driver must not pair it with the B after it.
    QTest::newRow("lone surrogate in UTF-16")
        << utf16le(QStringLiteral("C1;İYİ\r\nC2;A") + QChar(0xD800) + QStringLiteral("B\r\n"))
        << QStringLiteral("C1|İYİ,C2|A") + QChar(0xFFFD) + QStringLiteral("B") << QString();
    const QString longLine = QStringLiteral("C1;") + QString(100000, QLatin1Char('A'));
    QTest::newRow("line of 100,000 characters")
        << (longLine + QStringLiteral("\r\nC2;B\r\n")).toLatin1() << QString() << QStringLiteral("Satır : ") + longLine;
    QTest::newRow("CR-only and mixed line ends") << QStringLiteral("C1;BİR\rC2;İKİ\r\nC3;ÜÇ\n\rC4;DÖRT").toUtf8()
                                                 << QStringLiteral("C1|BİR,C2|İKİ,C3|ÜÇ,C4|DÖRT") << QString();
    QByteArray wide("C1;GENIS;123;5");
    for (int i = 5; i <= 150; ++i)
        wide += ";x" + QByteArray::number(i);
    QTest::newRow("150 fields on a line") << wide << QStringLiteral("C1|GENIS") << QString();
    QTest::newRow("1,000,000 lines") << QByteArray("\r\n").repeated(999999) + "C1;SON" << QStringLiteral("C1|SON")
                                     << QString();
}

void tst_Hostile::inputFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, customers);
    QFETCH(QString, failedLine);
    folder->write(QStringLiteral("cari.txt"), file);
    TfrmCariImport* w = openImport();
    w->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({"Cari Aktarımına Başlamak İstiyor musunuz?"}));
    QCOMPARE(this->customers(), customers);
    const QStringList log = test::logTexts(w->mMoLog);
    QVERIFY(!log.isEmpty());
    QCOMPARE(log.first(), QStringLiteral("Cari Aktarımı Başladı"));
    if (failedLine.isEmpty()) {
        QCOMPARE(log.value(1), QStringLiteral("Aktarım Tamamlandı."));
        QCOMPARE(w->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
    } else {
        QVERIFY2(log.value(1).startsWith(QLatin1String("Hata : ")) && log.value(1).size() > 7,
                 qPrintable(log.value(1).left(200)));
        QCOMPARE(log.value(2), failedLine);
        QVERIFY(!log.contains(QStringLiteral("Aktarım Tamamlandı.")));
        QCOMPARE(w->lblInfo->text(), log.value(1));
    }
    QCOMPARE(w->ConnDB.transactionLevel(), 0);
}

void tst_Hostile::folderGivenAsInputFile()
{
    QDir(folder->path()).mkdir(QStringLiteral("cari.txt"));
    TfrmCariImport* w = openImport();
    w->btnStart->click();
    QCOMPARE(boxes->texts(), QStringList({"Dosya Bulunamadı.!"}));
    QVERIFY(!QFile::exists(folder->file(QStringLiteral("Kelvra.ini"))));
    QCOMPARE(w->mMoLog->toPlainText(), QString());
}

void tst_Hostile::layoutFileOf10000Items()
{
    // The mandatory items come first and pass; 10,000 checked items are more than the procedure call can take.
    QString layout = QStringLiteral("CARİ KODU~@CARIKODU&1\r\nCARİ ADI~@CARIADI&1\r\n");
    for (int i = 0; i < 10000; ++i)
        layout += QStringLiteral("ALAN %1~@ALAN%1&1\r\n").arg(i);
    const QByteArray bytes = encodeLegacy(layout);
    folder->write(QStringLiteral("CARILIST.FMT"), bytes);
    folder->write(QStringLiteral("cari.txt"), "C1;BIR\r\n");
    TfrmCariImport* w = openImport();
    QCOMPARE(w->lstFields->topLevelItemCount(), 10002);
    QCOMPARE(w->lstFields->topLevelItem(10001)->text(1), QStringLiteral("@ALAN9999"));
    w->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({"En Fazla 101 Alan İşaretlenebilir.!"}));
    QCOMPARE(customers(), QString());
    QCOMPARE(folder->read(QStringLiteral("CARILIST.FMT")), bytes);
}

void tst_Hostile::layoutFileOfBinaryJunk()
{
    QRandomGenerator random(20261210);
    QByteArray junk(8192, Qt::Uninitialized);
    for (char& c : junk)
        c = char(random.bounded(256));
    junk.replace('\0', '\x01'); // NUL would end the text early; the junk is meant to be read whole
    folder->write(QStringLiteral("CARILIST.FMT"), junk);
    folder->write(QStringLiteral("cari.txt"), "C1;BIR\r\n");
    TfrmCariImport* w = openImport();
    QVERIFY(w->lstFields->topLevelItemCount() > 0);
    w->btnStart->click();

    // The junk names no customer code or name, so nothing mandatory is left unchecked; its parameter names are
    // no procedure's, and the first line fails on them.
    QCOMPARE(boxes->texts(), QStringList({"Cari Aktarımına Başlamak İstiyor musunuz?"}));
    const QStringList log = test::logTexts(w->mMoLog);
    QCOMPARE(log.size(), 3);
    QVERIFY2(log[1].startsWith(QLatin1String("Hata : ")), qPrintable(log[1]));
    QCOMPARE(log[2], QStringLiteral("Satır : C1;BIR"));
    QCOMPARE(customers(), QString());
}

void tst_Hostile::deletionRunLosesItsServer()
{
    db->query("INSERT INTO tbl_cari_grup (grupadi) VALUES ('TOPLU');"
              "INSERT INTO tbl_cari (carikodu, cariadi, cari_grup_id) SELECT 'T' || lpad(i::text, 3, '0'), 'AD', "
              "(SELECT id FROM tbl_cari_grup WHERE grupadi = 'TOPLU') FROM generate_series(1, 300) i");
    test::LoopbackProxy proxy(quint16(test::TestDatabase::serverPort().toUInt()));
    auto* w = ToolWindow::create<TfrmCariSil>(&frmCariSil);
    window = w;
    w->edtConnStr->setText(throughProxy(db->connectionString(), proxy.port()));
    w->edtUserCode->setText(QStringLiteral("SERVIS"));
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->edtGrupOzelKod->setFocus(Qt::TabFocusReason);
    typeText(w->edtGrupOzelKod, QStringLiteral("TOPLU"));
    w->btnStart->setFocus(Qt::TabFocusReason);
    QVERIFY(!w->edtGrupOzelKodID->text().isEmpty());

    // The run pumps messages on every row: the timer cuts the link once a hundred rows are done.
    QTimer cutter;
    cutter.setInterval(0);
    connect(&cutter, &QTimer::timeout, [&]() {
        if (w->pBar->value() >= 100) {
            proxy.cut();
            cutter.stop();
        }
    });
    cutter.start();
    w->btnStart->click();

    const QStringList log = test::logTexts(w->mMoLog);
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0], QStringLiteral("Cari Silme İşlemi Başladı"));
    QVERIFY2(log[1].startsWith(QLatin1String("Hata : Cari Kodu = T")), qPrintable(log[1]));
    QVERIFY2(w->lblInfo->text().startsWith(QLatin1String("Hata : ")), qPrintable(w->lblInfo->text()));
    const int left = db->query("SELECT count(*) FROM tbl_cari").toInt();
    QVERIFY2(left > 150 && left < 300, qPrintable(QString::number(left)));

    // The next start connects afresh and deletes the rest.
    w->btnStart->click();
    QCOMPARE(test::logTexts(w->mMoLog).value(1), QStringLiteral("Silme İşlemi Tamamlandı."));
    QCOMPARE(db->query("SELECT count(*) FROM tbl_cari"), QStringLiteral("0"));
}

void tst_Hostile::lookupServerGoneBetweenTwoLookups()
{
    db->query("INSERT INTO tbl_cari_grup (grupadi) VALUES ('BİRİNCİ'), ('İKİNCİ');"
              "INSERT INTO tbl_cari (carikodu, cariadi, cari_grup_id) "
              "SELECT 'K1', 'AD', id FROM tbl_cari_grup WHERE grupadi = 'BİRİNCİ'");
    auto proxy = std::make_unique<test::LoopbackProxy>(quint16(test::TestDatabase::serverPort().toUInt()));
    auto* w = ToolWindow::create<TfrmCariSil>(&frmCariSil);
    window = w;
    w->edtConnStr->setText(throughProxy(db->connectionString(), proxy->port()));
    w->edtUserCode->setText(QStringLiteral("SERVIS"));
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->edtGrupOzelKod->setFocus(Qt::TabFocusReason);
    typeText(w->edtGrupOzelKod, QStringLiteral("BİRİNCİ"));
    w->btnStart->setFocus(Qt::TabFocusReason);
    QVERIFY(!w->edtGrupOzelKodID->text().isEmpty());

    // The server goes away; the technician changes the name and leaves the edit again.
    proxy.reset();
    w->edtGrupOzelKod->setFocus(Qt::TabFocusReason);
    w->edtGrupOzelKod->selectAll();
    QTest::keyClick(w->edtGrupOzelKod, Qt::Key_Backspace);
    typeText(w->edtGrupOzelKod, QStringLiteral("İKİNCİ"));
    w->btnStart->setFocus(Qt::TabFocusReason);
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->last().startsWith(QStringLiteral("Veri Tabanına Bağlanılamadı.! Hata : ")),
             qPrintable(boxes->last()));
    QCOMPARE(w->edtGrupOzelKodID->text(), QString());

    // No ID: the run refuses, and nothing of the first group is deleted under the second one's name.
    w->btnStart->click();
    QCOMPARE(boxes->last(), QStringLiteral("Grup Adı Bilgisi Boş Geçilemez.!"));
    QCOMPARE(db->query("SELECT count(*) FROM tbl_cari"), QStringLiteral("1"));
}

QTEST_MAIN(tst_Hostile)
#include "tst_hostile.moc"
