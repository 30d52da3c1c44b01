// The stock price window end to end: the real window, its price types, its run and the reference database.

#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/PickList.h"
#include "tools/untStokFiyatImport.h"

#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

using namespace kelvra;

class tst_StokFiyatImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void priceTypesFromTheListProcedure();
    void eachLineTakesThePriceTypeSelectedThen();
    void refusedStartWritesNothing_data();
    void refusedStartWritesNothing();
    void priceTypeButtonIsIgnoredDuringARun();

private:
    TfrmStokFiyatImport* open();
    QStringList log() const;
    void setItemChecked(const QString& parameter, bool checked);
    QString prices() const
    {
        return db->query("SELECT coalesce(string_agg(s.stokkodu || '|' || f.fiyat_tip_id || '|' || f.fiyat, ',' "
                         "ORDER BY s.stokkodu, f.fiyat_tip_id), '') FROM tbl_stok_fiyat f "
                         "JOIN tbl_stok s ON s.id = f.stok_id");
    }

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    QPointer<TfrmStokFiyatImport> window;
};

void tst_StokFiyatImport::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    db->query("INSERT INTO tbl_stok (stokkodu, stokadi) VALUES ('S001', 'UN'), ('S002', 'ŞEKER'), ('S003', 'TUZ'), "
              "('K.1,5', 'ÇAY'); "
              "INSERT INTO tbl_stok_barkod (stok_id, barkod) SELECT id, 'B' || stokkodu FROM tbl_stok");
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
}

void tst_StokFiyatImport::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

TfrmStokFiyatImport* tst_StokFiyatImport::open()
{
    window = ToolWindow::create<TfrmStokFiyatImport>(&frmStokFiyatImport);
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->edtFileName->setText(folder->file(QStringLiteral("fiyat.txt")));
    return window;
}

