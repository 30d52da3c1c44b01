// The customer and stock opening-balance windows end to end: the real windows, their runs and the reference
// database.

#include "framework/Controls.h"
#include "framework/TextInput.h"
#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/OpeningBalance.h"
#include "tools/PickList.h"
#include "tools/untCariDevirImport.h"
#include "tools/untStokDevirImport.h"

#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

using namespace kelvra;

class tst_DevirImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void documentCodeFromDateAndTime_data();
    void documentCodeFromDateAndTime();
    void dateEditStartsWithToday_data();
    void dateEditStartsWithToday();

    void customerDocumentLandsWithItsCode_data();
    void customerDocumentLandsWithItsCode();
    void stockDocumentForTheChosenWarehouse();
    void emptyFileStillWritesTheDocument();
    void failingLineLeavesNoPartOfTheDocument_data();
    void failingLineLeavesNoPartOfTheDocument();
    void headerFailureLogsOnlyTheHeaderLine();
    void refusedStartWritesNothing_data();
    void refusedStartWritesNothing();
    void stockIdentifierRule_data();
    void stockIdentifierRule();

    void warehousesFromTheListProcedure();
    void warehouseButtonIsIgnoredDuringARun();

private:
    ToolWindow* open(const QString& kind);
    TfrmStokDevirImport* openStock() { return static_cast<TfrmStokDevirImport*>(open(QStringLiteral("stok"))); }
    QStringList log() const;
    void setItemChecked(const QString& parameter, bool checked);
    QString documents() const
    {
        return db->query("SELECT coalesce(string_agg(islemtipi || '|' || coalesce(d.depokodu, '-') || '|' || "
                         "(belgetarihi = current_date), ',' ORDER BY m.id), '') "
                         "FROM tbl_devir_main m LEFT JOIN tbl_depo d ON d.id = m.depo_id");
    }
    QString lines() const
    {
        return db->query("SELECT coalesce(string_agg(coalesce(c.carikodu, s.stokkodu) || '|' || "
                         "coalesce(l.barkod, '') || '|' || l.bakiye || '|' || coalesce(l.birim_fiyati::text, ''), ',' "
                         "ORDER BY l.id), '') FROM tbl_devir_detay l LEFT JOIN tbl_cari c ON c.id = l.cari_id "
                         "LEFT JOIN tbl_stok s ON s.id = l.stok_id");
    }

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    QPointer<ToolWindow> window;
};

void tst_DevirImport::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    db->query(
        "INSERT INTO tbl_cari (carikodu, cariadi) VALUES ('C001', 'DEMİR'), ('C002', 'ÇELİK'), "
        "('K''1.5', 'ÖZ'); "
        "INSERT INTO tbl_stok (stokkodu, stokadi) VALUES ('S001', 'UN'), ('S002', 'ŞEKER'); "
        "INSERT INTO tbl_stok_barkod (stok_id, barkod) SELECT id, 'B''2.5' FROM tbl_stok WHERE stokkodu = 'S002'");
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
}

void tst_DevirImport::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

ToolWindow* tst_DevirImport::open(const QString& kind)
{
    if (kind == QLatin1String("cari"))
        window = ToolWindow::create<TfrmCariDevirImport>(&frmCariDevirImport);
    else
        window = ToolWindow::create<TfrmStokDevirImport>(&frmStokDevirImport);
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->edtFileName->setText(folder->file(QStringLiteral("devir.txt")));
    return window;
}

QStringList tst_DevirImport::log() const
{
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_DevirImport::setItemChecked(const QString& parameter, bool checked)
{
    for (int i = 0; i < window->lstFields->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = window->lstFields->topLevelItem(i);
        if (item->text(1) == parameter)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void tst_DevirImport::documentCodeFromDateAndTime_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("code");
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    QTest::newRow("Turkish") << turkish << "27.04.2020" << QTime(14, 35, 7) << "DEVIR_27042020_1435";
    QTest::newRow("Turkish, morning") << turkish << "01.02.2021" << QTime(9, 5, 0) << "DEVIR_01022021_0905";
    // Only the locale's own separator goes; whatever else the date edit shows stays in the code.
    QTest::newRow("foreign separator stays") << turkish << "27/04/2020" << QTime(14, 35, 7) << "DEVIR_27/04/2020_1435";
    // A long time format without leading zero: the first four characters are what they are.
    QTest::newRow("US English") << QLocale(QLocale::English, QLocale::UnitedStates) << "04/27/2020" << QTime(14, 35, 7)
                                << "DEVIR_04272020_2350";
}

void tst_DevirImport::documentCodeFromDateAndTime()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, date);
    QFETCH(QTime, time);
    QFETCH(QString, code);
    QCOMPARE(documentCode(date, time, locale), code);
}

