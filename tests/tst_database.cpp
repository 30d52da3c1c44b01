// The database link against the reference server through psqlODBC, and the call texts of the SQL Server dialect.

#include "db/Database.h"
#include "db/Dialect.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <QTest>

using namespace kelvra;
using namespace kelvra::db;

class tst_Database : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectPassesTheUserCodeAsApplicationName();
    void failedConnectionCarriesTheDriversMessage();
    void prepareFetchesTheParameterList();
    void undescribedProcedureFailsAtFirstAccessByName();
    void namesIgnoreLetterCase_data();
    void namesIgnoreLetterCase();
    void valuesStayButOnlyAssignedOnesAreSent();
    void typedValuesReachTheServer();
    void serverErrorIsTheServersOwnMessage();
    void rollbackLeavesNothingBehind();
    void savepointKeepsEarlierLines();
    void rowsWalkWhileASecondCommandExecutes();
    void emptyRowSet();
    void unknownFieldFails();
    void commandTimeout();
    void closeRollsBackAnOpenTransaction();
    void destroyedLinkRollsBack();
    void sqlCommandRunsInsideTheTransaction();

    void sqlServerCallText_data();
    void sqlServerCallText();
    void postgresCallText();
    void serverMessage_data();
    void serverMessage();

private:
    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<Connection> conn;
};

void tst_Database::init()
{
    db = std::make_unique<test::TestDatabase>();
    db->query(R"(
        CREATE TABLE t (k varchar PRIMARY KEY, v varchar, i integer, b boolean, s smallint);
        CREATE FUNCTION "SP_T"("@K" varchar DEFAULT NULL, "@V" varchar DEFAULT 'dflt', "@I" integer DEFAULT -1,
                               "@B" boolean DEFAULT NULL, "@S" smallint DEFAULT NULL)
        RETURNS integer LANGUAGE plpgsql AS $$
        BEGIN
          INSERT INTO t VALUES ("@K", "@V", "@I", "@B", "@S");
          IF "@V" = 'BAD' THEN RAISE EXCEPTION 'Geçersiz değer : %', "@K"; END IF;
          RETURN (SELECT count(*) FROM t);
        END $$;
        CREATE FUNCTION "SP_LIST"("@FROM" varchar DEFAULT '')
        RETURNS TABLE("ID" integer, "KOD" varchar) LANGUAGE sql AS $$
          SELECT row_number() OVER (ORDER BY k)::integer, k FROM t WHERE k >= "@FROM" ORDER BY k $$;
        CREATE FUNCTION "SP_DEL"("@KOD" varchar DEFAULT NULL) RETURNS integer LANGUAGE sql AS $$
          DELETE FROM t WHERE k = "@KOD"; SELECT 0 $$;
        CREATE FUNCTION "SP_SLEEP"("@SECONDS" varchar DEFAULT '0') RETURNS integer LANGUAGE sql AS $$
          SELECT pg_sleep("@SECONDS"::float8); SELECT 0 $$;)");
    conn = std::make_unique<Connection>();
}

void tst_Database::cleanup()
{
    conn.reset();
    db.reset();
}

void tst_Database::connectPassesTheUserCodeAsApplicationName()
{
    conn->connect(db->connectionString(), QStringLiteral("SERVIS 01"));
    QVERIFY(conn->isOpen());
    QCOMPARE(conn->dbmsName(), QStringLiteral("PostgreSQL"));
    QCOMPARE(db->query(QStringLiteral("SELECT application_name FROM pg_stat_activity WHERE datname = '%1' AND application_name <> 'psql'")
                           .arg(db->name())),
             QStringLiteral("SERVIS 01"));
    conn->close();
    QVERIFY(!conn->isOpen());
    conn->close(); // closing a closed link does nothing
}

