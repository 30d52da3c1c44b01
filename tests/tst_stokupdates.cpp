// The stock weight, origin and PLU update windows end to end, the long command time-out of the update windows and
// the launcher buttons of the stock and opening-balance windows.

#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/Launchers.h"
#include "tools/untCariDevirImport.h"
#include "tools/untStokDevirImport.h"
#include "tools/untStokFiyatImport.h"
#include "tools/untStokGramajImport.h"
#include "tools/untStokMenseiImport.h"
#include "tools/untStokPluImport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace kelvra;

namespace {

struct Update
{
    std::function<ToolWindow*()> open;
    QString fileKey;
    QString confirmation;
    QString startText;
    QString contents; // SQL: what the tool changes, as one text
};

const Update& update(const QString& name)
{
    static const QMap<QString, Update> updates = {
        {QStringLiteral("gramaj"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmStokGramajImport>(&frmStokGramajImport); },
          "STOKGRAMAJFILENAME", "Gramajları Güncelleme Yapmak İstiyor musunuz?", "Stok Gramaj Aktarımı Başladı",
          "SELECT string_agg(stokkodu || '|' || coalesce(gramaj::text, '') || '|' || coalesce(gramaj_tipi::text, ''), "
          "',' ORDER BY stokkodu) FROM tbl_stok"}},
        {QStringLiteral("mensei"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmStokMenseiImport>(&frmStokMenseiImport); },
          "STOKMENSEIFILENAME", "Menşei Güncelleme Yapmak İstiyor musunuz?", "Stok Menşei Aktarımı Başladı",
          "SELECT string_agg(stokkodu || '|' || coalesce(mensei, ''), ',' ORDER BY stokkodu) FROM tbl_stok"}},
        {QStringLiteral("plu"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmStokPluImport>(&frmStokPluImport); }, "STOKPLUFILENAME",
          "PluNoları Güncelleme Yapmak İstiyor musunuz?", "Stok Plu Aktarımı Başladı",
          "SELECT string_agg(stokkodu || '|' || coalesce(pluno::text, ''), ',' ORDER BY stokkodu) FROM tbl_stok"}},
    };
    return *updates.constFind(name);
}

} // namespace

class tst_StokUpdates : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void failingLineIsSkipped_data();
    void failingLineIsSkipped();
    void refusedStartWritesNothing_data();
    void refusedStartWritesNothing();
    void commandTimeOutIsSetAtCreation_data();
    void commandTimeOutIsSetAtCreation();
    void weightNoteStandsAboveTheBar();
    void launcherButtonsOpenTheirWindows_data();
    void launcherButtonsOpenTheirWindows();

private:
    ToolWindow* open(const QString& name);
    QStringList log() const;
    void setItemChecked(const QString& parameter, bool checked);

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    QPointer<ToolWindow> window;
};

void tst_StokUpdates::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
}

void tst_StokUpdates::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

ToolWindow* tst_StokUpdates::open(const QString& name)
{
    if (!db) {
        db = std::make_unique<test::TestDatabase>();
        db->query("INSERT INTO tbl_stok (stokkodu, stokadi) VALUES ('S001', 'UN'), ('S002', 'ŞEKER'), ('S003', 'TUZ'); "
                  "INSERT INTO tbl_stok_barkod (stok_id, barkod) SELECT id, 'B' || stokkodu FROM tbl_stok");
    }
    window = update(name).open();
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->edtFileName->setText(folder->file(QStringLiteral("liste.txt")));
    return window;
}

