// The stock import end to end: the real window, its run and the reference database.

#include "app/untMain.h"
#include "framework/TextInput.h"
#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/untStokImport.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace kelvra;

class tst_StokImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowAndLauncher();
    void importsFileWithTheDefaultLayout_data();
    void importsFileWithTheDefaultLayout();
    void tooLongCodeOrBarcodeSkipsTheLine_data();
    void tooLongCodeOrBarcodeSkipsTheLine();
    void existingItem_data();
    void existingItem();
    void tartiliFlagSentOnlyWhenSet_data();
    void tartiliFlagSentOnlyWhenSet();
    void noUpdateSettingReadsItsLowestByte_data();
    void noUpdateSettingReadsItsLowestByte();
    void mandatoryItems_data();
    void mandatoryItems();
    void failingLineRollsBackTheWholeRun();

private:
    TfrmStokImport* openWindow();
    QStringList log() const;
    QString stocks() const
    {
        return db->query(
            "SELECT string_agg(s.stokkodu || '|' || s.stokadi || '|' || s.perakende_kdv || '|' || s.birim1 "
            "|| '|' || coalesce((SELECT string_agg(b.barkod, '+' ORDER BY b.barkod) FROM tbl_stok_barkod b "
            "WHERE b.stok_id = s.id), ''), ',' ORDER BY s.stokkodu) FROM tbl_stok s");
    }
    void setItemChecked(const QString& parameter, bool checked);
    void writeLayout(const QStringList& parameters);

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    TfrmStokImport* window = nullptr;
};

void tst_StokImport::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
    window = nullptr;
}

void tst_StokImport::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

TfrmStokImport* tst_StokImport::openWindow()
{
    window = ToolWindow::create<TfrmStokImport>(&frmStokImport);
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->edtFileName->setText(folder->file(QStringLiteral("stok.txt")));
    return window;
}