void tst_DevirImport::dateEditStartsWithToday_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("format");
    QTest::newRow("customer, Turkish") << "cari" << QLocale(QLocale::Turkish, QLocale::Turkey) << "dd.MM.yyyy";
    QTest::newRow("stock, Turkish") << "stok" << QLocale(QLocale::Turkish, QLocale::Turkey) << "dd.MM.yyyy";
    QTest::newRow("customer, US English") << "cari" << QLocale(QLocale::English, QLocale::UnitedStates) << "MM/dd/yyyy";
    QTest::newRow("customer, German") << "cari" << QLocale(QLocale::German, QLocale::Germany) << "dd.MM.yyyy";
}

void tst_DevirImport::dateEditStartsWithToday()
{
    QFETCH(QString, kind);
    QFETCH(QLocale, locale);
    QFETCH(QString, format);
    QLocale::setDefault(locale);
    // A settings file holding a date under any key does not change what the window starts with.
    WriteSetting(QStringLiteral("IMPORT"), QStringLiteral("TARIH"), QStringLiteral("01.01.2001"));
    open(kind);
    auto* edtTarih = window->findChild<DateEdit*>(QStringLiteral("edtTarih"));
    QVERIFY(edtTarih);
    QVERIFY(edtTarih->calendarPopup());
    QCOMPARE(edtTarih->text(), QDate::currentDate().toString(format));
    QCOMPARE(edtTarih->text().size(), 10);
}

void tst_DevirImport::customerDocumentLandsWithItsCode_data()
{
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("grouping");
    QTest::addColumn<QByteArray>("file");
    // The balances would not read as numbers unnormalised; the customer code "K'1.5" would not be found if it
    // were normalised.
    QTest::newRow("apostrophe grouping, point decimal") << "."
                                                        << "'" << QByteArray("C001;1'234.5\r\nK'1.5;-7.25\r\n");
    QTest::newRow("underscore grouping, comma decimal") << ","
                                                        << "_" << QByteArray("C001;1_234,5\r\nK'1.5;-7,25\r\n");
}

void tst_DevirImport::customerDocumentLandsWithItsCode()
{
    QFETCH(QString, decimal);
    QFETCH(QString, grouping);
    QFETCH(QByteArray, file);
    folder->write(QStringLiteral("devir.txt"), file);
    open(QStringLiteral("cari"));
    window->edtOndalik->setText(decimal);
    window->edtBasamak->setText(grouping);
    const QTime before = QTime::currentTime();
    window->btnStart->click();
    const QTime after = QTime::currentTime();

    QCOMPARE(boxes->texts(), QStringList({"Cari Bakiye Aktarımına Başlamak İstiyor musunuz?"}));
    QCOMPARE(log(), QStringList({"Cari Bakiye Aktarımı Başladı", "Aktarım Tamamlandı."}));
    // A customer document of today, without warehouse, with an empty (not a missing) description.
    QCOMPARE(documents(), QStringLiteral("0|-|true"));
    QCOMPARE(lines(), QStringLiteral("C001||1234.5000|,K'1.5||-7.2500|"));
    const QString code = db->query("SELECT belgekodu FROM tbl_devir_main");
    const QString datePart = QDate::currentDate().toString(QStringLiteral("ddMMyyyy"));
    QVERIFY2(code == "DEVIR_" + datePart + "_" + before.toString("HHmm") ||
                 code == "DEVIR_" + datePart + "_" + after.toString("HHmm"),
             qPrintable(code));
    QCOMPARE(window->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("CARIDEVIRFILENAME")),
             folder->file(QStringLiteral("devir.txt")));
    // The date is kept in no setting.
    const QString shown = window->findChild<DateEdit*>(QStringLiteral("edtTarih"))->text();
    QVERIFY(!QString::fromLatin1(folder->read(QStringLiteral("Kelvra.ini"))).contains(shown));
    QVERIFY(QFile::exists(folder->file(QStringLiteral("CARIDEVIRLIST.FMT"))));
}