void tst_Database::failedConnectionCarriesTheDriversMessage()
{
    // Port 1 on loopback: nothing listens there.
    QString closedPort = db->connectionString();
    closedPort.replace(QRegularExpression(QStringLiteral("Port=\\d+")), QStringLiteral("Port=1"));
    try {
        conn->connect(closedPort, QStringLiteral("u"));
        QFAIL("connected to a closed port");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(QLatin1String("Connection refused")), qPrintable(e.message()));
        QVERIFY2(!e.message().startsWith(QLatin1Char('[')), qPrintable(e.message()));
    }
    QVERIFY(!conn->isOpen());
}

void tst_Database::prepareFetchesTheParameterList()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_T;1"));
    QStringList names;
    for (const Parameter& p : sp.parameters())
        names << p.name;
    QCOMPARE(names, QStringList({"@RETURN_VALUE", "@K", "@V", "@I", "@B", "@S"}));
    QCOMPARE(sp.parameters().first().direction, Parameter::Direction::ReturnValue);
    // A function's result columns are no parameters.
    sp.prepare(QStringLiteral("SP_LIST;1"));
    QCOMPARE(sp.parameters().size(), 1);
    QCOMPARE(sp.parameters().first().name, QStringLiteral("@FROM"));
}

void tst_Database::undescribedProcedureFailsAtFirstAccessByName()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_YOK;1"));
    QVERIFY(sp.parameters().isEmpty());
    try {
        sp.setText(QStringLiteral("@FIYATTIPID"), QStringLiteral("1"));
        QFAIL("set a parameter of an unknown procedure");
    } catch (const DbError& e) {
        QCOMPARE(e.message(), QStringLiteral("spDo: Parameter '@FIYATTIPID' not found"));
    }
    // The catalog pattern's wildcards are escaped: "SP_T" does not find "SPXT".
    db->query(R"(CREATE FUNCTION "SPXT"() RETURNS integer LANGUAGE sql AS $$ SELECT 1 $$;)");
    sp.prepare(QStringLiteral("SP_T;1"));
    QCOMPARE(sp.parameters().size(), 6);
}

void tst_Database::namesIgnoreLetterCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::newRow("as reported") << "@K" << true;
    QTest::newRow("lower case") << "@k" << true;
    QTest::newRow("return value lower case") << "@return_value" << true;
    QTest::newRow("other name") << "@KK" << false;
    QTest::newRow("without at sign") << "K" << false;
}

void tst_Database::namesIgnoreLetterCase()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand spDel(*conn, QStringLiteral("spDel"));
    spDel.prepare(QStringLiteral("SP_T;1"));
    try {
        spDel.setText(name, QStringLiteral("x"));
        QVERIFY(found);
        QCOMPARE(spDel.read(name).toString(), QStringLiteral("x"));
    } catch (const DbError& e) {
        QVERIFY(!found);
        QCOMPARE(e.message(), QStringLiteral("spDel: Parameter '%1' not found").arg(name));
    }
}

void tst_Database::valuesStayButOnlyAssignedOnesAreSent()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_T;1"));
    sp.setText(QStringLiteral("@K"), QStringLiteral("a"));
    sp.setText(QStringLiteral("@V"), QStringLiteral("bir"));
    sp.execute();
    QCOMPARE(sp.readInt32(QStringLiteral("@RETURN_VALUE")), 1);
    sp.close(); // closing keeps the values
    QCOMPARE(sp.read(QStringLiteral("@V")).toString(), QStringLiteral("bir"));
    // The next execution sets only @K: @V takes its declared default.
    sp.setText(QStringLiteral("@K"), QStringLiteral("b"));
    sp.execute();
    QCOMPARE(sp.readInt32(QStringLiteral("@RETURN_VALUE")), 2);
    QCOMPARE(db->query("SELECT string_agg(k || '=' || v, ',' ORDER BY k) FROM t"), QStringLiteral("a=bir,b=dflt"));
    // Prepare again: the list and its values are fetched anew.
    sp.prepare(QStringLiteral("SP_T;1"));
    QVERIFY(!sp.read(QStringLiteral("@V")).isValid());
}

