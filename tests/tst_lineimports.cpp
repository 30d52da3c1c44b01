// The credit card, chart of accounts, customer plate, supplier code and stock name windows end to end: the real
// windows, their runs and the reference database.

#include "app/untMain.h"
#include "framework/FieldLayout.h"
#include "framework/TextInput.h"
#include "framework/untGeneral.h"
#include "support/TestSupport.h"
#include "tools/untCariPlakaImport.h"
#include "tools/untHesapPlaniImport.h"
#include "tools/untKrediKartImport.h"
#include "tools/untStokFirmaKod.h"
#include "tools/untStokisim.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace kelvra;

Q_DECLARE_METATYPE(kelvra::LayoutItem)

namespace QTest {
template <> char* toString(const kelvra::LayoutItem& item)
{
    return qstrdup(
        qPrintable(QStringLiteral("{%1~%2&%3}").arg(item.caption, item.parameter, item.checked ? "1" : "0")));
}
} // namespace QTest

namespace {

// What a test needs to know of a window: how it opens, its keys and files, its texts and what it writes.
struct Tool
{
    std::function<ToolWindow*()> open;
    QString fileKey;
    QString layoutFile;
    QString confirmation;
    QString startText;
    QString endText;
    QString contents; // SQL: the rows the tool writes, as one text
};

const Tool& tool(const QString& name)
{
    static const QMap<QString, Tool> tools = {
        {QStringLiteral("kredikart"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmKrediKartImport>(&frmKrediKartImport); },
          "KKARTDEVIRFILENAME", "KKARTDEVIRLIST.FMT", "Kredi Kart Aktarımına Başlamak İstiyor musunuz?",
          "Kredi Kart Aktarımı Başladı", "Aktarım Tamamlandı.",
          "SELECT coalesce(string_agg(b.bankakodu || '|' || k.kartno || '|' || coalesce(k.kart_sahibi, '') || '|' || "
          "k.kart_limiti || '|' || coalesce(k.faiz_orani::text, ''), ',' ORDER BY k.kartno), '') "
          "FROM tbl_banka_kredi_kart k JOIN tbl_banka b ON b.id = k.banka_id"}},
        {QStringLiteral("hesapplani"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmHesapPlaniImport>(&frmHesapPlaniImport); },
          "HESAPPLANIFILENAME", "HESAPPLANILIST.FMT", "Hesap Planı Aktarımına Başlamak İstiyor musunuz?",
          "Hesap Planı Aktarımı Başladı", "Aktarım Tamamlandı.",
          "SELECT string_agg(hesapkodu || '|' || aciklama, ',' ORDER BY hesapkodu) FROM tbl_muhasebe_hesap_plani"}},
        {QStringLiteral("cariplaka"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmCariPlakaImport>(&frmCariPlakaImport); },
          "CARIPLAKAFILENAME", "CARIPLAKALIST.FMT", "Cari Plaka Aktarımına Başlamak İstiyor musunuz?",
          "Cari Plaka Aktarımı Başladı", "Aktarım Tamamlandı.",
          "SELECT coalesce(string_agg(c.carikodu || '|' || p.plakano || '|' || coalesce(p.keyno, '') || '|' || "
          "coalesce(p.kartno, ''), ',' ORDER BY p.plakano), '') "
          "FROM tbl_akaryakit_cari_plaka p JOIN tbl_cari c ON c.id = p.cari_id"}},
        {QStringLiteral("firmakod"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmStokFirmaKod>(&frmStokFirmaKod); },
          "FIRMAREFRESHFILENAME", "FIRMAREFRESHLIST.FMT", "Stok Aktarımına Başlamak İstiyor musunuz?",
          "Firma Kodları Güncelleme Başladı", "Güncelleme Tamamlandı.",
          "SELECT coalesce(string_agg(s.stokkodu || '|' || c.carikodu || '|' || f.firma_stok_kodu, ',' "
          "ORDER BY s.stokkodu, c.carikodu), '') "
          "FROM tbl_stok_firma_kodu f JOIN tbl_stok s ON s.id = f.stok_id JOIN tbl_cari c ON c.id = f.cari_id"}},
        {QStringLiteral("stokisim"),
         {[]() -> ToolWindow* { return ToolWindow::create<TfrmStokisim>(&frmStokisim); }, "STOKREFRESHFILENAME",
          "STOKREFRESHLIST.FMT", "Stok Aktarımına Başlamak İstiyor musunuz?", "Stok İsim Güncelleme Başladı",
          "Güncelleme Tamamlandı.",
          "SELECT string_agg(s.stokkodu || '|' || s.stokadi || '|' || coalesce(s.gramaj::text, '') || '|' || "
          "coalesce((SELECT string_agg(barkod, ' ' ORDER BY barkod) FROM tbl_stok_barkod b WHERE b.stok_id = s.id), "
          "''), ',' ORDER BY s.stokkodu) FROM tbl_stok s"}},
    };
    return tools.find(name).value();
}