void tst_DevirImport::stockDocumentForTheChosenWarehouse()
{
    // Code, barcode, balance, price: the second line names its item by barcode only.
    folder->write(QStringLiteral("devir.txt"), "S001;;1'234.5;1'000.25\r\n;B'2.5;-3;7.5\r\n");
    TfrmStokDevirImport* w = openStock();
    w->edtOndalik->setText(QStringLiteral("."));
    w->edtBasamak->setText(QStringLiteral("'"));
    setItemChecked(QStringLiteral("@BARKOD"), true);
    setItemChecked(QStringLiteral("@BIRIMFIYATI"), true);
    w->btnDepo->click();
    QCOMPARE(w->cbxDepo->count(), 3);
    w->cbxDepo->setCurrentIndex(2);
    w->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({"Stok Bakiye Aktarımına Başlamak İstiyor musunuz?"}));
    QCOMPARE(log(), QStringList({"Stok Bakiye Aktarımı Başladı", "Aktarım Tamamlandı."}));
    QCOMPARE(documents(), QStringLiteral("1|03|true"));
    QCOMPARE(lines(), QStringLiteral("S001||1234.5000|1000.2500,S002|B'2.5|-3.0000|7.5000"));
    QVERIFY(db->query("SELECT belgekodu FROM tbl_devir_main").startsWith(QLatin1String("DEVIR_")));
}

void tst_DevirImport::emptyFileStillWritesTheDocument()
{
    folder->write(QStringLiteral("devir.txt"), "");
    open(QStringLiteral("cari"));
    window->btnStart->click();

    QCOMPARE(log(), QStringList({"Cari Bakiye Aktarımı Başladı", "Aktarım Tamamlandı."}));
    QCOMPARE(documents(), QStringLiteral("0|-|true"));
    QCOMPARE(lines(), QString());
}

void tst_DevirImport::failingLineLeavesNoPartOfTheDocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("failing");
    QTest::newRow("customer") << "cari" << QByteArray("C001;5\r\nC002;6\r\nC999;7\r\nC001;8\r\n") << "C999;7";
    QTest::newRow("stock") << "stok" << QByteArray("S001;5\r\nS002;6\r\nS999;7\r\n") << "S999;7";
}

void tst_DevirImport::failingLineLeavesNoPartOfTheDocument()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, file);
    QFETCH(QString, failing);
    folder->write(QStringLiteral("devir.txt"), file);
    open(kind);
    if (auto* stock = qobject_cast<TfrmStokDevirImport*>(window.data()))
        stock->btnDepo->click();
    window->btnStart->click();

    QCOMPARE(documents(), QString());
    QCOMPARE(lines(), QString());
    const QStringList logged = log();
    QCOMPARE(logged.size(), 3);
    QVERIFY2(logged[1].startsWith(QLatin1String("Hata : ")) && logged[1].size() > 7, qPrintable(logged[1]));
    QCOMPARE(logged[2], "Satır : " + failing);
    QCOMPARE(window->lblInfo->text(), logged[1]);
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
}

void tst_DevirImport::headerFailureLogsOnlyTheHeaderLine()
{
    db->query("CREATE FUNCTION kapali() RETURNS trigger LANGUAGE plpgsql AS "
              "$$ BEGIN RAISE EXCEPTION 'Dönem kapalı: %', NEW.belgekodu; END $$; "
              "CREATE TRIGGER kapali BEFORE INSERT ON tbl_devir_main FOR EACH ROW EXECUTE FUNCTION kapali()");
    folder->write(QStringLiteral("devir.txt"), "C001;5\r\nC002;6\r\n");
    open(QStringLiteral("cari"));
    window->btnStart->click();

    const QStringList logged = log();
    QCOMPARE(logged.size(), 2);
    QCOMPARE(logged[0], QStringLiteral("Cari Bakiye Aktarımı Başladı"));
    const QString prefix = QStringLiteral("Hata Üst Blgi :");
    // The message follows the colon directly, and it names the code the header was given.
    QVERIFY2(logged[1].startsWith(prefix + QStringLiteral("Dönem kapalı: DEVIR_")), qPrintable(logged[1]));
    QCOMPARE(window->lblInfo->text(), "Hata : " + logged[1].mid(prefix.size()));
    // The bar stays where the run put it before the header.
    QCOMPARE(window->pBar->value(), 1);
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
    QCOMPARE(lines(), QString());
}