QStringList tst_StokUpdates::log() const
{
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_StokUpdates::setItemChecked(const QString& parameter, bool checked)
{
    for (int i = 0; i < window->lstFields->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = window->lstFields->topLevelItem(i);
        if (item->text(1) == parameter)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void tst_StokUpdates::failingLineIsSkipped_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("contents");
    // The second line of each file is refused by the procedure.
    QTest::newRow("weight") << "gramaj" << QByteArray() << "BS001;250;0\r\nBS999;1;1\r\nBS002;1,5;1\r\n"
                            << "S001|250.0000|0,S002|1.5000|1,S003||";
    QTest::newRow("weight type out of range") << "gramaj" << QByteArray() << "BS001;250;0\r\nBS002;1;2\r\nBS003;3;1\r\n"
                                              << "S001|250.0000|0,S002||,S003|3.0000|1";
    QTest::newRow("origin") << "mensei" << QByteArray() << "BS001;TÜRKİYE\r\nBS999;ÇİN\r\nBS002;İTALYA\r\n"
                            << "S001|TÜRKİYE,S002|İTALYA,S003|";
    QTest::newRow("origin before barcode") << "mensei" << QByteArray("MENSEI~@MENSEI&1\r\nBARKOD~@BARKOD&1\r\n")
                                           << "TÜRKİYE;BS001\r\nÇİN;BS999\r\nİTALYA;BS003\r\n"
                                           << "S001|TÜRKİYE,S002|,S003|İTALYA";
    QTest::newRow("PLU number taken") << "plu" << QByteArray("BARKOD~@BARKOD&1\r\nPLUNO~@PLUNO&1\r\n")
                                      << "BS001;101\r\nBS002;101\r\nBS003;103\r\n"
                                      << "S001|101,S002|,S003|103";
}

void tst_StokUpdates::failingLineIsSkipped()
{
    QFETCH(QString, tool);
    QFETCH(QByteArray, layout);
    QFETCH(QString, file);
    QFETCH(QString, contents);
    if (!layout.isEmpty())
        folder->write(update(tool).fileKey == "STOKMENSEIFILENAME" ? "STOKMENSEILIST.FMT" : "STOKPLULIST.FMT", layout);
    folder->write(QStringLiteral("liste.txt"), file.toUtf8());
    open(tool);
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({update(tool).confirmation}));
    QCOMPARE(db->query(update(tool).contents), contents);
    const QStringList logged = log();
    QCOMPARE(logged.size(), 4);
    QCOMPARE(logged[0], update(tool).startText);
    QVERIFY2(logged[1].startsWith(QLatin1String("Hata : ")) && logged[1].size() > 7, qPrintable(logged[1]));
    QCOMPARE(logged[2], "Satır : " + file.split(QStringLiteral("\r\n"))[1]);
    QCOMPARE(logged[3], QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(window->lblInfo->text(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), update(tool).fileKey), folder->file(QStringLiteral("liste.txt")));
    // These windows have no number symbols and keep none.
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("ONDALIK")), QString());
}

void tst_StokUpdates::refusedStartWritesNothing_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<QString>("unchecked");
    QTest::addColumn<QString>("firstBox");
    const QString gramaj = QStringLiteral("Gramaj, Gramaj Tipi ve Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    const QString mensei = QStringLiteral("Menşei ve Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    const QString plu = QStringLiteral("Plu, Stok Kodu ve/veya Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    QTest::newRow("weight: barcode") << "gramaj" << QByteArray() << "@BARKOD" << gramaj;
    QTest::newRow("weight: weight") << "gramaj" << QByteArray() << "@GRAMAJ" << gramaj;
    QTest::newRow("weight: weight type") << "gramaj" << QByteArray() << "@GRAMAJTIPI" << gramaj;
    QTest::newRow("origin: origin") << "mensei" << QByteArray() << "@MENSEI" << mensei;
    QTest::newRow("origin: barcode") << "mensei" << QByteArray() << "@BARKOD" << mensei;
    QTest::newRow("PLU: PLU number") << "plu" << QByteArray("BARKOD~@BARKOD&1\r\nPLUNO~@PLUNO&1\r\n") << "@PLUNO"
                                     << plu;
    // The default layout names no item by a checked stock code or barcode.
    QTest::newRow("PLU: default layout") << "plu" << QByteArray() << "" << plu;
    QTest::newRow("PLU: stock code checked")
        << "plu" << QByteArray("STOK KODU~@STOKKODU&1\r\nBARKOD~@BARKOD&0\r\nPLUNO~@PLUNO&1\r\n") << ""
        << update("plu").confirmation;
    QTest::newRow("PLU: layout without identifier items")
        << "plu" << QByteArray("PLUNO~@PLUNO&1\r\n") << "" << update("plu").confirmation;
    QTest::newRow("weight: answered No") << "gramaj" << QByteArray() << "" << update("gramaj").confirmation;
}

void tst_StokUpdates::refusedStartWritesNothing()
{
    QFETCH(QString, tool);
    QFETCH(QByteArray, layout);
    QFETCH(QString, unchecked);
    QFETCH(QString, firstBox);
    if (!layout.isEmpty())
        folder->write(QStringLiteral("STOKPLULIST.FMT"), layout);
    folder->write(QStringLiteral("liste.txt"), "BS001;1;1\r\n");
    open(tool);
    const QString before = db->query(update(tool).contents);
    if (!unchecked.isEmpty())
        setItemChecked(unchecked, false);
    boxes->answers = {false};
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({firstBox}));
    QVERIFY(!QFile::exists(settingsPath()));
    QCOMPARE(db->query(update(tool).contents), before);
}