void tst_Database::typedValuesReachTheServer()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_T;1"));
    sp.setText(QStringLiteral("@K"), QStringLiteral("İğşüöç ĞŞÜÖÇı"));
    sp.setInt32(QStringLiteral("@I"), -2147483647 - 1);
    sp.setBool(QStringLiteral("@B"), true);
    sp.setUInt8(QStringLiteral("@S"), 255);
    sp.execute();
    sp.setText(QStringLiteral("@K"), QString(5000, QLatin1Char('x'))); // beyond the short text limit
    sp.setText(QStringLiteral("@V"), QString());
    sp.execute();
    QCOMPARE(db->query("SELECT k || '|' || i || '|' || b || '|' || s FROM t WHERE k LIKE 'İ%'"),
             QStringLiteral("İğşüöç ĞŞÜÖÇı|-2147483648|true|255"));
    QCOMPARE(db->query("SELECT length(k) || '|' || coalesce(v, 'NULL') FROM t WHERE k LIKE 'x%'"),
             QStringLiteral("5000|"));
}

void tst_Database::serverErrorIsTheServersOwnMessage()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_T;1"));
    sp.setText(QStringLiteral("@K"), QStringLiteral("a"));
    sp.setText(QStringLiteral("@V"), QStringLiteral("BAD"));
    try {
        sp.execute();
        QFAIL("no error");
    } catch (const DbError& e) {
        QCOMPARE(e.message(), QStringLiteral("Geçersiz değer : a"));
        QCOMPARE(e.sqlState().size(), 5);
    }
}

void tst_Database::rollbackLeavesNothingBehind()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_T;1"));
    conn->beginTransaction();
    QCOMPARE(conn->transactionLevel(), 1);
    sp.setText(QStringLiteral("@K"), QStringLiteral("a"));
    sp.execute();
    sp.setText(QStringLiteral("@K"), QStringLiteral("b"));
    sp.setText(QStringLiteral("@V"), QStringLiteral("BAD"));
    QVERIFY_THROWS_EXCEPTION(DbError, sp.execute());
    conn->rollback();
    QCOMPARE(conn->transactionLevel(), 0);
    QVERIFY(conn->isOpen());
    QCOMPARE(db->query("SELECT count(*) FROM t"), QStringLiteral("0"));
    // The connection goes on after the rollback, out of any transaction.
    sp.setText(QStringLiteral("@K"), QStringLiteral("c"));
    sp.execute();
    QCOMPARE(db->query("SELECT string_agg(k, ',') FROM t"), QStringLiteral("c"));
}

void tst_Database::savepointKeepsEarlierLines()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_T;1"));
    conn->beginTransaction();
    const QStringList values{"1", "BAD", "3"};
    for (int i = 0; i < values.size(); ++i) {
        conn->setSavepoint(QStringLiteral("line"));
        try {
            sp.setText(QStringLiteral("@K"), QString::number(i));
            sp.setText(QStringLiteral("@V"), values[i]);
            sp.execute();
            conn->releaseSavepoint(QStringLiteral("line"));
        } catch (const DbError&) {
            conn->rollbackToSavepoint(QStringLiteral("line"));
        }
    }
    conn->commit();
    QCOMPARE(db->query("SELECT string_agg(k || '=' || v, ',' ORDER BY k) FROM t"), QStringLiteral("0=1,2=3"));
}