QStringList tst_StokFiyatImport::log() const
{
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_StokFiyatImport::setItemChecked(const QString& parameter, bool checked)
{
    for (int i = 0; i < window->lstFields->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = window->lstFields->topLevelItem(i);
        if (item->text(1) == parameter)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void tst_StokFiyatImport::priceTypesFromTheListProcedure()
{
    TfrmStokFiyatImport* w = open();
    QCOMPARE(w->cbxFiyatTip->count(), 0);
    QCOMPARE(w->btnFiyatTip->toolTip(), QStringLiteral("Fiyat Tiplerini Getir"));
    // The price type stands third in the tab order; its button is no tab stop.
    QStringList chain;
    QWidget* at = w->edtConnStr;
    while (chain.size() < 12) {
        if ((at->focusPolicy() & Qt::TabFocus) && !at->objectName().isEmpty())
            chain << at->objectName();
        at = at->nextInFocusChain();
    }
    QCOMPARE(chain, QStringList({"edtConnStr", "edtFileName", "cbxFiyatTip", "edtUserCode", "edtOndalik", "edtBasamak",
                                 "btnUp", "btnDown", "lstFields", "btnStart", "btnClose", "mMoLog"}));

    w->btnFiyatTip->click();
    QStringList entries;
    QList<QPointer<TID>> first;
    for (int i = 0; i < w->cbxFiyatTip->count(); ++i) {
        entries << QStringLiteral("%1=%2").arg(w->cbxFiyatTip->entryID(i)->fID).arg(w->cbxFiyatTip->itemText(i));
        first << w->cbxFiyatTip->entryID(i);
    }
    QCOMPARE(entries.join(','),
             db->query("SELECT string_agg(id || '=' || aciklama, ',' ORDER BY id) FROM tbl_fiyat_tip"));
    QCOMPARE(w->cbxFiyatTip->count(), 4);
    QCOMPARE(w->cbxFiyatTip->currentIndex(), 0);
    // The lookup connects, reads and closes the link again.
    QVERIFY(!w->ConnDB.isOpen());

    // A failing connection leaves the loaded list as it was.
    w->cbxFiyatTip->setCurrentIndex(3);
    const QString connStr = w->edtConnStr->text();
    w->edtConnStr->setText(
        QString(connStr).replace(QRegularExpression(QStringLiteral("Port=\\d+")), QStringLiteral("Port=1")));
    w->btnFiyatTip->click();
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->last().startsWith(QStringLiteral("Veri Tabanına Bağlanılamadı.! Hata : ")),
             qPrintable(boxes->last()));
    QCOMPARE(w->cbxFiyatTip->count(), 4);
    QCOMPARE(w->cbxFiyatTip->currentIndex(), 3);

    // Loading again replaces the entries, frees their IDs and selects the first again.
    w->edtConnStr->setText(connStr);
    db->query("UPDATE tbl_fiyat_tip SET aktif = false WHERE id = 1");
    w->btnFiyatTip->click();
    QCOMPARE(w->cbxFiyatTip->count(), 3);
    QCOMPARE(w->cbxFiyatTip->currentIndex(), 0);
    QCOMPARE(w->cbxFiyatTip->selectedID()->fID, 2);
    for (const QPointer<TID>& id : first)
        QVERIFY(id.isNull());

    // No rows: an empty box, and the start is refused after connecting.
    db->query("UPDATE tbl_fiyat_tip SET aktif = false");
    w->btnFiyatTip->click();
    QCOMPARE(w->cbxFiyatTip->count(), 0);
    QCOMPARE(w->cbxFiyatTip->currentIndex(), -1);
    folder->write(QStringLiteral("fiyat.txt"), "S001;5\r\n");
    w->btnStart->click();
    QCOMPARE(boxes->last(), QStringLiteral("Fiyat Tipi Seçimi Yapılmamış.!"));
    QVERIFY(w->ConnDB.isOpen());
    QCOMPARE(prices(), QString());
}

void tst_StokFiyatImport::eachLineTakesThePriceTypeSelectedThen()
{
    // A price of 999 is written and then refused: the line must leave nothing behind.
    db->query("CREATE FUNCTION red() RETURNS trigger LANGUAGE plpgsql AS "
              "$$ BEGIN IF NEW.fiyat = 999 THEN RAISE EXCEPTION 'Fiyat reddedildi'; END IF; RETURN NEW; END $$; "
              "CREATE TRIGGER red AFTER INSERT OR UPDATE ON tbl_stok_fiyat FOR EACH ROW EXECUTE FUNCTION red()");
    // Stock code, barcode, price.
    folder->write(QStringLiteral("fiyat.txt"), "S001;;1.234,50\r\n"
                                               "S999;;5\r\n"
                                               "S002;;999\r\n"
                                               "K.1,5;;3\r\n"
                                               ";BS003;7,5\r\n"
                                               "S002;;12\r\n");
    TfrmStokFiyatImport* w = open();
    w->edtOndalik->setText(QStringLiteral(","));
    w->edtBasamak->setText(QStringLiteral("."));
    setItemChecked(QStringLiteral("@BARKOD"), true);
    w->btnFiyatTip->click();
    w->cbxFiyatTip->setCurrentIndex(1);
    // The bar moves before each line is written: from the fourth line on, the last price type applies.
    connect(w->pBar, &QProgressBar::valueChanged, w, [w](int value) {
        if (value == 5)
            w->cbxFiyatTip->setCurrentIndex(3);
    });
    w->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({"Stok Fiyatlarının Aktarımına Başlamak İstiyor musunuz?"}));
    QCOMPARE(prices(), QStringLiteral("K.1,5|4|3.0000,S001|2|1234.5000,S002|4|12.0000,S003|4|7.5000"));
    const QStringList logged = log();
    QCOMPARE(logged.size(), 6);
    QCOMPARE(logged[0], QStringLiteral("Stok Fiyat Aktarımı Başladı"));
    QVERIFY2(logged[1].startsWith(QLatin1String("Hata : ")) && logged[1].contains(QLatin1String("S999")),
             qPrintable(logged[1]));
    QCOMPARE(logged[2], QStringLiteral("Satır : S999;;5"));
    QCOMPARE(logged[3], QStringLiteral("Hata : Fiyat reddedildi"));
    QCOMPARE(logged[4], QStringLiteral("Satır : S002;;999"));
    QCOMPARE(logged[5], QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(w->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(w->pBar->value(), 0);
    QCOMPARE(w->ConnDB.transactionLevel(), 0);
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("STOKFIYATFILENAME")),
             folder->file(QStringLiteral("fiyat.txt")));
    QVERIFY(QFile::exists(folder->file(QStringLiteral("STOKFIYATLIST.FMT"))));
}

void tst_StokFiyatImport::refusedStartWritesNothing_data()
{
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("message");
    const QString mandatory =
        QStringLiteral("Fiyat, Stok Kodu ve/veya Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    const QString confirmation = QStringLiteral("Stok Fiyatlarının Aktarımına Başlamak İstiyor musunuz?");
    QTest::newRow("price unchecked") << QByteArray() << "@FIYAT" << mandatory;
    QTest::newRow("stock code and barcode unchecked") << QByteArray() << "@STOKKODU" << mandatory;
    QTest::newRow("grouping symbol blank") << QByteArray() << "grouping"
                                           << "Ondalık ve Basamak Simgeleri Boş Geçilemez.!";
    QTest::newRow("no price type loaded") << QByteArray() << "notypes"
                                          << "Fiyat Tipi Seçimi Yapılmamış.!";
    QTest::newRow("answered No") << QByteArray() << "no" << confirmation;
    // Rows that pass the mandatory test; they are answered No.
    QTest::newRow("barcode alone identifies")
        << QByteArray("STOK KODU~@STOKKODU&0\r\nBARKOD~@BARKOD&1\r\nFIYAT~@FIYAT&1\r\n") << "no" << confirmation;
    QTest::newRow("layout without identifier items") << QByteArray("FIYAT~@FIYAT&1\r\n") << "no" << confirmation;
    QTest::newRow("layout without price item") << QByteArray("STOK KODU~@STOKKODU&1\r\n") << "no" << confirmation;
}

void tst_StokFiyatImport::refusedStartWritesNothing()
{
    QFETCH(QByteArray, layout);
    QFETCH(QString, refusal);
    QFETCH(QString, message);
    if (!layout.isEmpty())
        folder->write(QStringLiteral("STOKFIYATLIST.FMT"), layout);
    folder->write(QStringLiteral("fiyat.txt"), "S001;5\r\n");
    TfrmStokFiyatImport* w = open();
    if (refusal != QLatin1String("notypes"))
        w->btnFiyatTip->click();
    w->mMoLog->setPlainText(QStringLiteral("önceki kayıt"));
    if (refusal.startsWith(QLatin1Char('@')))
        setItemChecked(refusal, false);
    else if (refusal == QLatin1String("grouping"))
        w->edtBasamak->setText(QStringLiteral(" "));
    boxes->answers = {false};
    w->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({message}));
    QCOMPARE(w->mMoLog->toPlainText(), QStringLiteral("önceki kayıt"));
    QVERIFY(!QFile::exists(settingsPath()));
    QCOMPARE(prices(), QString());
}

void tst_StokFiyatImport::priceTypeButtonIsIgnoredDuringARun()
{
    folder->write(QStringLiteral("fiyat.txt"), "S001;5\r\nS002;6\r\n");
    TfrmStokFiyatImport* w = open();
    w->btnFiyatTip->click();
    // Loaded again now, the list would hold one entry less.
    db->query("UPDATE tbl_fiyat_tip SET aktif = false WHERE id = 4");
    connect(w->pBar, &QProgressBar::valueChanged, w, [w](int value) {
        if (value == 2)
            w->btnFiyatTip->click();
    });
    w->btnStart->click();

    QCOMPARE(log(), QStringList({"Stok Fiyat Aktarımı Başladı", "Aktarım Tamamlandı."}));
    QCOMPARE(prices(), QStringLiteral("S001|1|5.0000,S002|1|6.0000"));
    QCOMPARE(w->cbxFiyatTip->count(), 4);
}

QTEST_MAIN(tst_StokFiyatImport)
#include "tst_stokfiyatimport.moc"