QStringList tst_StokImport::log() const
{
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_StokImport::setItemChecked(const QString& parameter, bool checked)
{
    for (int i = 0; i < window->lstFields->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = window->lstFields->topLevelItem(i);
        if (item->text(1) == parameter)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

// A layout file whose checked items are these parameters, in this order.
void tst_StokImport::writeLayout(const QStringList& parameters)
{
    QString text;
    for (const QString& parameter : parameters)
        text += parameter.mid(1) + QLatin1Char('~') + parameter + QStringLiteral("&1\r\n");
    folder->write(QStringLiteral("STOKLIST.FMT"), encodeLegacy(text));
}

void tst_StokImport::windowAndLauncher()
{
    openWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Stok Aktarımı"));
    QCOMPARE(window->size(), QSize(299, 684));
    QCOMPARE(window->btnStart->text(), QStringLiteral("Stok Aktarımına Başla"));
    QCOMPARE(window->chkStokUpdate->text(), QStringLiteral("Stok Mevcut İse Güncelleme Yapılmasın"));
    QCOMPARE(window->sLabel1->text(), QStringLiteral("Tartılı Flag"));
    QCOMPARE(window->sLabel2->text(), QStringLiteral("Örn.: 27,29"));
    // The flag's row stands between the file name and the user code, the check box between the symbols and
    // lblInfo, and nothing overlaps.
    QVERIFY(window->edtFileName->geometry().bottom() < window->edtTart->y());
    QVERIFY(window->edtTart->geometry().bottom() < window->edtUserCode->y());
    QVERIFY(window->edtTart->geometry().right() < window->sLabel2->x());
    QVERIFY(window->edtBasamak->geometry().bottom() < window->chkStokUpdate->y());
    QVERIFY(window->chkStokUpdate->geometry().bottom() < window->lblInfo->y());
    QVERIFY(window->lblInfo->geometry().bottom() < window->lstFields->y());

    const QStringList chain = {"edtConnStr", "edtFileName",   "edtTart", "edtUserCode", "edtOndalik",
                               "edtBasamak", "chkStokUpdate", "btnUp",   "btnDown",     "lstFields",
                               "btnStart",   "btnClose",      "mMoLog"};
    QWidget* at = window->edtConnStr;
    for (qsizetype i = 1; i < chain.size(); ++i) {
        do
            at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus || !chain.contains(at->objectName()));
        QCOMPARE(at->objectName(), chain[i]);
    }
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window = nullptr;

    // Button 1 of the main window opens a fresh stock import window and sets its reference.
    TfrmMain main;
    main.edtPassword->setText(QStringLiteral("40516273"));
    QString title;
    bool isStokImport = false;
    QTimer::singleShot(0, [&]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        title = modal->windowTitle();
        isStokImport = qobject_cast<TfrmStokImport*>(modal) && frmStokImport == modal;
        modal->close();
    });
    QTest::mouseClick(main.button(1), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(title, QStringLiteral("Stok Aktarımı"));
    QVERIFY(isStokImport);
    QCOMPARE(frmStokImport, nullptr);
}

void tst_StokImport::importsFileWithTheDefaultLayout_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("grouping");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("prices"); // margin;purchase;sales columns of the first line
    // Only the FIYAT columns are normalised: the margin keeps its grouping symbol and is read as a fraction.
    QTest::newRow("Turkish, dot grouping") << QLocale(QLocale::Turkish, QLocale::Turkey) << "."
                                           << ","
                                           << "1.250;1.234,5;1.250";
    QTest::newRow("Turkish, comma grouping") << QLocale(QLocale::Turkish, QLocale::Turkey) << ","
                                             << "."
                                             << "1,250;1,234.5;1,250";
    QTest::newRow("English, dot grouping") << QLocale(QLocale::English, QLocale::UnitedStates) << "."
                                           << ","
                                           << "1.250;1.234,5;1.250";
}

void tst_StokImport::importsFileWithTheDefaultLayout()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, grouping);
    QFETCH(QString, decimal);
    QFETCH(QString, prices);
    QLocale::setDefault(locale);
    // Checked in place: the margin after the first unit, then the two prices.
    const QString text = QStringLiteral("S001;ÇAY 1 KG;10;PAKET;") + prices +
                         QStringLiteral("\r\n"
                                        "\r\n"
                                        "S002;\"ŞEKER; KÜP\";1;KOLİ\r\n");
    folder->write(QStringLiteral("stok.txt"), encodeLegacy(text));
    openWindow();
    window->edtBasamak->setText(grouping);
    window->edtOndalik->setText(decimal);
    window->edtTart->setText(QStringLiteral("27,29"));
    setItemChecked(QStringLiteral("@KARYUZDE"), true);
    setItemChecked(QStringLiteral("@ALISFIYATI"), true);
    setItemChecked(QStringLiteral("@SATISFIYATI"), true);
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({"Stok Aktarımına Başlamak İstiyor musunuz?"}));
    QCOMPARE(log(), QStringList({"Stok Aktarımı Başladı", "Aktarım Tamamlandı."}));
    QCOMPARE(stocks(), QStringLiteral("S001|ÇAY 1 KG|10.00|PAKET|,S002|ŞEKER; KÜP|1.00|KOLİ|"));
    QCOMPARE(db->query("SELECT string_agg(f.fiyat_tip_id || '=' || f.fiyat, ',' ORDER BY f.fiyat_tip_id) "
                       "FROM tbl_stok_fiyat f JOIN tbl_stok s ON s.id = f.stok_id WHERE s.stokkodu = 'S001'"),
             QStringLiteral("1=1234.5000,2=1250.0000"));
    QCOMPARE(db->query("SELECT kar_yuzde FROM tbl_stok WHERE stokkodu = 'S001'"), QStringLiteral("1.2500"));
    QCOMPARE(window->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
    // The two keys of this window stand with the others.
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("STOKFILENAME")),
             folder->file(QStringLiteral("stok.txt")));
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("TARTILI")), QStringLiteral("27,29"));
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("STOKNOUPDATE")), QStringLiteral("0"));
    QVERIFY(QFile::exists(folder->file(QStringLiteral("STOKLIST.FMT"))));
}