// Calls back each time a run lets the GUI process its pending messages: a queued call that queues itself again
// is delivered once per processing.
class MessagePumps : public QObject
{
public:
    explicit MessagePumps(std::function<void(int call)> onPump) : m_onPump(std::move(onPump)) { queue(); }

private:
    void queue()
    {
        QMetaObject::invokeMethod(
            this,
            [this]() {
                m_onPump(m_calls++);
                queue();
            },
            Qt::QueuedConnection);
    }
    std::function<void(int)> m_onPump;
    int m_calls = 0;
};

QByteArray layoutFile(const FieldLayout& layout)
{
    QStringList lines;
    for (const LayoutItem& item : layout)
        lines << formatLayoutLine(item);
    return encodeLegacy(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace

class tst_LineImports : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowsCarryTheirControls_data();
    void windowsCarryTheirControls();
    void launcherButtonsOpenTheirWindows_data();
    void launcherButtonsOpenTheirWindows();
    void goodFileLands_data();
    void goodFileLands();
    void failingLineRollsBackTheRun_data();
    void failingLineRollsBackTheRun();
    void refusedStartWritesNothing_data();
    void refusedStartWritesNothing();
    void cardLimitAloneIsNormalised_data();
    void cardLimitAloneIsNormalised();
    void lineCounterShowsLinesSent_data();
    void lineCounterShowsLinesSent();
    void supplierCodeIsReadAtEachLine();
    void plateWindowOpensOnToday_data();
    void plateWindowOpensOnToday();

private:
    ToolWindow* openWindow(const QString& name);
    QStringList log() const;
    void setItemChecked(const QString& parameter, bool checked);

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::ScriptedBoxes> boxes;
    QPointer<ToolWindow> window;
};

void tst_LineImports::init()
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    folder = std::make_unique<test::TempFolder>();
    boxes = std::make_unique<test::ScriptedBoxes>();
    window = nullptr;
}

void tst_LineImports::cleanup()
{
    if (window)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes.reset();
    folder.reset();
    db.reset();
}

ToolWindow* tst_LineImports::openWindow(const QString& name)
{
    if (!db) {
        db = std::make_unique<test::TestDatabase>();
        // Customers and stock items the plate, supplier code and stock name files refer to.
        db->query("INSERT INTO tbl_cari (carikodu, cariadi) VALUES ('C001', 'AKARYAKIT MÜŞTERİ'), "
                  "('T001', 'TEDARİKÇİ A'), ('T002', 'TEDARİKÇİ B'); "
                  "INSERT INTO tbl_stok (stokkodu, stokadi) VALUES ('S001', 'ESKİ AD 1'), ('S002', 'ESKİ AD 2'); "
                  "INSERT INTO tbl_stok_barkod (stok_id, barkod) SELECT id, '8690000000017' FROM tbl_stok "
                  "WHERE stokkodu = 'S001'");
    }
    window = tool(name).open();
    window->edtConnStr->setText(db->connectionString());
    window->edtUserCode->setText(QStringLiteral("SERVIS"));
    window->edtFileName->setText(folder->file(QStringLiteral("girdi.txt")));
    if (auto* firmaKod = qobject_cast<TfrmStokFirmaKod*>(window.data()))
        firmaKod->edtCariKodu->setText(QStringLiteral("T001"));
    return window;
}

