// The bundled reference back-office database: its procedures called the way the tools call them (named
// parameters, values as text, every parameter a line does not set left to its default).

#include "support/TestSupport.h"

#include <QTest>
#include <memory>

using namespace kelvra;

namespace {

// A customer, a supplier and one stock item with a barcode and a sales price.
const char* const kFixture = R"(
    SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'DEMİR TİCARET');
    SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'T001', "@CARIADI" => 'ÖZTÜRK GIDA', "@TIPADI" => 'SATICI');
    SELECT "SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S001', "@BARKOD" => '8690000000017',
                                           "@STOKADI" => 'SÜT 1 LT', "@PERAKENDEKDV" => '1',
                                           "@SATISFIYATI" => '14,75');
)";

QString fixture(const QString& more = {}) { return QString::fromUtf8(kFixture) + more; }

} // namespace

class tst_ReferenceDb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void everyProcedureTheToolsCallExists_data();
    void everyProcedureTheToolsCallExists();

    void customerImport_data();
    void customerImport();
    void customerImportKeepsEveryColumn();
    void customerImportUpdatesAKnownCode();
    void numbersAsTheToolsSendThem_data();
    void numbersAsTheToolsSendThem();

    void stockImportReportsExistingItems_data();
    void stockImportReportsExistingItems();
    void stockImportKeepsEveryColumn();
    void weighedItems_data();
    void weighedItems();

    void linesLand_data();
    void linesLand();
    void rejectedLines_data();
    void rejectedLines();

    void openingBalanceDocument_data();
    void openingBalanceDocument();

    void modelImport_data();
    void modelImport();
    void triggerStatementsInsideATransaction_data();
    void triggerStatementsInsideATransaction();

    void pickListsInAStableOrder_data();
    void pickListsInAStableOrder();
    void groupLookup_data();
    void groupLookup();
    void deletionByGroupOrSpecialCode_data();
    void deletionByGroupOrSpecialCode();

private:
    // For the tests that leave the database as they found it: each of their rows runs in a transaction that is
    // never committed, so that they need not copy a database per row.
    std::unique_ptr<test::TestDatabase> m_untouched;
};

void tst_ReferenceDb::initTestCase() { m_untouched = std::make_unique<test::TestDatabase>(); }

// --- The contract's catalogue -----------------------------------------------------------------------------------

void tst_ReferenceDb::everyProcedureTheToolsCallExists_data()
{
    // Parameters as the tools address them; a type after ":" where a tool binds a typed value (the rest is text).
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("result");
    QTest::newRow("customer import")
        << "SP_CARI_MAIN_INSERT_FRANCHISE"
        << QStringList{"@AKTIF", "@CARIKODU", "@CARIADI", "@TIPADI", "@VERGIDAIRESI", "@VERGINO", "@KREDILIMITI",
                       "@RISKLIMITI", "@INDIRIM", "@GRUPADI", "@ODEMEGUNU", "@TAKSITSAYISI", "@RESIM", "@EMAIL",
                       "@WEBADRESI", "@ACIKLAMA", "@MUHASEBEKODU", "@SUBEADI", "@ADRES", "@IL", "@ILCE",
                       "@POSTAKODU", "@TELEFON", "@FAX", "@TCKIMLIKNO"}
        << "integer";
    QTest::newRow("stock import")
        << "SP_STOK_MAIN_INSERT_FRANCHISE"
        << QStringList{"@STOKKODU", "@BARKOD", "@STOKADI", "@KISAADI", "@TOPTANKDV", "@PERAKENDEKDV", "@DEPTNO",
                       "@TARTILI", "@BIRIM1", "@BIRIM2", "@BIRIMCARPAN2", "@BIRIM3", "@BIRIMCARPAN3", "@GRUPNO",
                       "@GRAMAJ", "@KARYUZDE", "@MASRAFYUZDE", "@VADE", "@PLUNO", "@TAKSITSAYISI", "@ALISFIYATI",
                       "@SATISFIYATI", "@SATISFIYATI2", "@ACIKLAMA", "@RESIM", "@AKTIF", "@DETAYNO",
                       "@TARTILIFLAG", "@ISNOUPDATE:boolean"}
        << "integer";
    QTest::newRow("opening balance header")
        << "SP_DEVIR_MAIN_INSERT"
        << QStringList{"@BELGEKODU", "@BELGETARIHI", "@ISLEMTIPI:integer", "@DEPOID:integer", "@ACIKLAMA"}
        << "integer";
    QTest::newRow("opening balance line")
        << "SP_DEVIR_DETAY_INSERT_IMPORT"
        << QStringList{"@BELGEID:integer", "@KALEMKODU", "@BARKOD", "@BAKIYE", "@BIRIMFIYATI"} << "integer";
    QTest::newRow("stock price import") << "SP_STOK_FIYAT_INSERT_FRANCHISE"
                                        << QStringList{"@FIYATTIPID:integer", "@STOKKODU", "@BARKOD", "@FIYAT"}
                                        << "integer";
    QTest::newRow("price types") << "SP_FIYAT_TIP_LIST" << QStringList{}
                                 << "TABLE(\"ID\" integer, \"ACIKLAMA\" character varying)";
    QTest::newRow("warehouses") << "SP_DEPO_MAIN_LIST" << QStringList{}
                                << "TABLE(\"ID\" integer, \"DEPOADI\" character varying)";
    QTest::newRow("model import")
        << "SP_MODEL_INSERT_FRANCHISE"
        << QStringList{"@MODELKODU", "@BARKOD", "@MODELADI", "@SATISFIYATI", "@BEDENKODU", "@BEDENACIKLAMA",
                       "@BEDEN", "@RENK"}
        << "integer";
    QTest::newRow("customer group lookup") << "SP_CARI_GRUP_LIST" << QStringList{"@GRUPADI"}
                                           << "TABLE(\"ID\" integer, \"GRUPADI\" character varying)";
    QTest::newRow("stock group lookup") << "SP_STOK_GRUP_LIST" << QStringList{"@GRUPADI"}
                                        << "TABLE(\"ID\" integer, \"GRUPADI\" character varying)";
    QTest::newRow("customer special code lookup")
        << "SP_OZEL_KOD_CARI_LIST" << QStringList{"@OZELKODNO:integer", "@OZELKOD"}
        << "TABLE(\"ID\" integer, \"OZELKOD\" character varying, \"ACIKLAMA\" character varying)";
    QTest::newRow("stock special code lookup")
        << "SP_OZEL_KOD_STOK_LIST" << QStringList{"@OZELKODNO:integer", "@OZELKOD"}
        << "TABLE(\"ID\" integer, \"OZELKOD\" character varying, \"ACIKLAMA\" character varying)";
    QTest::newRow("customers to delete") << "SP_CARI_MAIN_IMPORT_LIST"
                                         << QStringList{"@GRUPOZELKODNO:integer", "@GRUPOZELKODID"}
                                         << "TABLE(\"ID\" integer, \"CARIKODU\" character varying)";
    QTest::newRow("stock items to delete") << "SP_STOK_MAIN_IMPORT_LIST"
                                           << QStringList{"@GRUPOZELKODNO:integer", "@GRUPOZELKODID"}
                                           << "TABLE(\"ID\" integer, \"STOKKODU\" character varying)";
    QTest::newRow("customer deletion") << "SP_CARI_MAIN_IMPORT_DELETE" << QStringList{"@CARIKODU", "@ID"}
                                       << "integer";
    QTest::newRow("stock deletion") << "SP_STOK_MAIN_IMPORT_DELETE" << QStringList{"@STOKKODU", "@ID"}
                                    << "integer";
    QTest::newRow("credit card import")
        << "SP_BANKA_KREDI_KART_IMPORT"
        << QStringList{"@BANKAKODU", "@KARTNO", "@KARTSAHIBI", "@KREDITIPADI", "@KARTLIMITI", "@HESAPKESIMGUNU",
                       "@ODEMEGUNU", "@FAIZORANI", "@MUHASEBEKODU", "@ACIKLAMA"}
        << "integer";
    QTest::newRow("chart of accounts import") << "SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE"
                                              << QStringList{"@MUHASEBEKODU", "@ACIKLAMA"} << "integer";
    QTest::newRow("customer plate import") << "SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"
                                           << QStringList{"@CARIKODU", "@PLAKANO", "@KEYNO", "@KARTNO"}
                                           << "integer";
    QTest::newRow("supplier code update") << "SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE"
                                          << QStringList{"@CARIKODU", "@STOKKODU", "@BARKOD", "@FIRMASTOKKODU"}
                                          << "integer";
    QTest::newRow("stock name and barcode update") << "SP_STOK_MAIN_ISIM_UPDATE"
                                                   << QStringList{"@STOKKODU", "@BARKOD", "@STOKADI", "@GRAMAJ"}
                                                   << "integer";
    QTest::newRow("stock weight update") << "SP_STOK_MAIN_GRAMAJ_UPDATE"
                                         << QStringList{"@BARKOD", "@GRAMAJ", "@GRAMAJTIPI"} << "integer";
    QTest::newRow("stock origin update") << "SP_STOK_MAIN_MENSEI_UPDATE" << QStringList{"@BARKOD", "@MENSEI"}
                                         << "integer";
    QTest::newRow("stock PLU update") << "SP_STOK_MAIN_PLU_UPDATE" << QStringList{"@BARKOD", "@PLUNO"} << "integer";
}