void tst_StokImport::tooLongCodeOrBarcodeSkipsTheLine_data()
{
    QTest::addColumn<QStringList>("layout"); // empty: the default layout
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("stocks");
    QTest::addColumn<QStringList>("skipped");

    const QString code20 = QStringLiteral("A2345678901234567890");
    const QString code21 = code20 + QLatin1Char('1');
    const QString skip =
        QStringLiteral(" İSİMLİ STOK 20 HANEDEN UZUN STOK KODU YADA BARKODUNDAN DOLAYI İÇERİ ALINAMADI");
    QTest::newRow("stock code of 21 characters")
        << QStringList() << "S001;ÇAY;10;ADET\r\n" + code21 + ";UZUN KOD;10;ADET\r\n" + code20 + ";YİRMİ;10;ADET\r\n"
        << code20 + "|YİRMİ|10.00|ADET|,S001|ÇAY|10.00|ADET|"
        << QStringList{"STOK KODU : " + code21 + " STOKADI : UZUN KOD" + skip};
    // The log line names the stock code and name, not the barcode.
    QTest::newRow("barcode of 21 characters")
        << QStringList{"@STOKKODU", "@BARKOD", "@STOKADI", "@PERAKENDEKDV"}
        << "S001;869000000000000000001;ÇAY;10\r\nS002;86900000000000000002;ŞEKER;1\r\n"
        << "S002|ŞEKER|1.00|ADET|86900000000000000002" << QStringList{"STOK KODU : S001 STOKADI : ÇAY" + skip};
    // A line without the name column names the name of the last line that had one.
    QTest::newRow("short line names the remembered name")
        << QStringList() << "S001;ÇAY;10;ADET\r\n" + code21 + "\r\n"
        << "S001|ÇAY|10.00|ADET|" << QStringList{"STOK KODU : " + code21 + " STOKADI : ÇAY" + skip};
    // The skipped line's long barcode must not reach the procedure with the next, shorter line: it would fail
    // there and take the whole run with it.
    QTest::newRow("skipped line leaves no value for the next line")
        << QStringList{"@STOKKODU", "@STOKADI", "@PERAKENDEKDV", "@BARKOD"}
        << "S001;ÇAY;10;869000000000000000001\r\nS002;ŞEKER;1\r\n"
        << "S002|ŞEKER|1.00|ADET|" << QStringList{"STOK KODU : S001 STOKADI : ÇAY" + skip};
}

void tst_StokImport::tooLongCodeOrBarcodeSkipsTheLine()
{
    QFETCH(QStringList, layout);
    QFETCH(QString, file);
    QFETCH(QString, stocks);
    QFETCH(QStringList, skipped);
    if (!layout.isEmpty())
        writeLayout(layout);
    folder->write(QStringLiteral("stok.txt"), encodeLegacy(file));
    openWindow();
    window->btnStart->click();

    QCOMPARE(log(), QStringList{"Stok Aktarımı Başladı"} + skipped + QStringList{"Aktarım Tamamlandı."});
    QCOMPARE(this->stocks(), stocks);
    QCOMPARE(window->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
}

void tst_StokImport::existingItem_data()
{
    QTest::addColumn<bool>("noUpdate");
    QTest::addColumn<QString>("stocks");
    QTest::addColumn<QStringList>("logged");
    QTest::newRow("Evet: left unchanged and logged")
        << true << "S001|ESKİ AD|18.00|ADET|,S002|YENİ|1.00|ADET|"
        << QStringList{"STOK KODU : S001 STOKADI : YENİ AD İSİMLİ STOK MEVCUT OLDUĞUNDAN DOLAYI GÜNCELLENMEDİ"};
    QTest::newRow("Hayır: updated without a word")
        << false << "S001|YENİ AD|10.00|KG|,S002|YENİ|1.00|ADET|" << QStringList();
}

void tst_StokImport::existingItem()
{
    QFETCH(bool, noUpdate);
    QFETCH(QString, stocks);
    QFETCH(QStringList, logged);
    db->query("INSERT INTO tbl_stok (stokkodu, stokadi, perakende_kdv) VALUES ('S001', 'ESKİ AD', 18)");
    folder->write(QStringLiteral("stok.txt"),
                  encodeLegacy(QStringLiteral("S001;YENİ AD;10;KG\r\nS002;YENİ;1;ADET\r\n")));
    openWindow();
    window->chkStokUpdate->setChecked(noUpdate);
    window->btnStart->click();

    QCOMPARE(log(), QStringList{"Stok Aktarımı Başladı"} + logged + QStringList{"Aktarım Tamamlandı."});
    QCOMPARE(this->stocks(), stocks);
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("STOKNOUPDATE")),
             noUpdate ? QStringLiteral("1") : QStringLiteral("0"));
}

void tst_StokImport::tartiliFlagSentOnlyWhenSet_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("weighed");
    // Without its own TARTILI column an item is weighed when its barcode starts with one of the flag's prefixes.
    QTest::newRow("empty") << ""
                           << "S001|false,S002|false,S003|false";
    QTest::newRow("27,29") << "27,29"
                           << "S001|true,S002|false,S003|true";
    QTest::newRow("untrimmed 27") << " 27 "
                                  << "S001|true,S002|false,S003|false";
}

