// The customer import end to end: the real window, its run and the reference database.

#include "framework/TextInput.h"
#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/untCariImport.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

using namespace kelvra;

class tst_CariImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importsTurkishFileWithTheDefaultLayout_data();
    void importsTurkishFileWithTheDefaultLayout();
    void failingLineRollsBackTheWholeRun();
    void refusedStartLeavesEverythingUntouched_data();
    void refusedStartLeavesEverythingUntouched();
    void limitsAreNormalised_data();
    void limitsAreNormalised();
    void checkedItemTheProcedureLacksFailsTheFirstLine();

private:
    TfrmCariImport* openWindow();
    QStringList log() const;
    QString customers() const
    {
        return db->query("SELECT string_agg(carikodu || '|' || cariadi || '|' || coalesce(vergino, '') || '|' || "
                         "coalesce(indirim::text, ''), ',' ORDER BY carikodu) FROM tbl_cari");
    }
    void setItemChecked(const QString& parameter, bool checked);

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    TfrmCariImport* window = nullptr;
};

void tst_CariImport::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
    window = nullptr;
}

void tst_CariImport::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

TfrmCariImport* tst_CariImport::openWindow()
{
    window = ToolWindow::create<TfrmCariImport>(&frmCariImport);
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->edtFileName->setText(folder->file(QStringLiteral("cari.txt")));
    return window;
}

QStringList tst_CariImport::log() const
{
    // Each log line starts with the local date and time and " -> ".
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_CariImport::setItemChecked(const QString& parameter, bool checked)
{
    for (int i = 0; i < window->lstFields->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = window->lstFields->topLevelItem(i);
        if (item->text(1) == parameter)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void tst_CariImport::importsTurkishFileWithTheDefaultLayout_data()
{
    QTest::addColumn<QByteArray>("file");
    const QString text = QStringLiteral("C001;DEMİR TİCARET;1234567890;5\r\n"
                                        "C002;ÇAĞLAR GIDA ŞTİ.;9876543210;0\r\n"
                                        "\r\n"
                                        "C003;\"ÖZGÜR; IŞIK\";;12,5\r\n");
    QTest::newRow("windows-1254") << encodeLegacy(text);
    QTest::newRow("UTF-8 with byte order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QTest::newRow("UTF-8 without byte order mark") << text.toUtf8();
}

void tst_CariImport::importsTurkishFileWithTheDefaultLayout()
{
    QFETCH(QByteArray, file);
    folder->write(QStringLiteral("cari.txt"), file);
    openWindow();
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({"Cari Aktarımına Başlamak İstiyor musunuz?"}));
    QCOMPARE(customers(), QStringLiteral("C001|DEMİR TİCARET|1234567890|5.00,C002|ÇAĞLAR GIDA ŞTİ.|9876543210|0.00,"
                                         "C003|ÖZGÜR; IŞIK||12.50"));
    QCOMPARE(log(), QStringList({"Cari Aktarımı Başladı", "Aktarım Tamamlandı."}));
    QCOMPARE(window->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(window->pBar->value(), 0);
    // The user code reached the server as the connection's application name only.
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("USERCODE")), QStringLiteral("SERVIS"));
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("CARIFILENAME")), folder->file(QStringLiteral("cari.txt")));
    QVERIFY(QFile::exists(folder->file(QStringLiteral("CARILIST.FMT"))));
}

void tst_CariImport::failingLineRollsBackTheWholeRun()
{
    // The second line has no customer name: the procedure refuses it and the first line goes as well.
    folder->write(QStringLiteral("cari.txt"), "C001;DEMIR;1;5\r\nC002;;2;0\r\nC003;ÜÇ;3;0\r\n");
    openWindow();
    window->btnStart->click();

    QCOMPARE(db->query("SELECT count(*) FROM tbl_cari"), QStringLiteral("0"));
    const QStringList lines = log();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Cari Aktarımı Başladı"));
    QVERIFY2(lines[1].startsWith(QLatin1String("Hata : ")) && lines[1].size() > 7, qPrintable(lines[1]));
    QCOMPARE(lines[2], QStringLiteral("Satır : C002;;2;0"));
    QCOMPARE(window->lblInfo->text(), lines[1]);
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
}