void tst_ReferenceDb::everyProcedureTheToolsCallExists()
{
    QFETCH(QString, procedure);
    QFETCH(QStringList, parameters);
    QFETCH(QString, result);
    const test::TestDatabase& db = *m_untouched;
    // One function of that name (no overloads for the link to choose from), and every input has a default,
    // since a line sends only the parameters it sets.
    QCOMPARE(db.query(QString("SELECT count(*) || '|' || min(pronargs - pronargdefaults) || '|' || "
                              "min(pg_get_function_result(oid)) FROM pg_proc WHERE proname = '%1'")
                          .arg(procedure)),
             QString("1|0|%1").arg(result));

    const QStringList declared =
        db.query(QString("SELECT p.parameter_name || ':' || p.data_type FROM information_schema.routines r "
                         "JOIN information_schema.parameters p USING (specific_schema, specific_name) "
                         "WHERE r.routine_schema = 'public' AND r.routine_name = '%1' AND p.parameter_mode = 'IN' "
                         "ORDER BY p.ordinal_position")
                     .arg(procedure))
            .split('\n', Qt::SkipEmptyParts);
    for (const QString& p : declared)
        QVERIFY2(p.startsWith('@'), qPrintable(p));
    for (QString p : parameters) {
        if (!p.contains(':'))
            p += ":character varying";
        QVERIFY2(declared.contains(p), qPrintable(p + " not in " + declared.join(',')));
    }
}

// --- Customers ----------------------------------------------------------------------------------------------------

void tst_ReferenceDb::customerImport_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("customer"); // code|name|type|active|tax no|credit|risk|discount|group|groups
    QTest::newRow("default layout line")
        << R"("@CARIKODU" => 'C001', "@CARIADI" => 'DEMIR TICARET', "@VERGINO" => '1234567890', "@INDIRIM" => '5')"
        << "C001|DEMIR TICARET|ALICI|t|1234567890|0.00|0.00|5.00||5";
    QTest::newRow("limits as normalised by the tool")
        << R"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@KREDILIMITI" => '10000,50', "@RISKLIMITI" => '2500.25')"
        << "C001|X|ALICI|t||10000.50|2500.25|0.00||5";
    QTest::newRow("known group whatever the letter case")
        << R"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@GRUPADI" => 'toptan bayi')"
        << "C001|X|ALICI|t||0.00|0.00|0.00|TOPTAN BAYİ|5";
    QTest::newRow("unknown group is added") << R"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@GRUPADI" => 'İHRACAT')"
                                            << "C001|X|ALICI|t||0.00|0.00|0.00|İHRACAT|6";
    QTest::newRow("type and activity by name")
        << R"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@TIPADI" => 'satıcı', "@AKTIF" => 'H')"
        << "C001|X|SATICI|f||0.00|0.00|0.00||5";
    QTest::newRow("blanks around values are dropped")
        << R"("@CARIKODU" => ' C001  ', "@CARIADI" => ' DEMİR ', "@VERGINO" => '', "@INDIRIM" => ' 7,5 ')"
        << "C001|DEMİR|ALICI|t||0.00|0.00|7.50||5";
}

void tst_ReferenceDb::customerImport()
{
    QFETCH(QString, arguments);
    QFETCH(QString, customer);
    test::TestDatabase db;
    QCOMPARE(db.query(QString(R"(SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"(%1))").arg(arguments)), QString("0"));
    QCOMPARE(db.query(R"(
        SELECT c.carikodu, c.cariadi, t.tipadi, c.aktif, c.vergino, c.kredi_limiti, c.risk_limiti, c.indirim,
               g.grupadi, (SELECT count(*) FROM tbl_cari_grup)
        FROM tbl_cari c JOIN tbl_cari_tip t ON t.id = c.cari_tip_id
        LEFT JOIN tbl_cari_grup g ON g.id = c.cari_grup_id)"),
             customer);
}

void tst_ReferenceDb::customerImportKeepsEveryColumn()
{
    test::TestDatabase db;
    QCOMPARE(db.query(R"(SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"(
        "@AKTIF" => '1', "@CARIKODU" => 'C001', "@CARIADI" => 'DEMİR TİCARET', "@TIPADI" => 'ALICI-SATICI',
        "@VERGIDAIRESI" => 'KADIKÖY', "@VERGINO" => '1234567890', "@KREDILIMITI" => '1000', "@RISKLIMITI" => '2000',
        "@INDIRIM" => '2,5', "@GRUPADI" => 'KURUMSAL', "@ODEMEGUNU" => '30', "@TAKSITSAYISI" => '3',
        "@RESIM" => 'C:\resim\c001.jpg', "@EMAIL" => 'info@demir.com.tr', "@WEBADRESI" => 'www.demir.com.tr',
        "@ACIKLAMA" => 'Eski sistemden', "@MUHASEBEKODU" => '120.01.001', "@SUBEADI" => 'MERKEZ',
        "@ADRES" => 'Moda Cad. No: 1', "@IL" => 'İSTANBUL', "@ILCE" => 'KADIKÖY', "@POSTAKODU" => '34710',
        "@TELEFON" => '0216 000 00 00', "@FAX" => '0216 000 00 01', "@TCKIMLIKNO" => '10000000146'))"),
             QString("0"));
    QCOMPARE(db.query(R"(
        SELECT c.aktif, c.carikodu, c.cariadi, t.tipadi, c.vergidairesi, c.vergino, c.kredi_limiti, c.risk_limiti,
               c.indirim, g.grupadi, c.odeme_gunu, c.taksit_sayisi, c.resim, c.email, c.webadresi, c.aciklama,
               c.muhasebe_kodu, c.sube_adi, c.adres, c.il, c.ilce, c.posta_kodu, c.telefon, c.fax, c.tckimlikno
        FROM tbl_cari c JOIN tbl_cari_tip t ON t.id = c.cari_tip_id JOIN tbl_cari_grup g ON g.id = c.cari_grup_id)"),
             QString("t|C001|DEMİR TİCARET|ALICI-SATICI|KADIKÖY|1234567890|1000.00|2000.00|2.50|KURUMSAL|30|3|"
                     "C:\\resim\\c001.jpg|info@demir.com.tr|www.demir.com.tr|Eski sistemden|120.01.001|MERKEZ|"
                     "Moda Cad. No: 1|İSTANBUL|KADIKÖY|34710|0216 000 00 00|0216 000 00 01|10000000146"));
}

void tst_ReferenceDb::customerImportUpdatesAKnownCode()
{
    test::TestDatabase db;
    db.query(R"(SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'DEMİR',
                "@VERGIDAIRESI" => 'KADIKÖY', "@KREDILIMITI" => '1000', "@GRUPADI" => 'TOPTAN'))");
    // A second file names the customer again: what it gives replaces, what it leaves blank stays.
    QCOMPARE(db.query(R"(SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'DEMİR A.Ş.',
                         "@VERGIDAIRESI" => '', "@KREDILIMITI" => '5000,5'))"),
             QString("0"));
    QCOMPARE(db.query("SELECT count(*), min(cariadi), min(vergidairesi), min(kredi_limiti), "
                      "min((SELECT grupadi FROM tbl_cari_grup g WHERE g.id = cari_grup_id)) FROM tbl_cari"),
             QString("1|DEMİR A.Ş.|KADIKÖY|5000.50|TOPTAN"));
}

void tst_ReferenceDb::numbersAsTheToolsSendThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("decimal comma") << "1234,56" << "1234.56";
    QTest::newRow("decimal point") << "1234.56" << "1234.56";
    QTest::newRow("negative whole number") << "-5" << "-5.00";
    QTest::newRow("leading separator") << ",5" << "0.50";
    QTest::newRow("blanks around") << " 7,5 " << "7.50";
    QTest::newRow("grouping points, decimal comma") << "1.234.567,8" << "1234567.80";
    QTest::newRow("grouping commas, decimal point") << "1,234.56" << "1234.56";
    QTest::newRow("empty is not given") << "" << "0.00";
    QTest::newRow("blank is not given") << "   " << "0.00";
}

void tst_ReferenceDb::numbersAsTheToolsSendThem()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    test::TestDatabase db;
    db.query(QString(R"(SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X',
                        "@KREDILIMITI" => '%1'))")
                 .arg(text));
    QCOMPARE(db.query("SELECT kredi_limiti FROM tbl_cari"), stored);
}

// --- Stock items ----------------------------------------------------------------------------------------------------

