// The customer deletion end to end: the real window, its group lookup, its run and the reference database.

#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/Launchers.h"
#include "tools/untCariSil.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace kelvra;

namespace {

const QString notFound = QStringLiteral("Girmiş Olduğunuz Grup/Özel Kod Sistemde Kayıtlı Değil.!");
const QString ambiguous = QStringLiteral("Girmiş Olduğunuz Grup/Özel Kod İle Başlayan Birden Fazla Grup/Özel Kod "
                                         "Bilgisi Sistemde Kayıtlı. Lütfen Tam Adını Yazınız.");
const QString confirmation =
    QStringLiteral("Seçilen Gruba Ait Stok Bilgileri Silinecektir. İşleme Başlamak İstiyor musunuz?");

// Five customers of the group KURUMSAL, one of TOPTAN, one without a group; K1 and K2 carry special code 3
// "BÖLGE", K3 and T1 special code 4 "BÖLGE" (the same text under another number).
const char* const customersSql = R"(
    INSERT INTO tbl_cari (carikodu, cariadi, cari_grup_id)
    SELECT k, 'CARİ ' || k, (SELECT id FROM tbl_cari_grup WHERE grupadi = 'KURUMSAL')
    FROM unnest(ARRAY['K1', 'K2', 'K3', 'K4', 'K5']) k;
    INSERT INTO tbl_cari (carikodu, cariadi, cari_grup_id)
    VALUES ('T1', 'TOPTANCI', (SELECT id FROM tbl_cari_grup WHERE grupadi = 'TOPTAN')), ('N1', 'GRUPSUZ', NULL);
    INSERT INTO tbl_ozel_kod (tur, no, kod) VALUES ('C', 3, 'BÖLGE'), ('C', 4, 'BÖLGE');
    INSERT INTO tbl_cari_ozel_kod (cari_id, no, ozel_kod_id)
    SELECT c.id, o.no, o.id FROM tbl_cari c JOIN tbl_ozel_kod o ON o.tur = 'C' AND o.kod = 'BÖLGE'
    WHERE (o.no = 3 AND c.carikodu IN ('K1', 'K2')) OR (o.no = 4 AND c.carikodu IN ('K3', 'T1'));
)";

// Types text key by key; QTest::keyClicks takes Latin-1 letters only, the names here are Turkish.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

} // namespace

class tst_CariSil : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowAndLauncher();
    void groupLookup_data();
    void groupLookup();
    void lookupThatCannotAsk_data();
    void lookupThatCannotAsk();
    void keysAndCodeKindEmptyTheId_data();
    void keysAndCodeKindEmptyTheId();
    void runDeletesTheCustomersOfTheCodeAndNoOther_data();
    void runDeletesTheCustomersOfTheCodeAndNoOther();
    void listingWithoutRows();
    void listingFailureEndsTheRun();
    void failureOnTheThirdOfFiveRowsKeepsTheRest();
    void checksInTheirOrder_data();
    void checksInTheirOrder();
    void nothingReconnectsTheLinkDuringARun();
    void closingWithTheFocusInTheNameLooksNothingUp();

private:
    void openWindow();
    // Picks the code kind, types the name into the name edit and moves the focus on, as the technician does.
    void lookUp(int kind, const QString& name);
    QStringList log() const;
    QString customers() const { return db->query("SELECT string_agg(carikodu, ',' ORDER BY carikodu) FROM tbl_cari"); }
    QString brokenConnectionString() const
    {
        return QString(db->connectionString()).replace(QRegularExpression(QStringLiteral("Port=\\d+")), "Port=1");
    }

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    TfrmCariSil* window = nullptr;
};

void tst_CariSil::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    db = std::make_unique<test::TestDatabase>();
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
    window = nullptr;
}

void tst_CariSil::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