QStringList tst_LineImports::log() const
{
    // Each log line starts with the local date and time and " -> ".
    QStringList texts;
    for (const QString& line : window->mMoLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

void tst_LineImports::setItemChecked(const QString& parameter, bool checked)
{
    for (int i = 0; i < window->lstFields->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = window->lstFields->topLevelItem(i);
        if (item->text(1) == parameter)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void tst_LineImports::windowsCarryTheirControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("startCaption");
    QTest::addColumn<bool>("symbols");
    QTest::addColumn<bool>("lineCounter");
    QTest::addColumn<FieldLayout>("defaults");
    // An extra control and the control just before it in the tab order.
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("before");

    QTest::newRow("credit cards")
        << "kredikart"
        << "Kredi Kartları Aktarımı" << QSize(299, 486) << "Kredi Kart Aktarımına Başla" << true << false
        << FieldLayout{{"BANKA KODU", "@BANKAKODU", true},        {"KART NO", "@KARTNO", true},
                       {"KART SAHİBİ", "@KARTSAHIBI", false},     {"KART TİPİ", "@KREDITIPADI", false},
                       {"KART LİMİTİ", "@KARTLIMITI", false},     {"HES.KES.GÜNÜ", "@HESAPKESIMGUNU", false},
                       {"ÖDEME GÜNÜ", "@ODEMEGUNU", false},       {"FAİZ ORANI", "@FAIZORANI", false},
                       {"MUHASEBE KODU", "@MUHASEBEKODU", false}, {"AÇIKLAMA", "@ACIKLAMA", false}}
        << ""
        << "";
    QTest::newRow("chart of accounts") << "hesapplani"
                                       << "Hesap Planı Aktarımı" << QSize(299, 343) << "Hesap Plani Aktarımına Başla"
                                       << false << true
                                       << FieldLayout{{"MUHASEBE KODU", "@MUHASEBEKODU", true},
                                                      {"ACIKLAMA", "@ACIKLAMA", true}}
                                       << ""
                                       << "";
    QTest::newRow("customer plates") << "cariplaka"
                                     << "Cari Plaka Aktarımı" << QSize(299, 378) << "Cari Plaka Aktarımına Başla"
                                     << false << true
                                     << FieldLayout{{"CARİ KODU", "@CARIKODU", true},
                                                    {"PLAKANO", "@PLAKANO", true},
                                                    {"KEYNO", "@KEYNO", true},
                                                    {"KARTNO", "@KARTNO", true}}
                                     << "edtTarih"
                                     << "edtFileName";
    QTest::newRow("supplier codes") << "firmakod"
                                    << "Stok Firma Kod Güncellemesi" << QSize(299, 336) << "Güncellemeye Başla" << false
                                    << false
                                    << FieldLayout{{"STOK KODU", "@STOKKODU", true},
                                                   {"BARKOD", "@BARKOD", false},
                                                   {"FİRMA KODU", "@FIRMASTOKKODU", true}}
                                    << "edtCariKodu"
                                    << "edtUserCode";
    QTest::newRow("stock names") << "stokisim"
                                 << "Stok İsim Güncelleme" << QSize(299, 331) << "Güncellemeye Başla" << false << false
                                 << FieldLayout{{"STOK KODU", "@STOKKODU", true},
                                                {"BARKOD", "@BARKOD", false},
                                                {"STOK ADI", "@STOKADI", true},
                                                {"GRAMAJ", "@GRAMAJ", false}}
                                 << ""
                                 << "";
}

void tst_LineImports::windowsCarryTheirControls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    QFETCH(QString, startCaption);
    QFETCH(bool, symbols);
    QFETCH(bool, lineCounter);
    QFETCH(FieldLayout, defaults);
    QFETCH(QString, extra);
    QFETCH(QString, before);

    // No layout file: the window shows its defaults.
    window = tool(name).open();
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), size);
    QCOMPARE(window->btnStart->text(), startCaption);
    QCOMPARE(window->btnClose->text(), QStringLiteral("Kapat"));
    QVERIFY(window->btnUp->text().isEmpty() && window->btnDown->text().isEmpty());
    QCOMPARE(window->edtOndalik != nullptr, symbols);
    QCOMPARE(window->edtBasamak != nullptr, symbols);
    QCOMPARE(window->findChild<QWidget*>(QStringLiteral("edtOndalik")) != nullptr, symbols);
    QCOMPARE(window->pBar == nullptr, lineCounter);
    QCOMPARE(window->lblBar != nullptr, lineCounter);
    if (lineCounter)
        QCOMPARE(window->lblBar->text(), QString());
    QCOMPARE(window->fieldLayout(), defaults);
    if (!extra.isEmpty()) {
        QWidget* control = window->findChild<QWidget*>(extra);
        QVERIFY(control);
        QCOMPARE(window->findChild<QWidget*>(before)->nextInFocusChain(), control);
        // Between its neighbours in the window, left of nothing it could hide.
        QVERIFY(control->geometry().top() > window->findChild<QWidget*>(before)->geometry().top());
        QVERIFY(control->geometry().bottom() < window->lblInfo->geometry().top());
    }
    if (auto* firmaKod = qobject_cast<TfrmStokFirmaKod*>(window.data()))
        QCOMPARE(firmaKod->edtCariKodu->text(), QString());
}

void tst_LineImports::launcherButtonsOpenTheirWindows_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("sBitBtn8") << 8 << "frmStokisim"
                              << "Stok İsim Güncelleme";
    QTest::newRow("sBitBtn9") << 9 << "frmKrediKartImport"
                              << "Kredi Kartları Aktarımı";
    QTest::newRow("sBitBtn10") << 10 << "frmStokFirmaKod"
                               << "Stok Firma Kod Güncellemesi";
    QTest::newRow("sBitBtn13") << 13 << "frmCariPlakaImport"
                               << "Cari Plaka Aktarımı";
    QTest::newRow("sBitBtn14") << 14 << "frmHesapPlaniImport"
                               << "Hesap Planı Aktarımı";
}