void tst_ReferenceDb::stockImportReportsExistingItems_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("noUpdate");
    QTest::addColumn<QString>("returned");
    QTest::addColumn<QString>("item"); // name|sales price|barcodes
    QTest::newRow("new item") << false << false << "0" << "YENİ AD|20.0000|8690000000024";
    QTest::newRow("new item with no-update") << false << true << "0" << "YENİ AD|20.0000|8690000000024";
    QTest::newRow("existing item updated") << true << false << "0" << "YENİ AD|20.0000|8690000000017,8690000000024";
    QTest::newRow("existing item left unchanged") << true << true << "-2" << "SÜT 1 LT|14.7500|8690000000017";
}

void tst_ReferenceDb::stockImportReportsExistingItems()
{
    QFETCH(bool, existing);
    QFETCH(bool, noUpdate);
    QFETCH(QString, returned);
    QFETCH(QString, item);
    test::TestDatabase db;
    if (existing)
        db.query(fixture());
    QCOMPARE(db.query(QString(R"(SELECT "SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S001',
                                 "@BARKOD" => '8690000000024', "@STOKADI" => 'YENİ AD', "@PERAKENDEKDV" => '10',
                                 "@SATISFIYATI" => '20', "@ISNOUPDATE" => %1))")
                          .arg(noUpdate ? "true" : "false")),
             returned);
    QCOMPARE(db.query(R"(SELECT s.stokadi, f.fiyat,
                                (SELECT string_agg(barkod, ',' ORDER BY barkod) FROM tbl_stok_barkod b
                                 WHERE b.stok_id = s.id)
                         FROM tbl_stok s JOIN tbl_stok_fiyat f ON f.stok_id = s.id AND f.fiyat_tip_id = 2)"),
             item);
}

void tst_ReferenceDb::stockImportKeepsEveryColumn()
{
    test::TestDatabase db;
    QCOMPARE(db.query(R"(SELECT "SP_STOK_MAIN_INSERT_FRANCHISE"(
        "@STOKKODU" => 'S001', "@BARKOD" => '8690000000017', "@STOKADI" => 'SÜT 1 LT', "@KISAADI" => 'SÜT',
        "@TOPTANKDV" => '10', "@PERAKENDEKDV" => '1', "@DEPTNO" => '3', "@TARTILI" => '0', "@BIRIM1" => 'ADET',
        "@BIRIM2" => 'KOLİ', "@BIRIMCARPAN2" => '12', "@BIRIM3" => 'PALET', "@BIRIMCARPAN3" => '480',
        "@GRUPNO" => '1', "@GRAMAJ" => '1000', "@KARYUZDE" => '25,5', "@MASRAFYUZDE" => '2', "@VADE" => '30',
        "@PLUNO" => '101', "@TAKSITSAYISI" => '2', "@ALISFIYATI" => '10,50', "@SATISFIYATI" => '14.75',
        "@SATISFIYATI2" => '13', "@ACIKLAMA" => 'Tam yağlı', "@RESIM" => 'sut.jpg', "@AKTIF" => 'E',
        "@DETAYNO" => '7', "@TARTILIFLAG" => '27,29', "@ISNOUPDATE" => false))"),
             QString("0"));
    QCOMPARE(db.query(R"(
        SELECT s.stokkodu, b.barkod, s.stokadi, s.kisaadi, s.toptan_kdv, s.perakende_kdv, s.dept_no, s.tartili,
               s.birim1, s.birim2, s.birim_carpan2, s.birim3, s.birim_carpan3, g.grupadi, s.gramaj, s.kar_yuzde,
               s.masraf_yuzde, s.vade, s.pluno, s.taksit_sayisi, s.aciklama, s.resim, s.aktif, s.detayno,
               (SELECT string_agg(fiyat_tip_id || '=' || fiyat, ',' ORDER BY fiyat_tip_id) FROM tbl_stok_fiyat f
                WHERE f.stok_id = s.id)
        FROM tbl_stok s JOIN tbl_stok_barkod b ON b.stok_id = s.id JOIN tbl_stok_grup g ON g.id = s.stok_grup_id)"),
             QString("S001|8690000000017|SÜT 1 LT|SÜT|10.00|1.00|3|f|ADET|KOLİ|12.0000|PALET|480.0000|GIDA|"
                     "1000.0000|25.5000|2.0000|30|101|2|Tam yağlı|sut.jpg|t|7|1=10.5000,2=14.7500,3=13.0000"));
}

void tst_ReferenceDb::weighedItems_data()
{
    QTest::addColumn<QString>("barcode");
    QTest::addColumn<QString>("ownFlag"); // the file's TARTILI column
    QTest::addColumn<QString>("prefixes"); // the window's weighed-item flag
    QTest::addColumn<QString>("weighed");
    QTest::newRow("barcode with the first prefix") << "2700123" << "" << "27,29" << "t";
    QTest::newRow("barcode with the second prefix") << "2900123" << "" << "27,29" << "t";
    QTest::newRow("barcode with no prefix") << "8690000000017" << "" << "27,29" << "f";
    QTest::newRow("no prefixes") << "2700123" << "" << "" << "f";
    QTest::newRow("own flag wins over the prefixes") << "2700123" << "0" << "27,29" << "f";
    QTest::newRow("own flag alone") << "8690000000017" << "EVET" << "" << "t";
}

void tst_ReferenceDb::weighedItems()
{
    QFETCH(QString, barcode);
    QFETCH(QString, ownFlag);
    QFETCH(QString, prefixes);
    QFETCH(QString, weighed);
    test::TestDatabase db;
    // As the tool does: the flag parameters are left out when the window or the file has nothing for them.
    QString call = QString(R"(SELECT "SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S001', "@STOKADI" => 'PEYNİR',
                              "@PERAKENDEKDV" => '1', "@BARKOD" => '%1')")
                       .arg(barcode);
    if (!ownFlag.isEmpty())
        call += QString(R"(, "@TARTILI" => '%1')").arg(ownFlag);
    if (!prefixes.isEmpty())
        call += QString(R"(, "@TARTILIFLAG" => '%1')").arg(prefixes);
    db.query(call + ")");
    QCOMPARE(db.query("SELECT tartili FROM tbl_stok"), weighed);
}

// --- Per-line procedures of the other tools -------------------------------------------------------------------------