void tst_DevirImport::refusedStartWritesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("message");
    const QString cariMandatory = QStringLiteral("Bakiye ve Cari Kodu Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    const QString stokMandatory =
        QStringLiteral("Bakiye, Stok Kodu ve/veya Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    const QString symbols = QStringLiteral("Ondalık ve Basamak Simgeleri Boş Geçilemez.!");
    QTest::newRow("customer: balance unchecked") << "cari"
                                                 << "@BAKIYE" << cariMandatory;
    QTest::newRow("customer: customer code unchecked") << "cari"
                                                       << "@KALEMKODU" << cariMandatory;
    QTest::newRow("customer: decimal symbol blank") << "cari"
                                                    << "decimal" << symbols;
    QTest::newRow("customer: grouping symbol a tab") << "cari"
                                                     << "grouping" << symbols;
    QTest::newRow("customer: answered No") << "cari"
                                           << "no"
                                           << "Cari Bakiye Aktarımına Başlamak İstiyor musunuz?";
    QTest::newRow("stock: balance unchecked") << "stok"
                                              << "@BAKIYE" << stokMandatory;
    QTest::newRow("stock: no warehouse loaded") << "stok"
                                                << "nodepo"
                                                << "Depo Seçimi Yapılmamış.!";
    QTest::newRow("stock: decimal symbol blank") << "stok"
                                                 << "decimal" << symbols;
    QTest::newRow("stock: answered No") << "stok"
                                        << "no"
                                        << "Stok Bakiye Aktarımına Başlamak İstiyor musunuz?";
}

void tst_DevirImport::refusedStartWritesNothing()
{
    QFETCH(QString, kind);
    QFETCH(QString, refusal);
    QFETCH(QString, message);
    folder->write(QStringLiteral("devir.txt"), "C001;5\r\n");
    open(kind);
    if (auto* stock = qobject_cast<TfrmStokDevirImport*>(window.data()); stock && refusal != QLatin1String("nodepo"))
        stock->btnDepo->click();
    window->mMoLog->setPlainText(QStringLiteral("önceki kayıt"));
    if (refusal.startsWith(QLatin1Char('@')))
        setItemChecked(refusal, false);
    else if (refusal == QLatin1String("decimal"))
        window->edtOndalik->setText(QStringLiteral("  "));
    else if (refusal == QLatin1String("grouping"))
        window->edtBasamak->setText(QStringLiteral("\t"));
    else if (refusal == QLatin1String("no"))
        boxes->answers = {false};
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({message}));
    QCOMPARE(window->mMoLog->toPlainText(), QStringLiteral("önceki kayıt"));
    QVERIFY(!QFile::exists(settingsPath()));
    QCOMPARE(documents(), QString());
    // The warehouse check comes after connecting, and the link stays connected.
    if (refusal == QLatin1String("nodepo") || refusal == QLatin1String("no"))
        QVERIFY(window->ConnDB.isOpen());
}