void tst_CariSil::openWindow()
{
    window = ToolWindow::create<TfrmCariSil>(&frmCariSil);
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void tst_CariSil::lookUp(int kind, const QString& name)
{
    window->cbxGrupOzelKod->setCurrentIndex(kind);
    window->edtGrupOzelKod->setFocus(Qt::TabFocusReason);
    QVERIFY(window->edtGrupOzelKod->hasFocus());
    typeText(window->edtGrupOzelKod, name);
    window->btnStart->setFocus(Qt::TabFocusReason);
}

QStringList tst_CariSil::log() const
{
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_CariSil::windowAndLauncher()
{
    // The launcher button "Cari Silme İşlemi" opens this window modally.
    QString opened;
    QTimer::singleShot(0, [&]() {
        if (auto* modal = qobject_cast<TfrmCariSil*>(QApplication::activeModalWidget())) {
            opened = modal->windowTitle();
            modal->close();
        }
    });
    launcherFor(11)();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(opened, QStringLiteral("Cari Silme"));
    QCOMPARE(frmCariSil, nullptr);

    openWindow();
    QCOMPARE(window->size(), QSize(299, 395));
    QCOMPARE(window->btnStart->text(), QStringLiteral("Cari Silme İşlemine Başla"));
    QVERIFY(!window->edtFileName && !window->lstFields && !window->btnUp && !window->edtOndalik);
    QStringList kinds;
    for (int i = 0; i < window->cbxGrupOzelKod->count(); ++i)
        kinds << window->cbxGrupOzelKod->itemText(i);
    QCOMPARE(kinds, QStringList({"GRUP KODU", "ÖZEL KOD 1", "ÖZEL KOD 2", "ÖZEL KOD 3", "ÖZEL KOD 4", "ÖZEL KOD 5",
                                 "ÖZEL KOD 6", "ÖZEL KOD 7", "ÖZEL KOD 8", "ÖZEL KOD 9", "ÖZEL KOD 10"}));
    QCOMPARE(window->cbxGrupOzelKod->currentIndex(), 0);
    QVERIFY(!window->cbxGrupOzelKod->isEditable());
    QVERIFY(!window->edtGrupOzelKodID->isVisible());
    QCOMPARE(window->edtGrupOzelKodID->geometry(), window->edtGrupOzelKod->geometry());
    QCOMPARE(window->mMoLog->height(), 175);

    // Tab order: connection, user code, code kind, name, start, close; the log is left out.
    QStringList order;
    QWidget* at = window->edtConnStr;
    do {
        if (at->parentWidget() == window && (at->focusPolicy() & Qt::TabFocus) && at->isVisible())
            order << at->objectName();
        at = at->nextInFocusChain();
    } while (at != window->edtConnStr);
    QCOMPARE(order,
             QStringList({"edtConnStr", "edtUserCode", "cbxGrupOzelKod", "edtGrupOzelKod", "btnStart", "btnClose"}));
}

void tst_CariSil::groupLookup_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("idQuery"); // the ID the lookup must find; empty: none

    const QString group = QStringLiteral("SELECT id FROM tbl_cari_grup WHERE grupadi = '%1'");
    QTest::newRow("full name of one group") << 0 << "KURUMSAL"
                                            << "" << group.arg("KURUMSAL");
    QTest::newRow("start of one group's name") << 0 << "kur"
                                               << "" << group.arg("KURUMSAL");
    QTest::newRow("a full name wins over longer names") << 0 << "toptan"
                                                        << "" << group.arg("TOPTAN");
    QTest::newRow("start of several names") << 0 << "TOP" << ambiguous << "";
    QTest::newRow("unknown group") << 0 << "YOKTUR" << notFound << "";
    // "A" under number 1 would be the start of ANKARA alone: the code kind decides.
    QTest::newRow("special code of its number")
        << 2 << "A"
        << ""
        << "SELECT id FROM tbl_ozel_kod WHERE tur = 'C' AND no = 2 AND kod = 'A'";
    QTest::newRow("special code of another number") << 3 << "İZMİR" << notFound << "";
}

void tst_CariSil::groupLookup()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(QString, idQuery);
    openWindow();
    // A stale ID, set after the code kind is picked (picking it empties the ID by itself).
    window->cbxGrupOzelKod->setCurrentIndex(kind);
    window->edtGrupOzelKodID->setText(QStringLiteral("999"));
    lookUp(kind, name);

    QCOMPARE(boxes->texts(), message.isEmpty() ? QStringList() : QStringList(message));
    QCOMPARE(window->edtGrupOzelKodID->text(), idQuery.isEmpty() ? QString() : db->query(idQuery));
    // The typed text stays as typed, and the lookup leaves the link closed.
    QCOMPARE(window->edtGrupOzelKod->text(), name);
    QVERIFY(!window->ConnDB.isOpen());
}