void tst_ReferenceDb::linesLand_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("stored");

    const QString prices = "SELECT string_agg(fiyat_tip_id || '=' || fiyat, ',' ORDER BY fiyat_tip_id) "
                           "FROM tbl_stok_fiyat";
    QTest::newRow("price of another type by stock code")
        << fixture() << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"("@FIYATTIPID" => 4, "@STOKKODU" => 'S001',
                "@FIYAT" => '1234,50'))"
        << prices << "2=14.7500,4=1234.5000";
    QTest::newRow("price replaced by barcode")
        << fixture() << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"("@FIYATTIPID" => 2, "@BARKOD" => '8690000000017',
                "@FIYAT" => '9.99'))"
        << prices << "2=9.9900";

    const QString cards = "SELECT b.bankakodu, k.kartno, k.kart_sahibi, t.tipadi, k.kart_limiti, k.hesap_kesim_gunu, "
                          "k.odeme_gunu, k.faiz_orani, k.muhasebe_kodu, k.aciklama FROM tbl_banka_kredi_kart k "
                          "JOIN tbl_banka b ON b.id = k.banka_id LEFT JOIN tbl_kredi_kart_tip t "
                          "ON t.id = k.kredi_kart_tip_id";
    QTest::newRow("credit card")
        << "" << R"("SP_BANKA_KREDI_KART_IMPORT"("@BANKAKODU" => '0046', "@KARTNO" => '4543 6000 1234 5678',
                    "@KARTSAHIBI" => 'AHMET KILIÇ', "@KREDITIPADI" => 'visa', "@KARTLIMITI" => '25000,00',
                    "@HESAPKESIMGUNU" => '15', "@ODEMEGUNU" => '25', "@FAIZORANI" => '3,66',
                    "@MUHASEBEKODU" => '300.01', "@ACIKLAMA" => 'Şirket kartı'))"
        << cards << "0046|4543600012345678|AHMET KILIÇ|VISA|25000.00|15|25|3.6600|300.01|Şirket kartı";
    QTest::newRow("known credit card updated")
        << R"(SELECT "SP_BANKA_KREDI_KART_IMPORT"("@BANKAKODU" => '0046', "@KARTNO" => '4543600012345678',
                     "@KARTSAHIBI" => 'AHMET KILIÇ', "@KARTLIMITI" => '1000');)"
        << R"("SP_BANKA_KREDI_KART_IMPORT"("@BANKAKODU" => '0046', "@KARTNO" => '4543-6000-1234-5678',
                "@KARTLIMITI" => '2000'))"
        << cards << "0046|4543600012345678|AHMET KILIÇ||2000.00|||||";

    const QString accounts = "SELECT hesapkodu, aciklama, coalesce(ust_hesapkodu, '-'), seviye "
                             "FROM tbl_muhasebe_hesap_plani WHERE hesapkodu LIKE '120%' OR hesapkodu = '100' "
                             "ORDER BY hesapkodu";
    QTest::newRow("account below its parent")
        << "" << R"("SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE"("@MUHASEBEKODU" => '120.01.001',
                "@ACIKLAMA" => 'DEMİR TİCARET'))"
        << accounts << "100|KASA|-|1\n120|ALICILAR|-|1\n120.01.001|DEMİR TİCARET|120.01|3";
    QTest::newRow("known account renamed")
        << "" << R"("SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE"("@MUHASEBEKODU" => '100', "@ACIKLAMA" => 'MERKEZ KASA'))"
        << accounts << "100|MERKEZ KASA|-|1\n120|ALICILAR|-|1";

    const QString plates = "SELECT p.plakano, c.carikodu, p.keyno, p.kartno FROM tbl_akaryakit_cari_plaka p "
                           "JOIN tbl_cari c ON c.id = p.cari_id";
    QTest::newRow("plate")
        << fixture() << R"("SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"("@CARIKODU" => 'C001', "@PLAKANO" => '34 abc 123',
                "@KEYNO" => 'K-1', "@KARTNO" => '990001'))"
        << plates << "34ABC123|C001|K-1|990001";
    QTest::newRow("known plate of the same customer")
        << fixture(R"(SELECT "SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"("@CARIKODU" => 'C001', "@PLAKANO" => '34ABC123',
                "@KEYNO" => 'K-1', "@KARTNO" => '990001');)")
        << R"("SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"("@CARIKODU" => 'C001', "@PLAKANO" => '34 ABC 123',
                "@KEYNO" => 'K-2'))"
        << plates << "34ABC123|C001|K-2|990001";

    const QString supplierCodes = "SELECT c.carikodu, s.stokkodu, f.firma_stok_kodu FROM tbl_stok_firma_kodu f "
                                  "JOIN tbl_cari c ON c.id = f.cari_id JOIN tbl_stok s ON s.id = f.stok_id";
    QTest::newRow("supplier code by stock code")
        << fixture() << R"("SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE"("@CARIKODU" => 'T001', "@STOKKODU" => 'S001',
                "@FIRMASTOKKODU" => 'OZ-77'))"
        << supplierCodes << "T001|S001|OZ-77";
    QTest::newRow("supplier code replaced by barcode")
        << fixture(R"(SELECT "SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE"("@CARIKODU" => 'T001', "@STOKKODU" => 'S001',
                "@FIRMASTOKKODU" => 'OZ-77');)")
        << R"("SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE"("@CARIKODU" => 'T001', "@BARKOD" => '8690000000017',
                "@FIRMASTOKKODU" => 'OZ-78'))"
        << supplierCodes << "T001|S001|OZ-78";

    const QString item = "SELECT s.stokkodu, s.stokadi, coalesce(s.gramaj::text, '-'), "
                         "coalesce(s.gramaj_tipi::text, '-'), coalesce(s.mensei, '-'), coalesce(s.pluno::text, '-'), "
                         "(SELECT string_agg(barkod, ',' ORDER BY barkod) FROM tbl_stok_barkod b "
                         "WHERE b.stok_id = s.id) "
                         "FROM tbl_stok s";
    QTest::newRow("name by stock code")
        << fixture() << R"("SP_STOK_MAIN_ISIM_UPDATE"("@STOKKODU" => 'S001', "@STOKADI" => 'SÜT 1 LİTRE'))"
        << item << "S001|SÜT 1 LİTRE|-|-|-|-|8690000000017";
    QTest::newRow("name and weight by barcode")
        << fixture() << R"("SP_STOK_MAIN_ISIM_UPDATE"("@BARKOD" => '8690000000017', "@STOKADI" => 'SÜT',
                "@GRAMAJ" => '1.000,5'))"
        << item << "S001|SÜT|1000.5000|-|-|-|8690000000017";
    QTest::newRow("stock code with a new barcode")
        << fixture() << R"("SP_STOK_MAIN_ISIM_UPDATE"("@STOKKODU" => 'S001', "@BARKOD" => '8690000000024',
                "@STOKADI" => 'SÜT'))"
        << item << "S001|SÜT|-|-|-|-|8690000000017,8690000000024";
    QTest::newRow("weight and weight type")
        << fixture() << R"("SP_STOK_MAIN_GRAMAJ_UPDATE"("@BARKOD" => '8690000000017', "@GRAMAJ" => '1.250,5',
                "@GRAMAJTIPI" => '0'))"
        << item << "S001|SÜT 1 LT|1250.5000|0|-|-|8690000000017";
    QTest::newRow("origin")
        << fixture() << R"("SP_STOK_MAIN_MENSEI_UPDATE"("@BARKOD" => '8690000000017', "@MENSEI" => 'TÜRKİYE'))"
        << item << "S001|SÜT 1 LT|-|-|TÜRKİYE|-|8690000000017";
    QTest::newRow("blank origin clears it")
        << fixture(R"(SELECT "SP_STOK_MAIN_MENSEI_UPDATE"("@BARKOD" => '8690000000017', "@MENSEI" => 'TÜRKİYE');)")
        << R"("SP_STOK_MAIN_MENSEI_UPDATE"("@BARKOD" => '8690000000017', "@MENSEI" => ''))"
        << item << "S001|SÜT 1 LT|-|-|-|-|8690000000017";
    QTest::newRow("PLU by barcode")
        << fixture() << R"("SP_STOK_MAIN_PLU_UPDATE"("@BARKOD" => '8690000000017', "@PLUNO" => '42'))"
        << item << "S001|SÜT 1 LT|-|-|-|42|8690000000017";
    QTest::newRow("blank PLU clears it")
        << fixture(R"(SELECT "SP_STOK_MAIN_PLU_UPDATE"("@BARKOD" => '8690000000017', "@PLUNO" => '42');)")
        << R"("SP_STOK_MAIN_PLU_UPDATE"("@BARKOD" => '8690000000017', "@PLUNO" => ' '))"
        << item << "S001|SÜT 1 LT|-|-|-|-|8690000000017";
}

void tst_ReferenceDb::linesLand()
{
    QFETCH(QString, setup);
    QFETCH(QString, call);
    QFETCH(QString, check);
    QFETCH(QString, stored);
    test::TestDatabase db;
    if (!setup.isEmpty())
        db.query(setup);
    QCOMPARE(db.query("SELECT " + call), QString("0"));
    QCOMPARE(db.query(check), stored);
}