void tst_DevirImport::stockIdentifierRule_data()
{
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<QString>("firstBox");
    const QString refused =
        QStringLiteral("Bakiye, Stok Kodu ve/veya Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    const QString confirmed = QStringLiteral("Stok Bakiye Aktarımına Başlamak İstiyor musunuz?");
    QTest::newRow("stock code and barcode both unchecked")
        << QByteArray("STOK KODU~@KALEMKODU&0\r\nBARKOD~@BARKOD&0\r\nBAKIYE~@BAKIYE&1\r\n") << refused;
    QTest::newRow("barcode alone") << QByteArray("STOK KODU~@KALEMKODU&0\r\nBARKOD~@BARKOD&1\r\nBAKIYE~@BAKIYE&1\r\n")
                                   << confirmed;
    QTest::newRow("stock code alone") << QByteArray("STOK KODU~@KALEMKODU&1\r\nBAKIYE~@BAKIYE&1\r\n") << confirmed;
    QTest::newRow("layout without identifier items") << QByteArray("BAKIYE~@BAKIYE&1\r\n") << confirmed;
    QTest::newRow("layout without balance item") << QByteArray("STOK KODU~@KALEMKODU&1\r\n") << confirmed;
}

void tst_DevirImport::stockIdentifierRule()
{
    QFETCH(QByteArray, layout);
    QFETCH(QString, firstBox);
    folder->write(QStringLiteral("STOKDEVIRLIST.FMT"), layout);
    folder->write(QStringLiteral("devir.txt"), "S001;5\r\n");
    TfrmStokDevirImport* w = openStock();
    w->btnDepo->click();
    boxes->answers = {false};
    w->btnStart->click();
    QCOMPARE(boxes->texts().value(0), firstBox);
}

void tst_DevirImport::warehousesFromTheListProcedure()
{
    TfrmStokDevirImport* w = openStock();
    QCOMPARE(w->cbxDepo->count(), 0);
    QCOMPARE(w->btnDepo->toolTip(), QStringLiteral("Depo Bilgilerini Getir"));
    QCOMPARE(w->btnDepo->focusPolicy(), Qt::NoFocus);

    // A failing connection leaves the list as it was.
    w->edtConnStr->setText(QString(db->connectionString())
                               .replace(QRegularExpression(QStringLiteral("Port=\\d+")), QStringLiteral("Port=1")));
    w->btnDepo->click();
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY(boxes->last().startsWith(QStringLiteral("Veri Tabanına Bağlanılamadı.! Hata : ")));
    QCOMPARE(w->cbxDepo->count(), 0);

    w->edtConnStr->setText(db->connectionString());
    w->btnDepo->click();
    QStringList names;
    QStringList ids;
    QList<QPointer<TID>> first;
    for (int i = 0; i < w->cbxDepo->count(); ++i) {
        names << w->cbxDepo->itemText(i);
        ids << QString::number(w->cbxDepo->entryID(i)->fID);
        first << w->cbxDepo->entryID(i);
    }
    QCOMPARE(names, QStringList({"MERKEZ DEPO", "MAĞAZA", "İADE DEPO"}));
    QCOMPARE(ids.join(','), db->query("SELECT string_agg(id::text, ',' ORDER BY id) FROM tbl_depo"));
    QCOMPARE(w->cbxDepo->currentIndex(), 0);
    // The lookup connects, reads and closes the link again.
    QVERIFY(!w->ConnDB.isOpen());

    // A second load replaces the entries, frees their IDs and selects the first again.
    w->cbxDepo->setCurrentIndex(2);
    db->query("UPDATE tbl_depo SET aktif = false WHERE depokodu = '01'");
    w->btnDepo->click();
    QCOMPARE(w->cbxDepo->count(), 2);
    QCOMPARE(w->cbxDepo->currentText(), QStringLiteral("MAĞAZA"));
    for (const QPointer<TID>& id : first)
        QVERIFY(id.isNull());

    // A list without rows leaves the box empty; the start is then refused.
    db->query("UPDATE tbl_depo SET aktif = false");
    w->btnDepo->click();
    QCOMPARE(w->cbxDepo->count(), 0);
    QCOMPARE(w->cbxDepo->currentIndex(), -1);
    folder->write(QStringLiteral("devir.txt"), "S001;5\r\n");
    w->btnStart->click();
    QCOMPARE(boxes->last(), QStringLiteral("Depo Seçimi Yapılmamış.!"));

    // Closing the window frees the IDs of its entries.
    db->query("UPDATE tbl_depo SET aktif = true");
    w->btnDepo->click();
    const QPointer<TID> kept = w->cbxDepo->entryID(0);
    QVERIFY(kept);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(kept.isNull());
    QCOMPARE(frmStokDevirImport, nullptr);
}

void tst_DevirImport::warehouseButtonIsIgnoredDuringARun()
{
    folder->write(QStringLiteral("devir.txt"), "S001;5\r\nS002;6\r\n");
    TfrmStokDevirImport* w = openStock();
    w->btnDepo->click();
    // Loaded again now, the list would hold two entries.
    db->query("UPDATE tbl_depo SET aktif = false WHERE depokodu = '02'");
    // The bar moves before each line is written: the first line is under way when the button is clicked.
    connect(w->pBar, &QProgressBar::valueChanged, w, [w](int value) {
        if (value == 2)
            w->btnDepo->click();
    });
    w->btnStart->click();

    QCOMPARE(log(), QStringList({"Stok Bakiye Aktarımı Başladı", "Aktarım Tamamlandı."}));
    QCOMPARE(lines(), QStringLiteral("S001||5.0000|,S002||6.0000|"));
    QCOMPARE(w->cbxDepo->count(), 3);
    QCOMPARE(boxes->texts(), QStringList({"Stok Bakiye Aktarımına Başlamak İstiyor musunuz?"}));
}

QTEST_MAIN(tst_DevirImport)
#include "tst_devirimport.moc"
