// The stock deletion end to end, where it differs from the customer deletion: its procedures, the listing's
// stock code and its texts.

#include "support/TestSupport.h"
#include "tools/Launchers.h"
#include "tools/untStokSil.h"

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QTimer>

using namespace kelvra;

namespace {

// Items of İÇECEK and of İÇECEK GAZLI (whose name starts with the other's); S2 and G1 carry special code 10
// "SEZON", S3 special code 9 "SEZON".
const char* const stockSql = R"(
    INSERT INTO tbl_stok (stokkodu, stokadi, stok_grup_id)
    SELECT k, 'STOK ' || k, (SELECT id FROM tbl_stok_grup WHERE grupadi = 'İÇECEK')
    FROM unnest(ARRAY['S1', 'S2', 'S3', 'S4', 'S5']) k;
    INSERT INTO tbl_stok (stokkodu, stokadi, stok_grup_id)
    VALUES ('G1', 'GAZOZ', (SELECT id FROM tbl_stok_grup WHERE grupadi = 'İÇECEK GAZLI'));
    INSERT INTO tbl_ozel_kod (tur, no, kod) VALUES ('S', 9, 'SEZON'), ('S', 10, 'SEZON');
    INSERT INTO tbl_stok_ozel_kod (stok_id, no, ozel_kod_id)
    SELECT s.id, o.no, o.id FROM tbl_stok s JOIN tbl_ozel_kod o ON o.tur = 'S' AND o.kod = 'SEZON'
    WHERE (o.no = 10 AND s.stokkodu IN ('S2', 'G1')) OR (o.no = 9 AND s.stokkodu = 'S3');
)";

// Types text key by key; QTest::keyClicks takes Latin-1 letters only, the names here are Turkish.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

} // namespace

class tst_StokSil : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void launcherOpensTheWindow();
    void runDeletesTheItemsOfTheCodeAndNoOther_data();
    void runDeletesTheItemsOfTheCodeAndNoOther();
    void runsThatDeleteNothing_data();
    void runsThatDeleteNothing();
    void failureOnTheThirdItemKeepsTheRest();

private:
    void openWindow();
    void lookUp(int kind, const QString& name);
    QStringList log() const;
    QString items() const { return db->query("SELECT string_agg(stokkodu, ',' ORDER BY stokkodu) FROM tbl_stok"); }

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    TfrmStokSil* window = nullptr;
};

void tst_StokSil::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    db->query(stockSql);
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
    window = nullptr;
}

void tst_StokSil::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

void tst_StokSil::openWindow()
{
    window = ToolWindow::create<TfrmStokSil>(&frmStokSil);
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void tst_StokSil::lookUp(int kind, const QString& name)
{
    window->cbxGrupOzelKod->setCurrentIndex(kind);
    window->edtGrupOzelKod->setFocus(Qt::TabFocusReason);
    typeText(window->edtGrupOzelKod, name);
    window->btnStart->setFocus(Qt::TabFocusReason);
}

QStringList tst_StokSil::log() const
{
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_StokSil::launcherOpensTheWindow()
{
    QString opened, start;
    QTimer::singleShot(0, [&]() {
        if (auto* modal = qobject_cast<TfrmStokSil*>(QApplication::activeModalWidget())) {
            opened = modal->windowTitle();
            start = modal->btnStart->text();
            modal->close();
        }
    });
    launcherFor(6)();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(opened, QStringLiteral("Stok Silme"));
    QCOMPARE(start, QStringLiteral("Stok Silme İşlemine Başla"));
    QCOMPARE(frmStokSil, nullptr);
}

void tst_StokSil::runDeletesTheItemsOfTheCodeAndNoOther_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("left");
    // The full name wins over İÇECEK GAZLI, which starts with it.
    QTest::newRow("group") << 0 << "içecek"
                           << "G1";
    QTest::newRow("special code 10") << 10 << "SEZON"
                                     << "S1,S3,S4,S5";
}

void tst_StokSil::runDeletesTheItemsOfTheCodeAndNoOther()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, left);
    openWindow();
    lookUp(kind, name);
    QVERIFY(!window->edtGrupOzelKodID->text().isEmpty());
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({"Seçilen Gruba Ait Stok Bilgileri Silinecektir. İşleme Başlamak İstiyor "
                                          "musunuz?"}));
    QCOMPARE(items(), left);
    QCOMPARE(log(), QStringList({"Stok Silme İşlemi Başladı", "Silme İşlemi Tamamlandı."}));
}

void tst_StokSil::runsThatDeleteNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("groupRemoved");
    QTest::addColumn<QString>("logged");
    QTest::newRow("listing without rows") << "TEMİZLİK" << false << "Gruba Atanmış Silinecek Stok Kaydı Bulunamadı";
    QTest::newRow("listing failure") << "KIRTASİYE" << true << "Stok Listelemede Hata :Stok grubu bulunamadı: %1";
}

void tst_StokSil::runsThatDeleteNothing()
{
    QFETCH(QString, name);
    QFETCH(bool, groupRemoved);
    QFETCH(QString, logged);
    openWindow();
    lookUp(0, name);
    const QString id = window->edtGrupOzelKodID->text();
    QVERIFY(!id.isEmpty());
    if (groupRemoved)
        db->query("DELETE FROM tbl_stok_grup WHERE id = " + id);
    window->btnStart->click();

    QCOMPARE(log(), QStringList({"Stok Silme İşlemi Başladı", logged.contains("%1") ? logged.arg(id) : logged}));
    QCOMPARE(items(), QStringLiteral("G1,S1,S2,S3,S4,S5"));
}

void tst_StokSil::failureOnTheThirdItemKeepsTheRest()
{
    // S3 stands in a stock opening-balance document, which the reference database does not let go.
    db->query("INSERT INTO tbl_devir_main (belgekodu, belgetarihi, islemtipi, depo_id) "
              "VALUES ('DEVIR_1', '2020-04-27', 1, (SELECT min(id) FROM tbl_depo));"
              "INSERT INTO tbl_devir_detay (devir_id, stok_id, bakiye) "
              "SELECT m.id, s.id, 3 FROM tbl_devir_main m, tbl_stok s WHERE s.stokkodu = 'S3'");
    openWindow();
    lookUp(0, QStringLiteral("İÇECEK"));
    window->btnStart->click();

    QCOMPARE(items(), QStringLiteral("G1,S3,S4,S5"));
    const QString message =
        db->failure(R"(SELECT "SP_STOK_MAIN_IMPORT_DELETE"('S3', id::varchar) FROM tbl_stok WHERE stokkodu = 'S3')");
    QVERIFY(!message.isEmpty());
    QCOMPARE(log(), QStringList({"Stok Silme İşlemi Başladı", "Hata : Stok Kodu = S3 " + message}));
    QCOMPARE(window->lblInfo->text(), "Hata : " + message);
    QCOMPARE(window->pBar->value(), 0);
}

QTEST_MAIN(tst_StokSil)
#include "tst_stoksil.moc"