void tst_ReferenceDb::rejectedLines_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("message");

    // Each tool's empty line: the procedure is called with its defaults alone.
    QTest::newRow("customer without code") << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"())" << "Cari kodu boş olamaz.";
    QTest::newRow("stock item without code") << "" << R"("SP_STOK_MAIN_INSERT_FRANCHISE"("@ISNOUPDATE" => false))"
                                             << "Stok kodu boş olamaz.";
    QTest::newRow("header without code") << "" << R"("SP_DEVIR_MAIN_INSERT"())" << "Belge kodu boş olamaz.";
    QTest::newRow("line without document") << "" << R"("SP_DEVIR_DETAY_INSERT_IMPORT"())" << "Devir belgesi seçilmedi.";
    QTest::newRow("price without price type") << "" << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"())"
                                              << "Fiyat tipi seçilmedi.";
    QTest::newRow("model line defaults alone")
        << "" << R"("SP_MODEL_INSERT_FRANCHISE"("@MODELKODU" => '', "@BARKOD" => '', "@MODELADI" => '',
                "@SATISFIYATI" => '0', "@BEDENKODU" => '00', "@BEDENACIKLAMA" => 'DİĞER', "@BEDEN" => 'DİĞER',
                "@RENK" => 'DİĞER'))"
        << "Model kodu boş olamaz.";
    QTest::newRow("credit card without bank") << "" << R"("SP_BANKA_KREDI_KART_IMPORT"())" << "Banka kodu boş olamaz.";
    QTest::newRow("account without code") << "" << R"("SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE"())"
                                          << "Muhasebe kodu boş olamaz.";
    QTest::newRow("plate without customer") << "" << R"("SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"())"
                                            << "Cari kodu boş olamaz.";
    QTest::newRow("supplier code without stock")
        << fixture() << R"("SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE"("@CARIKODU" => 'T001'))"
        << "Stok kodu veya barkod boş olamaz.";
    QTest::newRow("name update without stock") << "" << R"("SP_STOK_MAIN_ISIM_UPDATE"())"
                                               << "Stok kodu veya barkod boş olamaz.";
    QTest::newRow("weight without barcode") << "" << R"("SP_STOK_MAIN_GRAMAJ_UPDATE"())" << "Barkod boş olamaz.";
    QTest::newRow("origin without barcode") << "" << R"("SP_STOK_MAIN_MENSEI_UPDATE"())" << "Barkod boş olamaz.";
    QTest::newRow("PLU alone") << "" << R"("SP_STOK_MAIN_PLU_UPDATE"("@PLUNO" => '5'))"
                               << "Stok kodu veya barkod boş olamaz.";

    // Values that cannot be stored.
    QTest::newRow("new customer without name") << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001'))"
                                               << "Cari adı boş olamaz.";
    QTest::newRow("limit with letters")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@KREDILIMITI" => '12a'))"
        << "Geçersiz sayı (Kredi limiti): 12a";
    QTest::newRow("limit with two decimal separators")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X',
                "@RISKLIMITI" => '1,2,3'))"
        << "Geçersiz sayı (Risk limiti): 1,2,3";
    QTest::newRow("grouping without groups of three")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X',
                "@RISKLIMITI" => '1.23,4'))"
        << "Geçersiz sayı (Risk limiti): 1.23,4";
    QTest::newRow("payment days not a whole number")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@ODEMEGUNU" => '30,5'))"
        << "Geçersiz tam sayı (Ödeme günü): 30,5";
    QTest::newRow("discount above 100")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@INDIRIM" => '150'))"
        << "İndirim oranı 0 ile 100 arasında olmalıdır: 150";
    QTest::newRow("unknown customer type")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@TIPADI" => 'BAYİ'))"
        << "Cari tipi bulunamadı: BAYİ";
    QTest::newRow("unreadable activity")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@AKTIF" => 'belki'))"
        << "Geçersiz evet/hayır değeri (Aktif): belki";
    QTest::newRow("identity number too short")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C001', "@CARIADI" => 'X', "@TCKIMLIKNO" => '123'))"
        << "TC kimlik no 11 haneli bir sayı olmalıdır: 123";
    QTest::newRow("customer code too long")
        << "" << R"("SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => 'C12345678901234567890', "@CARIADI" => 'X'))"
        << "Cari kodu en fazla 20 karakter olabilir: C12345678901234567890";
    QTest::newRow("new stock item without VAT")
        << "" << R"("SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S001', "@STOKADI" => 'SÜT'))"
        << "Perakende KDV boş olamaz.";
    QTest::newRow("VAT above 100")
        << "" << R"("SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S001', "@STOKADI" => 'SÜT',
                "@PERAKENDEKDV" => '118'))"
        << "KDV oranı 0 ile 100 arasında olmalıdır (Perakende KDV): 118";
    QTest::newRow("unknown stock group")
        << "" << R"("SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S001', "@STOKADI" => 'SÜT', "@PERAKENDEKDV" => '1',
                "@GRUPNO" => '99'))"
        << "Stok grubu bulunamadı: 99";
    QTest::newRow("barcode of another item")
        << fixture() << R"("SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S002', "@STOKADI" => 'AYRAN',
                "@PERAKENDEKDV" => '1', "@BARKOD" => '8690000000017'))"
        << "Barkod başka bir stoğa ait: 8690000000017 (stok kodu S001)";
    QTest::newRow("PLU of another item")
        << fixture(R"(SELECT "SP_STOK_MAIN_PLU_UPDATE"("@STOKKODU" => 'S001', "@PLUNO" => '42');)")
        << R"("SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => 'S002', "@STOKADI" => 'AYRAN', "@PERAKENDEKDV" => '1',
                "@PLUNO" => '42'))"
        << "PLU numarası başka bir stokta kullanılıyor: 42 (stok kodu S001)";
    QTest::newRow("price of an unknown item")
        << "" << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"("@FIYATTIPID" => 2, "@STOKKODU" => 'S999', "@FIYAT" => '1'))"
        << "Stok bulunamadı: S999";
    QTest::newRow("price of an unknown barcode")
        << "" << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"("@FIYATTIPID" => 2, "@BARKOD" => '123', "@FIYAT" => '1'))"
        << "Barkod bulunamadı: 123";
    QTest::newRow("unknown price type")
        << fixture() << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"("@FIYATTIPID" => 99, "@STOKKODU" => 'S001',
                "@FIYAT" => '1'))"
        << "Fiyat tipi bulunamadı: 99";
    QTest::newRow("empty price")
        << fixture() << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"("@FIYATTIPID" => 2, "@STOKKODU" => 'S001', "@FIYAT" => ''))"
        << "Fiyat boş olamaz.";
    QTest::newRow("negative price")
        << fixture() << R"("SP_STOK_FIYAT_INSERT_FRANCHISE"("@FIYATTIPID" => 2, "@STOKKODU" => 'S001',
                "@FIYAT" => '-1'))"
        << "Geçersiz fiyat (Fiyat): -1";
    QTest::newRow("date that does not exist")
        << "" << R"("SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'DEVIR_31022020_1435', "@BELGETARIHI" => '31.02.2020',
                "@ISLEMTIPI" => 0, "@ACIKLAMA" => ''))"
        << "Geçersiz tarih (Belge tarihi): 31.02.2020";
    QTest::newRow("stock document without warehouse")
        << "" << R"("SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'D1', "@BELGETARIHI" => '27.04.2020', "@ISLEMTIPI" => 1))"
        << "Stok devir belgesi için depo seçilmelidir.";
    QTest::newRow("unknown warehouse")
        << "" << R"("SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'D1', "@BELGETARIHI" => '27.04.2020', "@ISLEMTIPI" => 1,
                "@DEPOID" => 99))"
        << "Depo bulunamadı: 99";
    QTest::newRow("same document code twice")
        << R"(SELECT "SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'DEVIR_27042020_1435', "@BELGETARIHI" => '27.04.2020',
                "@ISLEMTIPI" => 0);)"
        << R"("SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'DEVIR_27042020_1435', "@BELGETARIHI" => '27.04.2020',
                "@ISLEMTIPI" => 0))"
        << "Belge kodu zaten kayıtlı: DEVIR_27042020_1435";
    QTest::newRow("line of an unknown document") << "" << R"("SP_DEVIR_DETAY_INSERT_IMPORT"("@BELGEID" => 99,
            "@KALEMKODU" => 'C001', "@BAKIYE" => '1'))"
                                                 << "Devir belgesi bulunamadı: 99";
    QTest::newRow("balance of an unknown customer")
        << R"(SELECT "SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'D1', "@BELGETARIHI" => '27.04.2020', "@ISLEMTIPI" => 0);)"
        << R"("SP_DEVIR_DETAY_INSERT_IMPORT"("@BELGEID" => (SELECT max(id) FROM tbl_devir_main),
                "@KALEMKODU" => 'C999', "@BAKIYE" => '1'))"
        << "Cari bulunamadı: C999";
    QTest::newRow("line without balance")
        << fixture(R"(SELECT "SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'D1', "@BELGETARIHI" => '27.04.2020',
                "@ISLEMTIPI" => 0);)")
        << R"("SP_DEVIR_DETAY_INSERT_IMPORT"("@BELGEID" => (SELECT max(id) FROM tbl_devir_main),
                "@KALEMKODU" => 'C001'))"
        << "Bakiye boş olamaz.";
    QTest::newRow("variant entered twice")
        << R"(SELECT "SP_MODEL_INSERT_FRANCHISE"("@MODELKODU" => 'M100', "@MODELADI" => 'TİŞÖRT', "@BEDENKODU" => '01',
                "@BEDEN" => 'M', "@RENK" => 'MAVİ');)"
        << R"("SP_MODEL_INSERT_FRANCHISE"("@MODELKODU" => 'M100', "@MODELADI" => 'TİŞÖRT', "@BEDENKODU" => '01',
                "@BEDEN" => 'm', "@RENK" => 'mavi'))"
        << "Model varyantı zaten kayıtlı: M100 01 M MAVİ";
    QTest::newRow("new model without name") << "" << R"("SP_MODEL_INSERT_FRANCHISE"("@MODELKODU" => 'M100'))"
                                            << "Model adı boş olamaz.";
    QTest::newRow("variant with another item's barcode")
        << fixture() << R"("SP_MODEL_INSERT_FRANCHISE"("@MODELKODU" => 'M100', "@BARKOD" => '8690000000017',
                "@MODELADI" => 'TİŞÖRT'))"
        << "Barkod başka bir stoğa ait: 8690000000017 (stok kodu S001)";
    QTest::newRow("unknown bank") << "" << R"("SP_BANKA_KREDI_KART_IMPORT"("@BANKAKODU" => '9999',
            "@KARTNO" => '4543600012345678'))"
                                  << "Banka bulunamadı: 9999";
    QTest::newRow("card number with letters")
        << "" << R"("SP_BANKA_KREDI_KART_IMPORT"("@BANKAKODU" => '0046', "@KARTNO" => '4543 60AB 1234 5678'))"
        << "Geçersiz kart numarası: 4543 60AB 1234 5678";
    QTest::newRow("unknown card type")
        << "" << R"("SP_BANKA_KREDI_KART_IMPORT"("@BANKAKODU" => '0046', "@KARTNO" => '4543600012345678',
                "@KREDITIPADI" => 'DINERS'))"
        << "Kart tipi bulunamadı: DINERS";
    QTest::newRow("statement day 32")
        << "" << R"("SP_BANKA_KREDI_KART_IMPORT"("@BANKAKODU" => '0046', "@KARTNO" => '4543600012345678',
                "@HESAPKESIMGUNU" => '32'))"
        << "Gün 1 ile 31 arasında olmalıdır (Hesap kesim günü): 32";
    QTest::newRow("account without description")
        << "" << R"("SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE"("@MUHASEBEKODU" => '120.01', "@ACIKLAMA" => ''))"
        << "Hesap açıklaması boş olamaz.";
    QTest::newRow("account code with an empty level")
        << "" << R"("SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE"("@MUHASEBEKODU" => '120..01', "@ACIKLAMA" => 'X'))"
        << "Geçersiz muhasebe kodu: 120..01";
    QTest::newRow("plate of an unknown customer")
        << "" << R"("SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"("@CARIKODU" => 'C999', "@PLAKANO" => '34ABC123'))"
        << "Cari bulunamadı: C999";
    QTest::newRow("plate of another customer")
        << fixture(R"(SELECT "SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"("@CARIKODU" => 'C001', "@PLAKANO" => '34ABC123');)")
        << R"("SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"("@CARIKODU" => 'T001', "@PLAKANO" => '34 ABC 123'))"
        << "Plaka başka bir cariye kayıtlı: 34ABC123 (cari kodu C001)";
    QTest::newRow("supplier code of an unknown supplier")
        << fixture() << R"("SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE"("@CARIKODU" => 'T999', "@STOKKODU" => 'S001',
                "@FIRMASTOKKODU" => 'X'))"
        << "Cari bulunamadı: T999";
    QTest::newRow("weight type 2")
        << fixture() << R"("SP_STOK_MAIN_GRAMAJ_UPDATE"("@BARKOD" => '8690000000017', "@GRAMAJ" => '1',
                "@GRAMAJTIPI" => '2'))"
        << "Geçersiz gramaj tipi: 2 (0 = gramajlı, 1 = adetli)";
    QTest::newRow("origin of an unknown barcode")
        << fixture() << R"("SP_STOK_MAIN_MENSEI_UPDATE"("@BARKOD" => '123',
                "@MENSEI" => 'ÇİN'))" << "Barkod bulunamadı: 123";

    // Deletion and its lookups.
    QTest::newRow("customer with an opening balance is kept")
        << fixture(R"(SELECT "SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'D1', "@BELGETARIHI" => '27.04.2020',
                "@ISLEMTIPI" => 0);
                      SELECT "SP_DEVIR_DETAY_INSERT_IMPORT"("@BELGEID" => (SELECT max(id) FROM tbl_devir_main),
                                                           "@KALEMKODU" => 'C001', "@BAKIYE" => '100');)")
        << R"("SP_CARI_MAIN_IMPORT_DELETE"("@CARIKODU" => 'C001',
                "@ID" => (SELECT id::varchar FROM tbl_cari WHERE carikodu = 'C001')))"
        << "Cari hareket gördüğü için silinemez: C001";
    QTest::newRow("stock item with an opening balance is kept")
        << fixture(R"(SELECT "SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'D1', "@BELGETARIHI" => '27.04.2020',
                "@ISLEMTIPI" => 1, "@DEPOID" => 1);
                      SELECT "SP_DEVIR_DETAY_INSERT_IMPORT"("@BELGEID" => (SELECT max(id) FROM tbl_devir_main),
                                                           "@KALEMKODU" => 'S001', "@BAKIYE" => '12');)")
        << R"("SP_STOK_MAIN_IMPORT_DELETE"("@STOKKODU" => 'S001',
                "@ID" => (SELECT id::varchar FROM tbl_stok WHERE stokkodu = 'S001')))"
        << "Stok hareket gördüğü için silinemez: S001";
    QTest::newRow("code and ID of different customers")
        << fixture() << R"("SP_CARI_MAIN_IMPORT_DELETE"("@CARIKODU" => 'C001',
                "@ID" => (SELECT id::varchar FROM tbl_cari WHERE carikodu = 'T001')))"
        << "Cari bulunamadı: C001";
    QTest::newRow("listing without a selection")
        << "" << R"(* FROM "SP_CARI_MAIN_IMPORT_LIST"("@GRUPOZELKODNO" => 0, "@GRUPOZELKODID" => ''))"
        << "Grup/özel kod seçilmedi.";
    QTest::newRow("listing of special code 11")
        << "" << R"(* FROM "SP_STOK_MAIN_IMPORT_LIST"("@GRUPOZELKODNO" => 11, "@GRUPOZELKODID" => '1'))"
        << "Geçersiz grup/özel kod numarası: 11 (0 ile 10 arasında olmalıdır)";
    QTest::newRow("listing of an unknown special code")
        << "" << R"(* FROM "SP_CARI_MAIN_IMPORT_LIST"("@GRUPOZELKODNO" => 2, "@GRUPOZELKODID" => '999'))"
        << "Özel kod 2 bulunamadı: 999";
    QTest::newRow("listing of a special code under another number")
        << "" << R"(* FROM "SP_CARI_MAIN_IMPORT_LIST"("@GRUPOZELKODNO" => 2, "@GRUPOZELKODID" => '1'))"
        << "Özel kod 2 bulunamadı: 1"; // the seed's first special code, İSTANBUL, is one of code 1
    QTest::newRow("lookup of special code 0")
        << "" << R"(* FROM "SP_OZEL_KOD_CARI_LIST"("@OZELKODNO" => 0, "@OZELKOD" => 'A'))"
        << "Geçersiz özel kod numarası: 0 (1 ile 10 arasında olmalıdır)";
}