void tst_StokUpdates::commandTimeOutIsSetAtCreation_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<bool>("unreadableLayout");
    const QStringList tools = {"fiyat", "gramaj", "mensei", "plu"};
    for (const QString& tool : tools) {
        QTest::addRow("%s", qPrintable(tool)) << tool << false;
        QTest::addRow("%s, layout file unreadable", qPrintable(tool)) << tool << true;
    }
}

void tst_StokUpdates::commandTimeOutIsSetAtCreation()
{
    QFETCH(QString, tool);
    QFETCH(bool, unreadableLayout);
    const QMap<QString, QString> layoutFiles = {{"fiyat", "STOKFIYATLIST.FMT"},
                                                {"gramaj", "STOKGRAMAJLIST.FMT"},
                                                {"mensei", "STOKMENSEILIST.FMT"},
                                                {"plu", "STOKPLULIST.FMT"}};
    // A folder in the place of the layout file: the settings load fails while the window is created.
    if (unreadableLayout)
        QVERIFY(QDir(folder->path()).mkdir(layoutFiles[tool]));
    if (tool == QLatin1String("fiyat"))
        window = ToolWindow::create<TfrmStokFiyatImport>(&frmStokFiyatImport);
    else
        window = update(tool).open();
    QCOMPARE(boxes->shown.size(), unreadableLayout ? 1 : 0);
    QCOMPARE(window->spDo.commandTimeout(), 600000);
}

void tst_StokUpdates::weightNoteStandsAboveTheBar()
{
    auto* w = ToolWindow::create<TfrmStokGramajImport>(&frmStokGramajImport);
    window = w;
    w->show();
    QCOMPARE(w->sLabel1->text(), QStringLiteral(" NOT :  GRAMAJ TIPI 0 = GRAMAJLI 1 = ADETLİ ÜRÜN"));
    QVERIFY(w->sLabel1->font().bold());
    QVERIFY(w->sLabel1->isVisible());
    QCOMPARE(w->size(), QSize(299, 366));
    const QRect note = w->sLabel1->geometry();
    QVERIFY(note.bottom() < w->pBar->geometry().top());
    QVERIFY(note.top() > w->btnStart->geometry().bottom());
    QVERIFY(note.top() > w->mMoLog->geometry().bottom());
    QVERIFY(note.right() < w->width());
    QCOMPARE(w->btnStart->text(), QStringLiteral("Gramaj Güncelle"));
    QVERIFY(w->btnUp->text().isEmpty());
}

void tst_StokUpdates::launcherButtonsOpenTheirWindows_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("caption");
    QTest::newRow("sBitBtn2") << 2 << "kelvra::TfrmStokDevirImport"
                              << "Stok Bakiye Aktarımı";
    QTest::newRow("sBitBtn4") << 4 << "kelvra::TfrmCariDevirImport"
                              << "Cari Bakiye Aktarımı";
    QTest::newRow("sBitBtn7") << 7 << "kelvra::TfrmStokFiyatImport"
                              << "Stok Fiyat Aktarımı";
    QTest::newRow("sBitBtn12 (hidden)") << 12 << "kelvra::TfrmStokPluImport"
                                        << "Stok Plu Güncelleme";
    QTest::newRow("sBitBtn15") << 15 << "kelvra::TfrmStokGramajImport"
                               << "Stok Gramaj Güncelleme";
    QTest::newRow("sBitBtn16") << 16 << "kelvra::TfrmStokMenseiImport"
                               << "Stok Menşei Güncelleme";
}

void tst_StokUpdates::launcherButtonsOpenTheirWindows()
{
    QFETCH(int, button);
    QFETCH(QString, className);
    QFETCH(QString, caption);
    const Launcher launch = launcherFor(button);
    QVERIFY(launch);
    QString seenClass, seenCaption;
    bool referenceSet = false;
    QTimer::singleShot(0, [&]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seenClass = QString::fromLatin1(modal->metaObject()->className());
        seenCaption = modal->windowTitle();
        const QList<QWidget*> references = {frmStokDevirImport, frmCariDevirImport,  frmStokFiyatImport,
                                            frmStokPluImport,   frmStokGramajImport, frmStokMenseiImport};
        referenceSet = references.contains(modal);
        modal->close();
    });
    launch();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(seenClass, className);
    QCOMPARE(seenCaption, caption);
    QVERIFY(referenceSet);
    QVERIFY(!frmStokDevirImport && !frmCariDevirImport && !frmStokFiyatImport && !frmStokPluImport &&
            !frmStokGramajImport && !frmStokMenseiImport);
}

QTEST_MAIN(tst_StokUpdates)
#include "tst_stokupdates.moc"