void tst_StokImport::tartiliFlagSentOnlyWhenSet()
{
    QFETCH(QString, flag);
    QFETCH(QString, weighed);
    writeLayout({"@STOKKODU", "@BARKOD", "@STOKADI", "@PERAKENDEKDV"});
    folder->write(QStringLiteral("stok.txt"),
                  "S001;2712345;PEYNIR;1\r\nS002;8690001;SU;1\r\nS003;2900001;ZEYTIN;1\r\n");
    openWindow();
    window->edtTart->setText(flag);
    window->btnStart->click();

    QCOMPARE(log().last(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(db->query("SELECT string_agg(stokkodu || '|' || tartili, ',' ORDER BY stokkodu) FROM tbl_stok"), weighed);
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("TARTILI")), flag.trimmed());
}

void tst_StokImport::noUpdateSettingReadsItsLowestByte_data()
{
    QTest::addColumn<QByteArray>("value"); // the line of the settings file, or empty for none
    QTest::addColumn<bool>("checked");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("1") << QByteArray("STOKNOUPDATE=1") << true;
    QTest::newRow("0") << QByteArray("STOKNOUPDATE=0") << false;
    QTest::newRow("256") << QByteArray("STOKNOUPDATE=256") << false;
    QTest::newRow("257") << QByteArray("STOKNOUPDATE=257") << true;
    QTest::newRow("-1") << QByteArray("STOKNOUPDATE=-1") << true;
    QTest::newRow("not a number") << QByteArray("STOKNOUPDATE=Evet") << false;
}

void tst_StokImport::noUpdateSettingReadsItsLowestByte()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, checked);
    folder->write(QStringLiteral("Kelvra.ini"), "[IMPORT]\r\nTARTILI= 27,29\r\n" + value + "\r\n");
    openWindow();
    QCOMPARE(window->chkStokUpdate->isChecked(), checked);
    QCOMPARE(window->edtTart->text(), QStringLiteral("27,29"));
}

void tst_StokImport::mandatoryItems_data()
{
    QTest::addColumn<QString>("unchecked");
    QTest::addColumn<bool>("refused");
    QTest::newRow("STOK KODU") << "@STOKKODU" << true;
    QTest::newRow("STOK ADI") << "@STOKADI" << true;
    QTest::newRow("PERAKENDE KDV") << "@PERAKENDEKDV" << true;
    QTest::newRow("BIRIM1 is not mandatory") << "@BIRIM1" << false;
}

void tst_StokImport::mandatoryItems()
{
    QFETCH(QString, unchecked);
    QFETCH(bool, refused);
    folder->write(QStringLiteral("stok.txt"), "S001;ÇAY;10\r\n");
    openWindow();
    setItemChecked(unchecked, false);
    boxes->answers = {false};
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList{refused ? "Stok Kodu, Stok Adı, Perakende KDV Alanları İşaretlenmesi Zorunlu "
                                                   "Alanlardır.!"
                                                 : "Stok Aktarımına Başlamak İstiyor musunuz?"});
    QVERIFY(!QFile::exists(settingsPath()));
    QVERIFY(window->mMoLog->toPlainText().isEmpty());
    QCOMPARE(db->query("SELECT count(*) FROM tbl_stok"), QStringLiteral("0"));
}

void tst_StokImport::failingLineRollsBackTheWholeRun()
{
    // The second line's VAT rate is out of range: the first line goes with the run, the third is never read.
    folder->write(QStringLiteral("stok.txt"),
                  encodeLegacy(QStringLiteral("S001;ÇAY;10;ADET\r\nS002;ŞEKER;180;ADET\r\nS003;UN;1;KG\r\n")));
    openWindow();
    window->btnStart->click();

    const QStringList lines = log();
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[1].startsWith(QLatin1String("Hata : ")) && lines[1].contains(QLatin1String("KDV")),
             qPrintable(lines[1]));
    QCOMPARE(lines[2], QStringLiteral("Satır : S002;ŞEKER;180;ADET"));
    QCOMPARE(window->lblInfo->text(), lines[1]);
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(db->query("SELECT count(*) FROM tbl_stok"), QStringLiteral("0"));
}

QTEST_MAIN(tst_StokImport)
#include "tst_stokimport.moc"