void tst_ReferenceDb::rejectedLines()
{
    QFETCH(QString, setup);
    QFETCH(QString, call);
    QFETCH(QString, message);
    // The transaction is never committed: the failure ends it, and with it the row's setup.
    QCOMPARE(m_untouched->failure("BEGIN; " + setup + "SELECT " + call), message);
}

// --- Opening-balance documents ---------------------------------------------------------------------------------------

void tst_ReferenceDb::openingBalanceDocument_data()
{
    QTest::addColumn<QString>("header"); // the header's arguments
    QTest::addColumn<QStringList>("lines"); // each line's arguments besides "@BELGEID"
    QTest::addColumn<QString>("document"); // code|date|kind|warehouse, then one row per line
    QTest::newRow("customer balances")
        << R"("@BELGEKODU" => 'DEVIR_27042020_1435', "@BELGETARIHI" => '27.04.2020', "@ISLEMTIPI" => 0,
                "@ACIKLAMA" => '')"
        << QStringList{R"("@KALEMKODU" => 'C001', "@BAKIYE" => '1234,56')",
                       R"("@KALEMKODU" => 'T001', "@BAKIYE" => '-500')"}
        << "DEVIR_27042020_1435|2020-04-27|0|-\nC001|1234.5600|-\nT001|-500.0000|-";
    QTest::newRow("stock balances of a warehouse")
        << R"("@BELGEKODU" => 'DEVIR_27042020_1436', "@BELGETARIHI" => '27/04/2020', "@ISLEMTIPI" => 1,
              "@DEPOID" => (SELECT id FROM tbl_depo WHERE depoadi = 'MAĞAZA'), "@ACIKLAMA" => '')"
        << QStringList{R"("@KALEMKODU" => 'S001', "@BAKIYE" => '12,5', "@BIRIMFIYATI" => '10,25')",
                       R"("@BARKOD" => '8690000000017', "@BAKIYE" => '3')"}
        << "DEVIR_27042020_1436|2020-04-27|1|MAĞAZA\nS001|12.5000|10.2500\nS001|3.0000|-";
}

void tst_ReferenceDb::openingBalanceDocument()
{
    QFETCH(QString, header);
    QFETCH(QStringList, lines);
    QFETCH(QString, document);
    test::TestDatabase db;
    db.query(fixture());
    // An earlier document, so that the new one's ID is not simply the first.
    const QString earlier =
        db.query(R"(SELECT "SP_DEVIR_MAIN_INSERT"("@BELGEKODU" => 'ESKI', "@BELGETARIHI" => '01.01.2020'))");
    const QString id = db.query(QString(R"(SELECT "SP_DEVIR_MAIN_INSERT"(%1))").arg(header));
    QVERIFY2(id.toInt() > earlier.toInt(), qPrintable(earlier + " then " + id));
    QCOMPARE(db.query(QString("SELECT id FROM tbl_devir_main WHERE belgekodu LIKE 'DEVIR%'")), id);
    for (const QString& line : lines)
        QCOMPARE(db.query(QString(R"(SELECT "SP_DEVIR_DETAY_INSERT_IMPORT"("@BELGEID" => %1, %2))").arg(id, line)),
                 QString("0"));
    QCOMPARE(db.query(QString(R"(
        SELECT belgekodu, belgetarihi, islemtipi, coalesce((SELECT depoadi FROM tbl_depo WHERE id = depo_id), '-')
        FROM tbl_devir_main WHERE id = %1;
        SELECT coalesce(c.carikodu, s.stokkodu), l.bakiye, coalesce(l.birim_fiyati::text, '-')
        FROM tbl_devir_detay l LEFT JOIN tbl_cari c ON c.id = l.cari_id LEFT JOIN tbl_stok s ON s.id = l.stok_id
        WHERE l.devir_id = %1 ORDER BY l.id)")
                          .arg(id)),
             document);
}