void tst_LineImports::launcherButtonsOpenTheirWindows()
{
    QFETCH(int, button);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    auto reference = [button]() -> QWidget* {
        switch (button) {
        case 8:
            return frmStokisim;
        case 9:
            return frmKrediKartImport;
        case 10:
            return frmStokFirmaKod;
        case 13:
            return frmCariPlakaImport;
        case 14:
            return frmHesapPlaniImport;
        }
        return nullptr;
    };

    TfrmMain main;
    main.edtPassword->setText(QStringLiteral("40516273"));
    QString seenName, seenCaption;
    bool referenceSet = false;
    QPointer<QWidget> seen;
    QTimer::singleShot(0, [&]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seenName = modal->objectName();
        seenCaption = modal->windowTitle();
        referenceSet = reference() == modal;
        seen = modal;
        modal->close();
    });
    QTest::mouseClick(main.button(button), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(seenName, window);
    QCOMPARE(seenCaption, caption);
    QVERIFY(referenceSet);
    QVERIFY(!seen);
    QCOMPARE(reference(), nullptr);
}

void tst_LineImports::goodFileLands_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("layout"); // a layout file to start from; empty: the default layout
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("contents");

    QTest::newRow("credit cards") << "kredikart" << QByteArray()
                                  << "0046;4543 6000 1234 5678\r\n0062;\"5400-1234-5678-9012\"\r\n"
                                  << "0046|4543600012345678||0.00|,0062|5400123456789012||0.00|";
    QTest::newRow("chart of accounts") << "hesapplani" << QByteArray()
                                       << "120.01;YURT İÇİ ALICILAR\r\n100;KASA (TL)\r\n600.01;1.500,00 TL ÜSTÜ\r\n"
                                       << "100|KASA (TL),102|BANKALAR,120|ALICILAR,120.01|YURT İÇİ ALICILAR,"
                                          "153|TİCARİ MALLAR,320|SATICILAR,600|YURT İÇİ SATIŞLAR,"
                                          "600.01|1.500,00 TL ÜSTÜ";
    QTest::newRow("customer plates") << "cariplaka" << QByteArray()
                                     << "C001;34 abc 123;K1;KART1\r\nC001;06-XYZ-06;K2;KART2\r\n"
                                     << "C001|06XYZ06|K2|KART2,C001|34ABC123|K1|KART1";
    QTest::newRow("customer plates, key and card unchecked") << "cariplaka"
                                                             << layoutFile({{"CARİ KODU", "@CARIKODU", true},
                                                                            {"PLAKANO", "@PLAKANO", true},
                                                                            {"KEYNO", "@KEYNO", false},
                                                                            {"KARTNO", "@KARTNO", true}})
                                                             << "C001;35 DEF 35;KART9\r\n"
                                                             << "C001|35DEF35||KART9";
    QTest::newRow("supplier codes") << "firmakod" << QByteArray() << "S001;F-100\r\nS002;F-200\r\n"
                                    << "S001|T001|F-100,S002|T001|F-200";
    QTest::newRow("supplier codes by barcode")
        << "firmakod"
        << layoutFile(
               {{"STOK KODU", "@STOKKODU", false}, {"BARKOD", "@BARKOD", true}, {"FİRMA KODU", "@FIRMASTOKKODU", true}})
        << "8690000000017;F-017\r\n"
        << "S001|T001|F-017";
    QTest::newRow("supplier codes, a checked customer column wins over the edit")
        << "firmakod"
        << layoutFile({{"CARİ KODU", "@CARIKODU", true},
                       {"STOK KODU", "@STOKKODU", true},
                       {"FİRMA KODU", "@FIRMASTOKKODU", true}})
        << "T002;S001;F-1\r\n"
        << "S001|T002|F-1";
    QTest::newRow("stock names") << "stokisim" << QByteArray() << "S001;YENİ AD\r\n"
                                 << "S001|YENİ AD||8690000000017,S002|ESKİ AD 2||";
    QTest::newRow("stock names with barcode and weight as written")
        << "stokisim"
        << layoutFile({{"STOK KODU", "@STOKKODU", true},
                       {"BARKOD", "@BARKOD", true},
                       {"STOK ADI", "@STOKADI", true},
                       {"GRAMAJ", "@GRAMAJ", true}})
        << "S002;8690000000024;İKİNCİ;1.500\r\n"
        << "S001|ESKİ AD 1||8690000000017,S002|İKİNCİ|1.5000|8690000000024";
}

void tst_LineImports::goodFileLands()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, layout);
    QFETCH(QString, file);
    QFETCH(QString, contents);
    const Tool& t = tool(name);
    if (!layout.isEmpty())
        folder->write(t.layoutFile, layout);
    // Number symbols saved by other tools: the windows without symbols leave them as they are.
    WriteSetting(QStringLiteral("IMPORT"), QStringLiteral("ONDALIK"), QStringLiteral(","));
    WriteSetting(QStringLiteral("IMPORT"), QStringLiteral("BASAMAK"), QStringLiteral("_"));
    folder->write(QStringLiteral("girdi.txt"), encodeLegacy(file));
    openWindow(name);
    const FieldLayout shown = window->fieldLayout();
    window->btnStart->click();

    QCOMPARE(boxes->texts(), QStringList{t.confirmation});
    QCOMPARE(log(), QStringList({t.startText, t.endText}));
    QCOMPARE(db->query(t.contents), contents);
    QCOMPARE(window->lblInfo->text(), t.endText);
    if (window->pBar)
        QCOMPARE(window->pBar->value(), 0);
    else
        QCOMPARE(window->lblBar->text(), QString());
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), t.fileKey), folder->file(QStringLiteral("girdi.txt")));
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("USERCODE")), QStringLiteral("SERVIS"));
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("ONDALIK")), QStringLiteral(","));
    QCOMPARE(ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("BASAMAK")), QStringLiteral("_"));
    QVERIFY(QFile::exists(folder->file(t.layoutFile)));
    QCOMPARE(readLayoutFile(folder->file(t.layoutFile)), shown);
}