void tst_CariSil::lookupThatCannotAsk_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("connects");
    QTest::addColumn<bool>("procedureGone");
    QTest::addColumn<QString>("box"); // "kind: text" of the one box shown; empty: none

    // An empty name would fail on the broken connection if it touched the database.
    QTest::newRow("empty name") << "" << false << false << "";
    QTest::newRow("failed connection") << "KURUMSAL" << false << false
                                       << "message: Veri Tabanına Bağlanılamadı.! Hata : ";
    QTest::newRow("failing lookup procedure") << "A" << true << true << "error: spDo: Parameter '@OZELKODNO' not found";
}

void tst_CariSil::lookupThatCannotAsk()
{
    QFETCH(QString, name);
    QFETCH(bool, connects);
    QFETCH(bool, procedureGone);
    QFETCH(QString, box);
    if (procedureGone)
        db->query(R"(DROP FUNCTION "SP_OZEL_KOD_CARI_LIST")");
    openWindow();
    if (!connects)
        window->edtConnStr->setText(brokenConnectionString());
    window->cbxGrupOzelKod->setCurrentIndex(procedureGone ? 2 : 0);
    window->edtGrupOzelKodID->setText(QStringLiteral("999"));
    lookUp(procedureGone ? 2 : 0, name);

    QStringList shown;
    for (const auto& s : boxes->shown)
        shown << s.kind + QStringLiteral(": ") + s.text;
    QCOMPARE(shown.size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty())
        QVERIFY2(shown.first().startsWith(box), qPrintable(shown.first()));
    QCOMPARE(window->edtGrupOzelKodID->text(), QString());
}

void tst_CariSil::keysAndCodeKindEmptyTheId_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("emptied");
    QTest::newRow("Backspace") << "backspace" << true;
    QTest::newRow("Delete") << "delete" << true;
    QTest::newRow("another code kind") << "kind" << true;
    QTest::newRow("an arrow key") << "left" << false;
}

void tst_CariSil::keysAndCodeKindEmptyTheId()
{
    QFETCH(QString, action);
    QFETCH(bool, emptied);
    db->query(customersSql);
    openWindow();
    lookUp(0, QStringLiteral("KURUMSAL"));
    const QString id = window->edtGrupOzelKodID->text();
    QVERIFY(!id.isEmpty());

    if (action == QLatin1String("kind")) {
        window->cbxGrupOzelKod->setCurrentIndex(3);
    } else {
        window->edtGrupOzelKod->setFocus(Qt::TabFocusReason);
        const Qt::Key key = action == QLatin1String("backspace") ? Qt::Key_Backspace
                            : action == QLatin1String("delete")  ? Qt::Key_Delete
                                                                 : Qt::Key_Left;
        QTest::keyClick(window->edtGrupOzelKod, key);
    }
    // One press clears the whole name, not one character.
    QCOMPARE(window->edtGrupOzelKod->text(), emptied ? QString() : QStringLiteral("KURUMSAL"));
    QCOMPARE(window->edtGrupOzelKodID->text(), emptied ? QString() : id);
    if (!emptied)
        return;

    // Leaving the emptied edit looks nothing up; a start then stops at the missing ID.
    window->btnStart->setFocus(Qt::TabFocusReason);
    window->btnStart->click();
    QCOMPARE(boxes->texts(), QStringList({"Grup Adı Bilgisi Boş Geçilemez.!"}));
    QCOMPARE(customers(), QStringLiteral("K1,K2,K3,K4,K5,N1,T1"));
}