void tst_Database::rowsWalkWhileASecondCommandExecutes()
{
    db->query("INSERT INTO t (k, v) VALUES ('a', '1'), ('b', '2'), ('c', '3'), ('d', '4')");
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand spDo(*conn, QStringLiteral("spDo"));
    ProcedureCommand spDel(*conn, QStringLiteral("spDel"));
    spDo.prepare(QStringLiteral("SP_LIST;1"));
    spDo.setText(QStringLiteral("@FROM"), QStringLiteral("b"));
    spDo.open();
    QCOMPARE(spDo.rowCount(), 3);
    QStringList walked;
    while (!spDo.eof()) {
        spDel.prepare(QStringLiteral("SP_DEL;1"));
        spDel.setText(QStringLiteral("@KOD"), spDo.fieldText(QStringLiteral("kod")));
        spDel.execute();
        walked << QString::number(spDo.fieldInt32(QStringLiteral("ID"))) + spDo.fieldText(QStringLiteral("KOD"));
        spDo.next();
    }
    QCOMPARE(walked, QStringList({"1b", "2c", "3d"}));
    QCOMPARE(db->query("SELECT string_agg(k, ',') FROM t"), QStringLiteral("a"));
    // The list stays after its last row until the link closes.
    QCOMPARE(spDo.rowCount(), 3);
    conn->close();
    QCOMPARE(spDo.rowCount(), 0);
}

void tst_Database::emptyRowSet()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_LIST;1"));
    sp.open();
    QCOMPARE(sp.rowCount(), 0);
    QVERIFY(sp.eof());
}

void tst_Database::unknownFieldFails()
{
    db->query("INSERT INTO t (k, v) VALUES ('a', '1')");
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_LIST;1"));
    sp.open();
    try {
        sp.fieldText(QStringLiteral("ACIKLAMA"));
        QFAIL("read an unknown field");
    } catch (const DbError& e) {
        QCOMPARE(e.message(), QStringLiteral("spDo: Field 'ACIKLAMA' not found"));
    }
}

void tst_Database::commandTimeout()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_SLEEP;1"));
    sp.setCommandTimeout(600000); // the long imports' value is accepted
    sp.setText(QStringLiteral("@SECONDS"), QStringLiteral("0"));
    sp.execute();
    sp.setCommandTimeout(1);
    sp.setText(QStringLiteral("@SECONDS"), QStringLiteral("5"));
    QVERIFY_THROWS_EXCEPTION(DbError, sp.execute());
}

void tst_Database::closeRollsBackAnOpenTransaction()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    ProcedureCommand sp(*conn, QStringLiteral("spDo"));
    sp.prepare(QStringLiteral("SP_T;1"));
    conn->beginTransaction();
    sp.setText(QStringLiteral("@K"), QStringLiteral("a"));
    sp.execute();
    // Connecting again closes first, so the open transaction is rolled back.
    conn->connect(db->connectionString(), QStringLiteral("u"));
    QCOMPARE(conn->transactionLevel(), 0);
    QCOMPARE(db->query("SELECT count(*) FROM t"), QStringLiteral("0"));
    // The command works on the new connection once prepared there.
    sp.prepare(QStringLiteral("SP_T;1"));
    sp.setText(QStringLiteral("@K"), QStringLiteral("b"));
    sp.execute();
    QCOMPARE(db->query("SELECT string_agg(k, ',') FROM t"), QStringLiteral("b"));
}

void tst_Database::destroyedLinkRollsBack()
{
    {
        Connection link;
        ProcedureCommand sp(link, QStringLiteral("spDo"));
        link.connect(db->connectionString(), QStringLiteral("u"));
        sp.prepare(QStringLiteral("SP_T;1"));
        link.beginTransaction();
        sp.setText(QStringLiteral("@K"), QStringLiteral("a"));
        sp.execute();
    }
    QCOMPARE(db->query("SELECT count(*) FROM t"), QStringLiteral("0"));
}

void tst_Database::sqlCommandRunsInsideTheTransaction()
{
    conn->connect(db->connectionString(), QStringLiteral("u"));
    SqlCommand qry(*conn, QStringLiteral("QryGenel"));
    conn->beginTransaction();
    qry.execute(QStringLiteral("INSERT INTO t (k) VALUES ('q')"));
    conn->rollback();
    QCOMPARE(db->query("SELECT count(*) FROM t"), QStringLiteral("0"));
    QVERIFY_THROWS_EXCEPTION(DbError, qry.execute(QStringLiteral("SELECT * FROM yok")));
}