void tst_LineImports::failingLineRollsBackTheRun_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<QString>("supplier");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("failure"); // the log lines after the start text

    QTest::newRow("credit cards: unknown bank")
        << "kredikart" << QByteArray() << ""
        << "0046;4543600012345678\r\n9999;4543600012345679\r\n0062;5400123456789012\r\n"
        << QStringList{"Hata : Banka bulunamadı: 9999", "Satır : 9999;4543600012345679"};
    QTest::newRow("chart of accounts: no description")
        << "hesapplani" << QByteArray() << ""
        << "700;GELİRLER\r\n701;\r\n"
        << QStringList{"Hata : Hesap açıklaması boş olamaz.", "Satır : 701;"};
    QTest::newRow("customer plates: unknown customer")
        << "cariplaka" << QByteArray() << ""
        << "C001;34ABC1;;\r\nC999;34ABC2;;\r\n"
        << QStringList{"Hata : Cari bulunamadı: C999", "Satır : C999;34ABC2;;"};
    QTest::newRow("supplier codes: unknown stock") << "firmakod" << QByteArray() << "T001"
                                                   << "S001;F-1\r\nS999;F-2\r\n"
                                                   << QStringList{"Hata : Stok bulunamadı: S999", "Satır : S999;F-2"};
    // The check takes a blank for a code; it is sent as typed and the procedure refuses it.
    QTest::newRow("supplier codes: a blank supplier code is sent")
        << "firmakod" << QByteArray() << " "
        << "S001;F-1\r\n"
        << QStringList{"Hata : Cari kodu boş olamaz.", "Satır : S001;F-1"};
    // With nothing checked the procedure is still called, with the supplier code alone: it finds the supplier
    // and misses the stock item.
    QTest::newRow("supplier codes: nothing checked")
        << "firmakod"
        << layoutFile({{"STOK KODU", "@STOKKODU", false},
                       {"BARKOD", "@BARKOD", false},
                       {"FİRMA KODU", "@FIRMASTOKKODU", false}})
        << "T001"
        << "S001;F-1\r\n"
        << QStringList{"Hata : Stok kodu veya barkod boş olamaz.", "Satır : S001;F-1"};
    QTest::newRow("stock names: unknown stock") << "stokisim" << QByteArray() << ""
                                                << "S001;YENİ\r\nS999;YOK\r\n"
                                                << QStringList{"Hata : Stok bulunamadı: S999", "Satır : S999;YOK"};
    QTest::newRow("stock names: nothing checked")
        << "stokisim"
        << layoutFile({{"STOK KODU", "@STOKKODU", false},
                       {"BARKOD", "@BARKOD", false},
                       {"STOK ADI", "@STOKADI", false},
                       {"GRAMAJ", "@GRAMAJ", false}})
        << ""
        << "S001;YENİ\r\n"
        << QStringList{"Hata : Stok kodu veya barkod boş olamaz.", "Satır : S001;YENİ"};
}

void tst_LineImports::failingLineRollsBackTheRun()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, layout);
    QFETCH(QString, supplier);
    QFETCH(QString, file);
    QFETCH(QStringList, failure);
    const Tool& t = tool(name);
    if (!layout.isEmpty())
        folder->write(t.layoutFile, layout);
    folder->write(QStringLiteral("girdi.txt"), encodeLegacy(file));
    openWindow(name);
    if (auto* firmaKod = qobject_cast<TfrmStokFirmaKod*>(window.data()))
        firmaKod->edtCariKodu->setText(supplier);
    const QString before = db->query(t.contents);
    window->btnStart->click();

    QCOMPARE(log(), QStringList{t.startText} + failure);
    QCOMPARE(window->lblInfo->text(), failure.first());
    QCOMPARE(db->query(t.contents), before);
    if (window->pBar)
        QCOMPARE(window->pBar->value(), 0);
    else
        QCOMPARE(window->lblBar->text(), QString());
    QCOMPARE(window->ConnDB.transactionLevel(), 0);
}