// --- Models ------------------------------------------------------------------------------------------------------

void tst_ReferenceDb::modelImport_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("variants"); // stock code|stock name|size group|size|colour|barcodes|sales price
    QTest::newRow("line defaults for the columns a line lacks")
        << QStringList{R"("@MODELKODU" => 'M100', "@BARKOD" => '', "@MODELADI" => 'TİŞÖRT', "@SATISFIYATI" => '0',
                          "@BEDENKODU" => '00', "@BEDENACIKLAMA" => 'DİĞER', "@BEDEN" => 'DİĞER', "@RENK" => 'DİĞER')"}
        << "M100-0001|TİŞÖRT|00 DİĞER|DİĞER|DİĞER||0.0000";
    QTest::newRow("empty columns sent as DİĞER, price and size code included")
        << QStringList{R"("@MODELKODU" => 'M100', "@BARKOD" => '', "@MODELADI" => 'TİŞÖRT', "@SATISFIYATI" => 'DİĞER',
                          "@BEDENKODU" => 'DİĞER', "@BEDENACIKLAMA" => 'DİĞER', "@BEDEN" => 'DİĞER',
                          "@RENK" => 'DİĞER')"}
        << "M100-0001|TİŞÖRT|00 DİĞER|DİĞER|DİĞER||0.0000";
    QTest::newRow("variants of one model numbered in turn")
        << QStringList{R"("@MODELKODU" => 'M100', "@BARKOD" => '8680000000011', "@MODELADI" => 'TİŞÖRT',
                          "@SATISFIYATI" => '1299,90', "@BEDENKODU" => '01', "@BEDENACIKLAMA" => 'ERKEK',
                          "@BEDEN" => 'm', "@RENK" => 'kırmızı')",
                       R"("@MODELKODU" => 'M100', "@BARKOD" => '8680000000028', "@MODELADI" => 'TİŞÖRT',
                          "@SATISFIYATI" => 'DİĞER', "@BEDENKODU" => '01', "@BEDENACIKLAMA" => 'ERKEK',
                          "@BEDEN" => 'L', "@RENK" => 'KIRMIZI')"}
        << "M100-0001|TİŞÖRT M KIRMIZI|01 ERKEK|M|KIRMIZI|8680000000011|1299.9000\n"
           "M100-0002|TİŞÖRT L KIRMIZI|01 ERKEK|L|KIRMIZI|8680000000028|1299.9000";
    QTest::newRow("new size group")
        << QStringList{R"("@MODELKODU" => 'M200', "@BARKOD" => '', "@MODELADI" => 'BODY', "@SATISFIYATI" => '99',
                          "@BEDENKODU" => '04', "@BEDENACIKLAMA" => 'BEBEK', "@BEDEN" => '6-9 AY', "@RENK" => 'BEYAZ')"}
        << "M200-0001|BODY 6-9 AY BEYAZ|04 BEBEK|6-9 AY|BEYAZ||99.0000";
}

void tst_ReferenceDb::modelImport()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, variants);
    test::TestDatabase db;
    for (const QString& line : lines)
        QCOMPARE(db.query(QString(R"(SELECT "SP_MODEL_INSERT_FRANCHISE"(%1))").arg(line)), QString("0"));
    QCOMPARE(db.query(R"(
        SELECT s.stokkodu, s.stokadi, g.bedenkodu || ' ' || g.aciklama, d.beden, d.renk,
               (SELECT string_agg(barkod, ',') FROM tbl_stok_barkod b WHERE b.stok_id = s.id), f.fiyat
        FROM tbl_model_detay d JOIN tbl_stok s ON s.id = d.stok_id JOIN tbl_beden_grup g ON g.id = d.beden_grup_id
        LEFT JOIN tbl_stok_fiyat f ON f.stok_id = s.id AND f.fiyat_tip_id = 2
        ORDER BY s.stokkodu)"),
             variants);
}

void tst_ReferenceDb::triggerStatementsInsideATransaction_data()
{
    QTest::addColumn<bool>("switchedOff");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("variant"); // stock code|stock name|sales price of the new variant
    const QString direct = "INSERT INTO tbl_model_detay (model_id, sira, beden_grup_id, beden, renk) "
                           "SELECT m.id, 1, g.id, 'S', 'MAVİ' FROM tbl_model m, tbl_beden_grup g "
                           "WHERE m.modelkodu = 'M1' AND g.bedenkodu = '01'";
    const QString import = R"(SELECT "SP_MODEL_INSERT_FRANCHISE"("@MODELKODU" => 'M1', "@MODELADI" => 'GÖMLEK',
                              "@BEDENKODU" => '01', "@BEDEN" => 'S', "@RENK" => 'MAVİ', "@SATISFIYATI" => '250'))";
    QTest::newRow("trigger on: a variant entered directly gets its stock item")
        << false << direct << "M1-0001|GÖMLEK S MAVİ|250.0000";
    QTest::newRow("trigger off: a variant entered directly stays without one") << true << direct << "-|-|-";
    QTest::newRow("trigger off: the import still creates the stock item")
        << true << import << "M1-0001|GÖMLEK S MAVİ|250.0000";
}

void tst_ReferenceDb::triggerStatementsInsideATransaction()
{
    QFETCH(bool, switchedOff);
    QFETCH(QString, insert);
    QFETCH(QString, variant);
    test::TestDatabase db;
    db.query("INSERT INTO tbl_model (modelkodu, modeladi, satis_fiyati) VALUES ('M1', 'GÖMLEK', 250)");
    // The statements exactly as the model import sends them, inside its transaction.
    const QString off = "ALTER TABLE TBL_MODEL_DETAY DISABLE TRIGGER TRG_MODEL_DETAY_INSERT;";
    const QString on = "ALTER TABLE TBL_MODEL_DETAY ENABLE TRIGGER TRG_MODEL_DETAY_INSERT;";
    db.query("BEGIN; " + (switchedOff ? off : QString()) + insert + "; " + (switchedOff ? on : QString()) + " COMMIT;");
    QCOMPARE(db.query(R"(
        SELECT coalesce(s.stokkodu, '-'), coalesce(s.stokadi, '-'), coalesce(f.fiyat::text, '-')
        FROM tbl_model_detay d LEFT JOIN tbl_stok s ON s.id = d.stok_id
        LEFT JOIN tbl_stok_fiyat f ON f.stok_id = s.id AND f.fiyat_tip_id = 2)"),
             variant);
    // Switched on again for the rest of the database's life.
    QCOMPARE(db.query("SELECT tgenabled FROM pg_trigger WHERE tgname = 'trg_model_detay_insert'"), QString("O"));
}

// --- Lists and lookups ---------------------------------------------------------------------------------------------

void tst_ReferenceDb::pickListsInAStableOrder_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("rows");
    QTest::newRow("price types by ID")
        << "INSERT INTO tbl_fiyat_tip (id, aciklama) VALUES (0, 'KAMPANYA FİYATI'); "
           "INSERT INTO tbl_fiyat_tip (id, aciklama, aktif) VALUES (5, 'ESKİ FİYAT', false);"
        << R"(SELECT "ID", "ACIKLAMA" FROM "SP_FIYAT_TIP_LIST"())"
        << "0|KAMPANYA FİYATI\n1|ALIŞ FİYATI\n2|SATIŞ FİYATI\n3|2. SATIŞ FİYATI\n4|TOPTAN SATIŞ FİYATI";
    QTest::newRow("warehouses by ID")
        << "INSERT INTO tbl_depo (depokodu, depoadi, aktif) VALUES ('04', 'KAPANAN ŞUBE', false); "
           "INSERT INTO tbl_depo (depokodu, depoadi) VALUES ('00', 'ANA DEPO');"
        << R"(SELECT "DEPOADI" FROM "SP_DEPO_MAIN_LIST"())" << "MERKEZ DEPO\nMAĞAZA\nİADE DEPO\nANA DEPO";
}

void tst_ReferenceDb::pickListsInAStableOrder()
{
    QFETCH(QString, setup);
    QFETCH(QString, list);
    QFETCH(QString, rows);
    test::TestDatabase db;
    db.query(setup);
    QCOMPARE(db.query(list), rows);
}