void tst_CariSil::runDeletesTheCustomersOfTheCodeAndNoOther_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("left");
    QTest::newRow("group") << 0 << "KURUMSAL"
                           << "N1,T1";
    // The lookup and the listing both get number 3: number 4 carries the same text for K3 and T1.
    QTest::newRow("special code 3") << 3 << "BÖLGE"
                                    << "K3,K4,K5,N1,T1";
}

void tst_CariSil::runDeletesTheCustomersOfTheCodeAndNoOther()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, left);
    db->query(customersSql);
    openWindow();
    lookUp(kind, name);
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList({confirmation}));
    QCOMPARE(customers(), left);
    QCOMPARE(log(), QStringList({"Cari Silme İşlemi Başladı", "Silme İşlemi Tamamlandı."}));
    QCOMPARE(window->lblInfo->text(), QStringLiteral("Silme İşlemi Tamamlandı."));
    QCOMPARE(window->pBar->value(), 0);
    QCOMPARE(window->pBar->maximum(), kind == 0 ? 5 : 2);
    // Only the connection and the user code are kept; no layout file is written.
    QCOMPARE(ReadSetting("IMPORT", "CONNSTR"), db->connectionString());
    QCOMPARE(ReadSetting("IMPORT", "USERCODE"), QStringLiteral("SERVIS"));
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList({"Kelvra.ini"}));
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
    QVERIFY(window->btnStart->isEnabled() && window->edtGrupOzelKod->isEnabled());
}

void tst_CariSil::listingWithoutRows()
{
    db->query(customersSql);
    openWindow();
    lookUp(0, QStringLiteral("AKARYAKIT"));
    window->lblInfo->setText(QStringLiteral("önceki çalışma"));
    window->pBar->setValue(7);
    window->btnStart->click();

    QCOMPARE(log(), QStringList({"Cari Silme İşlemi Başladı", "Gruba Atanmış Silinecek Cari Kaydı Bulunamadı"}));
    QCOMPARE(window->lblInfo->text(), QStringLiteral("önceki çalışma"));
    QCOMPARE(window->pBar->value(), 7);
    QCOMPARE(customers(), QStringLiteral("K1,K2,K3,K4,K5,N1,T1"));
}

void tst_CariSil::listingFailureEndsTheRun()
{
    // The group is removed between the lookup and the start: the listing refuses its ID.
    db->query(customersSql);
    openWindow();
    lookUp(0, QStringLiteral("PERAKENDE"));
    const QString id = window->edtGrupOzelKodID->text();
    db->query("DELETE FROM tbl_cari_grup WHERE grupadi = 'PERAKENDE'");
    window->btnStart->click();

    const QString message = QStringLiteral("Cari grubu bulunamadı: ") + id;
    QCOMPARE(log(), QStringList({"Cari Silme İşlemi Başladı", "Cari Listelemede Hata :" + message}));
    QCOMPARE(window->lblInfo->text(), "Hata : " + message);
    QCOMPARE(customers(), QStringLiteral("K1,K2,K3,K4,K5,N1,T1"));
}

void tst_CariSil::failureOnTheThirdOfFiveRowsKeepsTheRest()
{
    // K3 stands in an opening-balance document, which the reference database does not let go.
    db->query(customersSql);
    db->query("INSERT INTO tbl_devir_main (belgekodu, belgetarihi, islemtipi) VALUES ('DEVIR_1', '2020-04-27', 0);"
              "INSERT INTO tbl_devir_detay (devir_id, cari_id, bakiye) "
              "SELECT m.id, c.id, 100 FROM tbl_devir_main m, tbl_cari c WHERE c.carikodu = 'K3'");
    openWindow();
    lookUp(0, QStringLiteral("KURUMSAL"));
    window->btnStart->click();

    QCOMPARE(customers(), QStringLiteral("K3,K4,K5,N1,T1"));
    const QString message =
        db->failure(R"(SELECT "SP_CARI_MAIN_IMPORT_DELETE"('K3', id::varchar) FROM tbl_cari WHERE carikodu = 'K3')");
    QVERIFY(!message.isEmpty());
    QCOMPARE(log(), QStringList({"Cari Silme İşlemi Başladı", "Hata : Cari Kodu = K3 " + message}));
    QCOMPARE(window->lblInfo->text(), "Hata : " + message);
    QCOMPARE(window->pBar->value(), 0);
}