void tst_LineImports::refusedStartWritesNothing_data()
{
    QTest::addColumn<QString>("name");
    // Changes to the ready window, each "what:value".
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("message");

    QTest::newRow("credit cards: blank decimal symbol")
        << "kredikart" << QStringList{"ondalik:  "} << "Ondalık ve Basamak Simgeleri Boş Geçilemez.!";
    QTest::newRow("credit cards: grouping symbol a tab")
        << "kredikart" << QStringList{"basamak:\t"} << "Ondalık ve Basamak Simgeleri Boş Geçilemez.!";
    QTest::newRow("credit cards: missing file before empty user code")
        << "kredikart" << QStringList{"file:yok.txt", "user:"} << "Dosya Bulunamadı.!";
    QTest::newRow("credit cards: empty user code before empty symbols")
        << "kredikart" << QStringList{"user:", "ondalik:", "basamak:"} << "Kullanıcı Bilgisi Boş Geçilemez.!";
    QTest::newRow("credit cards: symbols before the mandatory items")
        << "kredikart" << QStringList{"ondalik:", "uncheck:@KARTNO"} << "Ondalık ve Basamak Simgeleri Boş Geçilemez.!";
    QTest::newRow("credit cards: card number unchecked")
        << "kredikart" << QStringList{"uncheck:@KARTNO"}
        << "Banka Kodu ve Kart No Alanları İşaretlenmesi Zorunlu Alanlardır.!";
    QTest::newRow("credit cards: bank code unchecked")
        << "kredikart" << QStringList{"uncheck:@BANKAKODU"}
        << "Banka Kodu ve Kart No Alanları İşaretlenmesi Zorunlu Alanlardır.!";
    QTest::newRow("credit cards: answered No")
        << "kredikart" << QStringList{"answer:no"} << "Kredi Kart Aktarımına Başlamak İstiyor musunuz?";
    QTest::newRow("chart of accounts: description unchecked")
        << "hesapplani" << QStringList{"uncheck:@ACIKLAMA"} << "Tüm Alanların İşaretlenmesi Zorunludur.!";
    QTest::newRow("chart of accounts: account code unchecked")
        << "hesapplani" << QStringList{"uncheck:@MUHASEBEKODU"} << "Tüm Alanların İşaretlenmesi Zorunludur.!";
    QTest::newRow("chart of accounts: a third item of its own unchecked")
        << "hesapplani" << QStringList{"layout:MUHASEBE KODU~@MUHASEBEKODU&1|ACIKLAMA~@ACIKLAMA&1|NOT~@NOT&0"}
        << "Tüm Alanların İşaretlenmesi Zorunludur.!";
    QTest::newRow("chart of accounts: empty user code")
        << "hesapplani" << QStringList{"user:"} << "Kullanıcı Bilgisi Boş Geçilemez.!";
    QTest::newRow("chart of accounts: answered No")
        << "hesapplani" << QStringList{"answer:no"} << "Hesap Planı Aktarımına Başlamak İstiyor musunuz?";
    QTest::newRow("customer plates: customer code unchecked")
        << "cariplaka" << QStringList{"uncheck:@CARIKODU"} << "Cari Kodu İşaretlenmesi Zorunlu Alandır.!";
    QTest::newRow("customer plates: missing file")
        << "cariplaka" << QStringList{"file:yok.txt"} << "Dosya Bulunamadı.!";
    QTest::newRow("supplier codes: empty supplier code")
        << "firmakod" << QStringList{"supplier:"} << "Cari Kodu Bilgisi Boş Geçilemez.!";
    QTest::newRow("supplier codes: empty user code before empty supplier code")
        << "firmakod" << QStringList{"user:", "supplier:"} << "Kullanıcı Bilgisi Boş Geçilemez.!";
    QTest::newRow("supplier codes: missing file before empty supplier code")
        << "firmakod" << QStringList{"file:yok.txt", "supplier:"} << "Dosya Bulunamadı.!";
    QTest::newRow("supplier codes: failed connection")
        << "firmakod" << QStringList{"connection:Driver={Yok Sürücü}"} << "Veri Tabanına Bağlanılamadı.! Hata : ";
    QTest::newRow("stock names: missing file") << "stokisim" << QStringList{"file:yok.txt"} << "Dosya Bulunamadı.!";
    QTest::newRow("stock names: answered No")
        << "stokisim" << QStringList{"answer:no"} << "Stok Aktarımına Başlamak İstiyor musunuz?";
}