void tst_Database::sqlServerCallText_data()
{
    QTest::addColumn<QString>("schema");
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<bool>("returnsValue");
    QTest::addColumn<QString>("text");
    QTest::newRow("two parameters, return value")
        << "dbo" << "SP_CARI_MAIN_INSERT_FRANCHISE" << QStringList{"@CARIKODU", "@CARIADI"} << true
        << "SET NOCOUNT ON; DECLARE @kelvra_return int; EXEC @kelvra_return = [dbo].[SP_CARI_MAIN_INSERT_FRANCHISE];1 "
           "@CARIKODU = ?, @CARIADI = ?; SELECT @kelvra_return";
    QTest::newRow("no parameters, no return value")
        << "" << "SP_FIYAT_TIP_LIST" << QStringList{} << false << "SET NOCOUNT ON; EXEC [SP_FIYAT_TIP_LIST];1";
    QTest::newRow("suffix of the catalog name is not doubled")
        << "dbo" << "SP_X;1" << QStringList{"@A"} << false << "SET NOCOUNT ON; EXEC [dbo].[SP_X];1 @A = ?";
    QTest::newRow("bracket in a name is doubled")
        << "d]bo" << "SP]X" << QStringList{"@A"} << false << "SET NOCOUNT ON; EXEC [d]]bo].[SP]]X];1 @A = ?";
}

void tst_Database::sqlServerCallText()
{
    QFETCH(QString, schema);
    QFETCH(QString, procedure);
    QFETCH(QStringList, parameters);
    QFETCH(bool, returnsValue);
    QFETCH(QString, text);
    const auto dialect = Dialect::forDbms(QStringLiteral("Microsoft SQL Server"));
    QCOMPARE(dialect->callText(schema, procedure, parameters, returnsValue), text);
    QVERIFY(dialect->returnValueAfterRows());
    // A parameter name that is not a plain identifier never becomes part of the text.
    QVERIFY_THROWS_EXCEPTION(DbError, dialect->callText(schema, procedure, {"@A = 1; DROP TABLE X --"}, false));
}

void tst_Database::postgresCallText()
{
    const auto dialect = Dialect::forDbms(QStringLiteral("PostgreSQL"));
    QCOMPARE(dialect->callText("public", "SP_\"T", {"@A", "@B"}, true),
             QStringLiteral("SELECT * FROM \"public\".\"SP_\"\"T\"(\"@A\" => ?, \"@B\" => ?)"));
    QCOMPARE(dialect->setSavepoint("kelvra_line"), QStringLiteral("SAVEPOINT \"kelvra_line\""));
}

void tst_Database::serverMessage_data()
{
    QTest::addColumn<QString>("dbms");
    QTest::addColumn<QString>("driverText");
    QTest::addColumn<QString>("message");
    QTest::newRow("psqlODBC wrapping") << "PostgreSQL" << "ERROR: Stok kodu boş olamaz.;\nError while executing the query"
                                       << "Stok kodu boş olamaz.";
    QTest::newRow("psqlODBC with vendor tag")
        << "PostgreSQL" << "[unixODBC]ERROR: Geçersiz sayı: 1,2,3;\nError while executing the query"
        << "Geçersiz sayı: 1,2,3";
    QTest::newRow("SQL Server tags") << "Microsoft SQL Server"
                                     << "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Cari kodu boş.!"
                                     << "Cari kodu boş.!";
    QTest::newRow("FreeTDS tags") << "Microsoft SQL Server" << "[FreeTDS][SQL Server]Login failed for user 'sa'."
                                  << "Login failed for user 'sa'.";
}

void tst_Database::serverMessage()
{
    QFETCH(QString, dbms);
    QFETCH(QString, driverText);
    QFETCH(QString, message);
    QCOMPARE(Dialect::forDbms(dbms)->serverMessage(driverText), message);
}

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_database.moc"