void tst_ReferenceDb::groupLookup_data()
{
    QTest::addColumn<QString>("lookup"); // a call of the lookup procedure
    QTest::addColumn<QString>("table"); // where the returned IDs' names are
    QTest::addColumn<QString>("names"); // in the returned order
    const QString customerGroups = "tbl_cari_grup";
    const QString stockGroups = "tbl_stok_grup";
    const QString specialCodes = "tbl_ozel_kod";
    QTest::newRow("customer groups starting with the text")
        << R"("SP_CARI_GRUP_LIST"("@GRUPADI" => 'TOP'))" << customerGroups << "TOPTAN,TOPTAN BAYİ";
    QTest::newRow("exact customer group wins over longer names")
        << R"("SP_CARI_GRUP_LIST"("@GRUPADI" => 'TOPTAN'))" << customerGroups << "TOPTAN";
    QTest::newRow("letter case and the Turkish i aside")
        << R"("SP_CARI_GRUP_LIST"("@GRUPADI" => 'toptan bayi'))" << customerGroups << "TOPTAN BAYİ";
    QTest::newRow("unknown customer group") << R"("SP_CARI_GRUP_LIST"("@GRUPADI" => 'İHRACAT'))" << customerGroups
                                            << "";
    QTest::newRow("stock groups starting with the text")
        << R"("SP_STOK_GRUP_LIST"("@GRUPADI" => 'iç'))" << stockGroups << "İÇECEK,İÇECEK GAZLI";
    QTest::newRow("exact stock group wins over longer names")
        << R"("SP_STOK_GRUP_LIST"("@GRUPADI" => 'İÇECEK '))" << stockGroups << "İÇECEK";
    QTest::newRow("customer special codes starting with the text")
        << R"("SP_OZEL_KOD_CARI_LIST"("@OZELKODNO" => 1, "@OZELKOD" => 'İ'))" << specialCodes << "İSTANBUL,İZMİR";
    QTest::newRow("special code of another number")
        << R"("SP_OZEL_KOD_CARI_LIST"("@OZELKODNO" => 2, "@OZELKOD" => 'İSTANBUL'))" << specialCodes << "";
    QTest::newRow("stock special code") << R"("SP_OZEL_KOD_STOK_LIST"("@OZELKODNO" => 1, "@OZELKOD" => 'ithal'))"
                                        << specialCodes << "İTHAL";
    QTest::newRow("customer special codes are not stock special codes")
        << R"("SP_OZEL_KOD_STOK_LIST"("@OZELKODNO" => 1, "@OZELKOD" => 'İSTANBUL'))" << specialCodes << "";
}

void tst_ReferenceDb::groupLookup()
{
    QFETCH(QString, lookup);
    QFETCH(QString, table);
    QFETCH(QString, names);
    const test::TestDatabase& db = *m_untouched;
    const QString name = table == "tbl_ozel_kod" ? "kod" : "grupadi";
    QCOMPARE(db.query(QString(R"(SELECT coalesce(string_agg(t.%1, ',' ORDER BY l.ordinality), '')
                                 FROM %2 WITH ORDINALITY AS l JOIN %3 t ON t.id = l."ID")")
                          .arg(name, lookup, table)),
             names);
}

void tst_ReferenceDb::deletionByGroupOrSpecialCode_data()
{
    QTest::addColumn<QString>("kind"); // CARI or STOK
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("number"); // 0: group, 1 to 10: special code
    QTest::addColumn<QString>("id"); // SQL for the group's or special code's ID
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("left"); // the other codes, then what hangs on records (see the test)

    // Codes inserted out of order: the listing comes by code. C1 has a plate, C2 and C9 special code 3.
    const QString customers = R"(
        SELECT "SP_CARI_MAIN_INSERT_FRANCHISE"("@CARIKODU" => k, "@CARIADI" => 'CARİ ' || k, "@GRUPADI" => g)
        FROM (VALUES ('C3', 'TOPTAN'), ('C1', 'TOPTAN'), ('C9', 'PERAKENDE'), ('C2', 'TOPTAN'),
                     ('C4', 'TOPTAN BAYİ')) v (k, g);
        SELECT "SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT"("@CARIKODU" => 'C1', "@PLAKANO" => '34ABC123');
        INSERT INTO tbl_ozel_kod (tur, no, kod) VALUES ('C', 3, 'KARA LİSTE');
        INSERT INTO tbl_cari_ozel_kod (cari_id, no, ozel_kod_id)
        SELECT c.id, 3, o.id FROM tbl_cari c, tbl_ozel_kod o
        WHERE c.carikodu IN ('C9', 'C2') AND o.kod = 'KARA LİSTE';)";
    QTest::newRow("customers of a group") << "CARI" << customers << 0
                                          << "SELECT id FROM tbl_cari_grup WHERE grupadi = 'TOPTAN'" << "C1,C2,C3"
                                          << "C4,C9|0|1";
    QTest::newRow("customers of special code 3") << "CARI" << customers << 3
                                                 << "SELECT id FROM tbl_ozel_kod WHERE kod = 'KARA LİSTE'"
                                                 << "C2,C9" << "C1,C3,C4|1|0";

    // Each item has one barcode and one price; S1 and S3 have special code 10.
    const QString items = R"(
        SELECT "SP_STOK_MAIN_INSERT_FRANCHISE"("@STOKKODU" => k, "@STOKADI" => 'STOK ' || k, "@PERAKENDEKDV" => '1',
                                               "@GRUPNO" => g, "@BARKOD" => '869' || k, "@SATISFIYATI" => '1')
        FROM (VALUES ('S2', '4'), ('S1', '4'), ('S3', '1')) v (k, g);
        INSERT INTO tbl_ozel_kod (tur, no, kod) VALUES ('S', 10, 'RAF 7');
        INSERT INTO tbl_stok_ozel_kod (stok_id, no, ozel_kod_id)
        SELECT s.id, 10, o.id FROM tbl_stok s, tbl_ozel_kod o WHERE s.stokkodu IN ('S3', 'S1') AND o.kod = 'RAF 7';)";
    QTest::newRow("stock items of a group") << "STOK" << items << 0
                                            << "SELECT id FROM tbl_stok_grup WHERE grupadi = 'TEMİZLİK'" << "S1,S2"
                                            << "S3|1|1|1";
    QTest::newRow("stock items of special code 10") << "STOK" << items << 10
                                                    << "SELECT id FROM tbl_ozel_kod WHERE kod = 'RAF 7'" << "S1,S3"
                                                    << "S2|1|1|0";
}

void tst_ReferenceDb::deletionByGroupOrSpecialCode()
{
    QFETCH(QString, kind);
    QFETCH(QString, setup);
    QFETCH(int, number);
    QFETCH(QString, id);
    QFETCH(QString, listed);
    QFETCH(QString, left);
    test::TestDatabase db;
    db.query(setup);
    const QString code = kind == "CARI" ? "CARIKODU" : "STOKKODU";
    // As the deletion tools do: the number as an integer, the ID as the text of the hidden edit, then one
    // deletion per listed row with the row's code and ID as text.
    const QString list = QString(R"(SELECT "ID", "%1" FROM "SP_%2_MAIN_IMPORT_LIST"("@GRUPOZELKODNO" => %3,
                                    "@GRUPOZELKODID" => (%4)::varchar))")
                             .arg(code, kind)
                             .arg(number)
                             .arg(id);
    QStringList codes;
    for (const QString& row : db.query(list).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = row.split('|');
        QCOMPARE(fields.size(), 2);
        codes << fields[1];
        QCOMPARE(db.query(QString(R"(SELECT "SP_%1_MAIN_IMPORT_DELETE"("@%2" => '%3', "@ID" => '%4'))")
                              .arg(kind, code, fields[1], fields[0])),
                 QString("0"));
    }
    QCOMPARE(codes.join(','), listed);
    QCOMPARE(db.query(list), QString());

    // The other records stay; what hung on the deleted ones is gone with them.
    if (kind == "CARI") {
        QCOMPARE(db.query("SELECT string_agg(carikodu, ',' ORDER BY carikodu) || '|' || "
                          "(SELECT count(*) FROM tbl_akaryakit_cari_plaka) || '|' || "
                          "(SELECT count(*) FROM tbl_cari_ozel_kod) FROM tbl_cari"),
                 left);
    } else {
        QCOMPARE(db.query("SELECT string_agg(stokkodu, ',' ORDER BY stokkodu) || '|' || "
                          "(SELECT count(*) FROM tbl_stok_barkod) || '|' || (SELECT count(*) FROM tbl_stok_fiyat) "
                          "|| '|' || (SELECT count(*) FROM tbl_stok_ozel_kod) FROM tbl_stok"),
                 left);
    }
}

QTEST_GUILESS_MAIN(tst_ReferenceDb)
#include "tst_reference_db.moc"