void tst_LineImports::refusedStartWritesNothing()
{
    QFETCH(QString, name);
    QFETCH(QStringList, changes);
    QFETCH(QString, message);
    const Tool& t = tool(name);
    folder->write(QStringLiteral("girdi.txt"), "0046;4543600012345678\r\n");
    for (const QString& change : changes) {
        if (change.startsWith(QLatin1String("layout:")))
            folder->write(t.layoutFile, encodeLegacy(change.mid(7).replace(QLatin1Char('|'), QStringLiteral("\r\n"))));
    }
    openWindow(name);
    // Read at opening, then removed: a save at the refused start would show as a new file.
    if (QFile::exists(folder->file(t.layoutFile)))
        QVERIFY(QFile::remove(folder->file(t.layoutFile)));
    window->mMoLog->setPlainText(QStringLiteral("önceki kayıt"));
    bool connects = false;
    for (const QString& change : changes) {
        const QString what = change.section(QLatin1Char(':'), 0, 0);
        const QString value = change.section(QLatin1Char(':'), 1);
        if (what == QLatin1String("ondalik"))
            window->edtOndalik->setText(value);
        else if (what == QLatin1String("basamak"))
            window->edtBasamak->setText(value);
        else if (what == QLatin1String("file"))
            window->edtFileName->setText(folder->file(value));
        else if (what == QLatin1String("user"))
            window->edtUserCode->setText(value);
        else if (what == QLatin1String("supplier"))
            qobject_cast<TfrmStokFirmaKod*>(window.data())->edtCariKodu->setText(value);
        else if (what == QLatin1String("uncheck"))
            setItemChecked(value, false);
        else if (what == QLatin1String("connection"))
            window->edtConnStr->setText(value);
        else if (what == QLatin1String("answer")) {
            boxes->answers = {false};
            connects = true;
        }
    }
    const QString before = db->query(t.contents);
    window->btnStart->click();

    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->last().startsWith(message), qPrintable(boxes->last()));
    QCOMPARE(window->mMoLog->toPlainText(), QStringLiteral("önceki kayıt"));
    QVERIFY(!QFile::exists(settingsPath()));
    QVERIFY(!QFile::exists(folder->file(t.layoutFile)));
    QCOMPARE(db->query(t.contents), before);
    // Only the confirmation comes after connecting.
    QCOMPARE(window->ConnDB.isOpen(), connects);
}

void tst_LineImports::cardLimitAloneIsNormalised_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("grouping");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("number");

    // Read as written, 1.500 and 1,500 are one and a half; with the grouping symbol removed, fifteen hundred.
    QTest::newRow("Turkish locale, dot grouping") << QLocale(QLocale::Turkish, QLocale::Turkey) << "."
                                                  << ","
                                                  << "1.500";
    QTest::newRow("English locale, comma grouping") << QLocale(QLocale::English, QLocale::UnitedStates) << ","
                                                    << "."
                                                    << "1,500";
    QTest::newRow("English locale, dot grouping and decimal comma")
        << QLocale(QLocale::English, QLocale::UnitedStates) << "."
        << ","
        << "1.500";
}

void tst_LineImports::cardLimitAloneIsNormalised()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, grouping);
    QFETCH(QString, decimal);
    QFETCH(QString, number);
    QLocale::setDefault(locale);
    // A technician's layout, kept under KKARTDEVIRLIST.FMT, that binds the limit and the interest rate.
    folder->write(QStringLiteral("KKARTDEVIRLIST.FMT"), layoutFile({{"BANKA KODU", "@BANKAKODU", true},
                                                                    {"KART NO", "@KARTNO", true},
                                                                    {"KART LİMİTİ", "@KARTLIMITI", true},
                                                                    {"FAİZ ORANI", "@FAIZORANI", true}}));
    folder->write(QStringLiteral("girdi.txt"), ("0046;4543600012345678;" + number + ";" + number + "\r\n").toLatin1());
    openWindow(QStringLiteral("kredikart"));
    window->edtBasamak->setText(grouping);
    window->edtOndalik->setText(decimal);
    window->btnStart->click();

    QCOMPARE(log().last(), QStringLiteral("Aktarım Tamamlandı."));
    QCOMPARE(db->query("SELECT kart_limiti || '|' || faiz_orani FROM tbl_banka_kredi_kart"),
             QStringLiteral("1500.00|1.5000"));
}

void tst_LineImports::lineCounterShowsLinesSent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("failing"); // the line (from 0) that the procedure refuses; -1 for none
    QTest::addColumn<QStringList>("counter");

    const QStringList three{"0 / 120", "50 / 120", "100 / 120"};
    QTest::newRow("chart of accounts, 120 lines") << "hesapplani" << 120 << -1 << three;
    QTest::newRow("chart of accounts, line 75 fails")
        << "hesapplani" << 120 << 75 << QStringList{"0 / 120", "50 / 120"};
    QTest::newRow("chart of accounts, empty file") << "hesapplani" << 0 << -1 << QStringList{};
    QTest::newRow("customer plates, 120 lines") << "cariplaka" << 120 << -1 << three;
    QTest::newRow("customer plates, line 110 fails")
        << "cariplaka" << 120 << 110 << QStringList{"0 / 120", "50 / 120", "100 / 120"};
    QTest::newRow("customer plates, 50 lines") << "cariplaka" << 50 << -1 << QStringList{"0 / 50"};
}