void tst_CariImport::refusedStartLeavesEverythingUntouched_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("message");
    QTest::newRow("mandatory item unchecked")
        << "mandatory" << "Cari Kodu ve Cari Adı Alanları İşaretlenmesi Zorunlu Alanlardır.!";
    QTest::newRow("missing file") << "file" << "Dosya Bulunamadı.!";
    QTest::newRow("empty user code") << "user" << "Kullanıcı Bilgisi Boş Geçilemez.!";
    QTest::newRow("failed connection") << "connection" << "Veri Tabanına Bağlanılamadı.! Hata : ";
    QTest::newRow("answered No") << "no" << "Cari Aktarımına Başlamak İstiyor musunuz?";
}

void tst_CariImport::refusedStartLeavesEverythingUntouched()
{
    QFETCH(QString, refusal);
    QFETCH(QString, message);
    folder->write(QStringLiteral("cari.txt"), "C001;DEMIR;1;5\r\n");
    openWindow();
    window->mMoLog->setPlainText(QStringLiteral("önceki kayıt"));
    if (refusal == QLatin1String("mandatory"))
        setItemChecked(QStringLiteral("@CARIADI"), false);
    else if (refusal == QLatin1String("file"))
        window->edtFileName->setText(folder->file(QStringLiteral("yok.txt")));
    else if (refusal == QLatin1String("user"))
        window->edtUserCode->clear();
    else if (refusal == QLatin1String("connection"))
        window->edtConnStr->setText(QString(db->connectionString())
                                        .replace(QRegularExpression(QStringLiteral("Port=\\d+")), QStringLiteral("Port=1")));
    else
        boxes->answers = {false};
    window->btnStart->click();

    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->last().startsWith(message), qPrintable(boxes->last()));
    QCOMPARE(window->mMoLog->toPlainText(), QStringLiteral("önceki kayıt"));
    QVERIFY(!QFile::exists(settingsPath()));
    QVERIFY(!QFile::exists(folder->file(QStringLiteral("CARILIST.FMT"))));
    QCOMPARE(db->query("SELECT count(*) FROM tbl_cari"), QStringLiteral("0"));
}

void tst_CariImport::limitsAreNormalised_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey);
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
}

void tst_CariImport::limitsAreNormalised()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    // Checked in place, the credit limit sits between the tax number and the discount.
    folder->write(QStringLiteral("cari.txt"), "C001;DEMIR;123;10.000,50;7,5\r\n");
    openWindow();
    window->edtOndalik->setText(QStringLiteral(","));
    window->edtBasamak->setText(QStringLiteral("."));
    setItemChecked(QStringLiteral("@KREDILIMITI"), true);
    window->btnStart->click();

    QCOMPARE(log().last(), QStringLiteral("Aktarım Tamamlandı."));
    // The discount is passed exactly as read; only the limit was normalised.
    QCOMPARE(db->query("SELECT kredi_limiti || '|' || indirim FROM tbl_cari WHERE carikodu = 'C001'"),
             QStringLiteral("10000.50|7.50"));
}

void tst_CariImport::checkedItemTheProcedureLacksFailsTheFirstLine()
{
    folder->write(QStringLiteral("CARILIST.FMT"), encodeLegacy(QStringLiteral("CARİ KODU~@CARIKODU&1\r\n"
                                                                               "CARİ ADI~@CARIADI&1\r\n"
                                                                               "YOK~@YOKALAN&1\r\n")));
    folder->write(QStringLiteral("cari.txt"), "C001;DEMIR;x\r\nC002;ÇELİK;y\r\n");
    openWindow();
    window->btnStart->click();

    QCOMPARE(log(), QStringList({"Cari Aktarımı Başladı", "Hata : spDo: Parameter '@YOKALAN' not found",
                                 "Satır : C001;DEMIR;x"}));
    QCOMPARE(db->query("SELECT count(*) FROM tbl_cari"), QStringLiteral("0"));
}

QTEST_MAIN(tst_CariImport)
#include "tst_cariimport.moc"