void tst_CariSil::checksInTheirOrder_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("message");
    QTest::newRow("user code comes before the ID") << "user"
                                                   << "Kullanıcı Bilgisi Boş Geçilemez.!";
    QTest::newRow("no lookup found the group") << "id"
                                               << "Grup Adı Bilgisi Boş Geçilemez.!";
    QTest::newRow("failed connection") << "connection"
                                       << "Veri Tabanına Bağlanılamadı.! Hata : ";
    QTest::newRow("answered No") << "no" << confirmation;
}

void tst_CariSil::checksInTheirOrder()
{
    QFETCH(QString, refusal);
    QFETCH(QString, message);
    db->query(customersSql);
    openWindow();
    if (refusal != QLatin1String("user") && refusal != QLatin1String("id"))
        lookUp(0, QStringLiteral("KURUMSAL"));
    if (refusal == QLatin1String("user"))
        window->edtUserCode->clear();
    else if (refusal == QLatin1String("connection"))
        window->edtConnStr->setText(brokenConnectionString());
    else if (refusal == QLatin1String("no"))
        boxes->answers = {false};
    window->mMoLog->setPlainText(QStringLiteral("önceki kayıt"));
    window->btnStart->click();

    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->last().startsWith(message), qPrintable(boxes->last()));
    QCOMPARE(window->mMoLog->toPlainText(), QStringLiteral("önceki kayıt"));
    QVERIFY(!QFile::exists(settingsPath()));
    QCOMPARE(customers(), QStringLiteral("K1,K2,K3,K4,K5,N1,T1"));
    // After No the link stays connected.
    QCOMPARE(window->ConnDB.isOpen(), refusal == QLatin1String("no"));
}

void tst_CariSil::nothingReconnectsTheLinkDuringARun()
{
    db->query(customersSql);
    openWindow();
    lookUp(0, QStringLiteral("KURUMSAL"));

    // Fires while the run pumps messages before its first deletion.
    bool tried = false;
    QTimer::singleShot(0, window, [&]() {
        tried = true;
        QVERIFY(!window->btnStart->isEnabled());
        QVERIFY(!window->edtConnStr->button()->isEnabled());
        QVERIFY(!window->edtGrupOzelKod->isEnabled());
        window->btnStartClick();
        window->edtGrupOzelKodExit();
        window->btnStart->click();
    });
    window->btnStart->click();

    QVERIFY(tried);
    QCOMPARE(boxes->texts(), QStringList({confirmation}));
    QCOMPARE(log(), QStringList({"Cari Silme İşlemi Başladı", "Silme İşlemi Tamamlandı."}));
    QCOMPARE(customers(), QStringLiteral("N1,T1"));
    QVERIFY(window->btnStart->isEnabled());
    QVERIFY(window->edtConnStr->button()->isEnabled());
    QVERIFY(window->edtGrupOzelKod->isEnabled());
    QVERIFY(window->cbxGrupOzelKod->isEnabled());
}

void tst_CariSil::closingWithTheFocusInTheNameLooksNothingUp()
{
    // Closing from the title bar is no leaving of the edit for another control: no lookup, no box.
    openWindow();
    window->edtGrupOzelKod->setFocus(Qt::TabFocusReason);
    typeText(window->edtGrupOzelKod, QStringLiteral("YOKTUR"));
    window->close();
    QCoreApplication::processEvents();
    window = nullptr;
    QCOMPARE(boxes->texts(), QStringList());
}

QTEST_MAIN(tst_CariSil)
#include "tst_carisil.moc"