void tst_LineImports::lineCounterShowsLinesSent()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(int, failing);
    QFETCH(QStringList, counter);
    QString file;
    for (int k = 0; k < lines; ++k) {
        const bool fails = k == failing;
        file += name == QLatin1String("hesapplani") ? QStringLiteral("700.%1;%2\r\n")
                                                          .arg(k, 3, 10, QLatin1Char('0'))
                                                          .arg(fails ? QString() : QStringLiteral("GELİR %1").arg(k))
                                                    : QStringLiteral("%1;34 PL %2;;\r\n")
                                                          .arg(fails ? QStringLiteral("C999") : QStringLiteral("C001"))
                                                          .arg(k);
    }
    folder->write(QStringLiteral("girdi.txt"), encodeLegacy(file));
    openWindow(name);
    const QString before = db->query(tool(name).contents);
    QStringList shown;
    MessagePumps pumps([&](int) { shown << window->lblBar->text(); });
    window->btnStart->click();
    const QStringList logged = log();

    QCOMPARE(shown, counter);
    QCOMPARE(window->lblBar->text(), QString());
    if (failing < 0) {
        QCOMPARE(logged.last(), QStringLiteral("Aktarım Tamamlandı."));
        QCOMPARE(
            db->query("SELECT count(*) FROM " + QString(name == QLatin1String("hesapplani")
                                                            ? "tbl_muhasebe_hesap_plani WHERE hesapkodu LIKE '700.%'"
                                                            : "tbl_akaryakit_cari_plaka")),
            QString::number(lines));
    } else {
        QCOMPARE(logged.size(), 3);
        QVERIFY2(logged[1].startsWith(QLatin1String("Hata : ")), qPrintable(logged[1]));
        QCOMPARE(window->lblInfo->text(), logged[1]);
        QCOMPARE(db->query(tool(name).contents), before);
    }
}

void tst_LineImports::supplierCodeIsReadAtEachLine()
{
    folder->write(QStringLiteral("girdi.txt"), QByteArray());
    openWindow(QStringLiteral("firmakod"));
    QString file;
    for (int k = 1; k <= 150; ++k)
        file += QStringLiteral("P%1;F%1\r\n").arg(k, 3, 10, QLatin1Char('0'));
    folder->write(QStringLiteral("girdi.txt"), file.toLatin1());
    db->query("INSERT INTO tbl_stok (stokkodu, stokadi) "
              "SELECT 'P' || lpad(k::text, 3, '0'), 'ÜRÜN ' || k FROM generate_series(1, 150) k");
    // The technician types the other supplier while the run processes messages before its 101st line.
    MessagePumps pumps([&](int call) {
        if (call == 1)
            static_cast<TfrmStokFirmaKod*>(window.data())->edtCariKodu->setText(QStringLiteral("T002"));
    });
    window->btnStart->click();

    QCOMPARE(log().last(), QStringLiteral("Güncelleme Tamamlandı."));
    QCOMPARE(
        db->query(
            "SELECT string_agg(c.carikodu || ':' || first || '-' || last || '=' || n, ',' ORDER BY c.carikodu) FROM ("
            "SELECT f.cari_id, min(s.stokkodu) AS first, max(s.stokkodu) AS last, count(*) AS n "
            "FROM tbl_stok_firma_kodu f JOIN tbl_stok s ON s.id = f.stok_id GROUP BY f.cari_id) g "
            "JOIN tbl_cari c ON c.id = g.cari_id"),
        QStringLiteral("T001:P001-P100=100,T002:P101-P150=50"));
}

void tst_LineImports::plateWindowOpensOnToday_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("format");
    QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey) << "dd.MM.yyyy";
    QTest::newRow("American English") << QLocale(QLocale::English, QLocale::UnitedStates) << "MM/dd/yyyy";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "dd.MM.yyyy";
}

void tst_LineImports::plateWindowOpensOnToday()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, format);
    QLocale::setDefault(locale);
    const QString today = QDate::currentDate().toString(format);

    folder->write(QStringLiteral("girdi.txt"), "C001;34 ABC 1;;\r\n");
    auto* plates = static_cast<TfrmCariPlakaImport*>(openWindow(QStringLiteral("cariplaka")));
    QCOMPARE(plates->edtTarih->text(), today);
    QVERIFY(plates->edtTarih->calendarPopup());
    plates->edtTarih->setDate(QDate(2001, 2, 3));
    plates->btnStart->click();
    QCOMPARE(log().last(), QStringLiteral("Aktarım Tamamlandı."));
    // The date is kept in no setting: the next window starts on today again.
    QVERIFY(!folder->read(QStringLiteral("Kelvra.ini")).contains("2001"));
    plates->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    plates = static_cast<TfrmCariPlakaImport*>(openWindow(QStringLiteral("cariplaka")));
    QCOMPARE(plates->edtTarih->text(), today);
}

QTEST_MAIN(tst_LineImports)
#include "tst_lineimports.moc"
