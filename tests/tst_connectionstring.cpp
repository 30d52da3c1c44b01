#include "db/ConnectionString.h"
#include "db/Database.h"
#include "support/TestSupport.h"

#include <QTest>

using namespace kelvra;
using namespace kelvra::db;

namespace {

QStringList pairs(const QList<ConnectionKey>& keys)
{
    QStringList out;
    for (const ConnectionKey& k : keys)
        out << k.key + QLatin1String(" => ") + k.value;
    return out;
}

QList<ConnectionKey> keysOf(const QStringList& pairs)
{
    QList<ConnectionKey> keys;
    for (const QString& p : pairs) {
        const qsizetype at = p.indexOf(QLatin1String(" => "));
        keys.append({p.left(at), p.mid(at + 4)});
    }
    return keys;
}

const QString driver18 = QStringLiteral("ODBC Driver 18 for SQL Server");
const QString driver17 = QStringLiteral("ODBC Driver 17 for SQL Server");
const QStringList allDrivers{"PostgreSQL Unicode", "FreeTDS", driver17, driver18};
const QStringList upTo17{"FreeTDS", driver17};
const QStringList freeTdsOnly{"PostgreSQL ANSI", "FreeTDS"};

const QString noDriverText = QStringLiteral("SQL Server için kurulu bir ODBC sürücüsü bulunamadı (ODBC Driver 18 for "
                                            "SQL Server, ODBC Driver 17 for SQL Server ya da FreeTDS gerekir).");
const QString unreadableText = QStringLiteral("Bağlantı cümlesinin biçimi geçersiz.");

} // namespace

class tst_ConnectionString : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void formatReadsBack_data();
    void formatReadsBack();
    void oleDbTranslated_data();
    void oleDbTranslated();
    void odbcPassedThrough_data();
    void odbcPassedThrough();
    void unusableStringsFail_data();
    void unusableStringsFail();
    void installedDriversListed();
    void applicationNameReachesServer_data();
    void applicationNameReachesServer();
    void psqlOdbcLeavesFailedTransactionToTheLink();
};

void tst_ConnectionString::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<bool>("ok");

    QTest::newRow("OLE DB string of the settings file")
        << "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=gizli;Initial Catalog=VARDEL;"
           "Data Source=MERKEZ\\SQL2008"
        << QStringList{"Provider => SQLOLEDB.1", "Persist Security Info => True", "User ID => sa",
                       "Password => gizli",      "Initial Catalog => VARDEL",     "Data Source => MERKEZ\\SQL2008"}
        << true;
    QTest::newRow("blanks around keys and values")
        << " Data Source = MERKEZ ;  Initial Catalog=VARDEL  "
        << QStringList{"Data Source => MERKEZ", "Initial Catalog => VARDEL"} << true;
    QTest::newRow("double quotes hold a semicolon")
        << "Password=\"a;b\";User ID=sa" << QStringList{"Password => a;b", "User ID => sa"} << true;
    QTest::newRow("doubled quote inside quotes")
        << "Password='it''s';Name=\"say \"\"hi\"\"\"" << QStringList{"Password => it's", "Name => say \"hi\""} << true;
    QTest::newRow("blanks kept inside quotes") << "Password=\" x \"" << QStringList{"Password =>  x "} << true;
    QTest::newRow("braces hold semicolons and doubled closing braces")
        << "DRIVER={ODBC Driver 18 for SQL Server};PWD={a;}}b}"
        << QStringList{"DRIVER => ODBC Driver 18 for SQL Server", "PWD => a;}b"} << true;
    QTest::newRow("quote inside a plain value is a character")
        << "Password=ab\"c'd;UID=x" << QStringList{"Password => ab\"c'd", "UID => x"} << true;
    QTest::newRow("equals sign inside a value")
        << "pqopt=application_name=x" << QStringList{"pqopt => application_name=x"} << true;
    QTest::newRow("empty segments skipped")
        << ";Data Source=S;;Application Name=u;" << QStringList{"Data Source => S", "Application Name => u"} << true;
    QTest::newRow("empty value") << "Application Name=" << QStringList{"Application Name => "} << true;
    QTest::newRow("empty text") << "" << QStringList{} << true;
    QTest::newRow("unclosed quote") << "Password=\"abc;Data Source=S" << QStringList{"Password => abc;Data Source=S"}
                                    << false;
    QTest::newRow("unclosed brace") << "UID=a;PWD={abc" << QStringList{"UID => a", "PWD => abc"} << false;
    QTest::newRow("text after the closing quote")
        << "Password=\"a\"b;Data Source=S" << QStringList{"Data Source => S"} << false;
    QTest::newRow("segment without equals sign")
        << "Data Source=S;Veli;UID=a" << QStringList{"Data Source => S", "UID => a"} << false;
    QTest::newRow("empty key") << "=x;UID=a" << QStringList{"UID => a"} << false;
}

void tst_ConnectionString::parse()
{
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    QFETCH(bool, ok);
    bool parsedOk = !ok;
    QCOMPARE(pairs(parseConnectionString(text, &parsedOk)), keys);
    QCOMPARE(parsedOk, ok);
}

void tst_ConnectionString::formatReadsBack_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("text");

    QTest::newRow("OLE DB plain values") << QStringList{"Provider => SQLOLEDB.1", "Data Source => MERKEZ\\SQL2008",
                                                        "Password => p=w"}
                                         << "Provider=SQLOLEDB.1;Data Source=MERKEZ\\SQL2008;Password=p=w";
    QTest::newRow("OLE DB semicolon in double quotes")
        << QStringList{"Data Source => S", "Password => a;b"} << "Data Source=S;Password=\"a;b\"";
    QTest::newRow("OLE DB double quote and semicolon in single quotes")
        << QStringList{"Password => say \"hi\";"} << "Password='say \"hi\";'";
    QTest::newRow("OLE DB both quotes: double quotes doubled")
        << QStringList{"Password => a\"b'c;"} << "Password=\"a\"\"b'c;\"";
    QTest::newRow("OLE DB edge blanks and leading brace quoted")
        << QStringList{"Password =>  x", "User ID => {sa}"} << "Password=\" x\";User ID=\"{sa}\"";
    QTest::newRow("ODBC braces for separators, closing brace doubled")
        << QStringList{"DRIVER => ODBC Driver 18 for SQL Server", "PWD => p;w{x}"}
        << "DRIVER={ODBC Driver 18 for SQL Server};PWD={p;w{x}}}";
    QTest::newRow("ODBC plain values and empty value")
        << QStringList{"DSN => vardel", "Server => MERKEZ\\SQL2008", "APP => "}
        << "DSN=vardel;Server=MERKEZ\\SQL2008;APP=";
    QTest::newRow("ODBC leading quote braced")
        << QStringList{"DSN => x", "PWD => \"q", "UID => 'a'"} << "DSN=x;PWD={\"q};UID={'a'}";
    // Plain values are read trimmed of every white space, vertical tab and form feed included.
    QTest::newRow("OLE DB vertical tab at the edge quoted")
        << QStringList{"Password => \va", "User ID => b\f"} << "Password=\"\va\";User ID=\"b\f\"";
    QTest::newRow("ODBC vertical tab braced") << QStringList{"DSN => x", "PWD => \va"} << "DSN=x;PWD={\va}";
}

void tst_ConnectionString::formatReadsBack()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, text);
    QCOMPARE(formatConnectionString(keysOf(keys)), text);
    bool ok = false;
    QCOMPARE(pairs(parseConnectionString(text, &ok)), keys);
    QVERIFY(ok);
}

void tst_ConnectionString::oleDbTranslated_data()
{
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QStringList>("drivers");
    QTest::addColumn<QString>("expected");

    const QString settingsText = QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;"
                                                "Password=gizli;Initial Catalog=VARDEL;Data Source=MERKEZ\\SQL2008;"
                                                "Application Name=ali");
    QTest::newRow("instance, Driver 18 preferred")
        << settingsText << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=MERKEZ\\SQL2008;Database=VARDEL;UID=sa;PWD=gizli;APP=ali;"
           "Encrypt=no";
    QTest::newRow("instance, Driver 17 next")
        << settingsText << upTo17
        << "DRIVER={ODBC Driver 17 for SQL Server};Server=MERKEZ\\SQL2008;Database=VARDEL;UID=sa;PWD=gizli;APP=ali;"
           "Encrypt=no";
    QTest::newRow("instance, FreeTDS last")
        << settingsText << freeTdsOnly
        << "DRIVER=FreeTDS;Server=MERKEZ\\SQL2008;Database=VARDEL;UID=sa;PWD=gizli;APP=ali;ClientCharset=UTF-8";

    const QString withPort = QStringLiteral("Provider=SQLNCLI11;Data Source=10.0.0.5,1433;Initial Catalog=D;"
                                            "User ID=sa;Password=p;Application Name=u");
    QTest::newRow("port, Microsoft driver keeps HOST,PORT")
        << withPort << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=10.0.0.5,1433;Database=D;UID=sa;PWD=p;APP=u;Encrypt=no";
    QTest::newRow("port, FreeTDS gets its Port key")
        << withPort << freeTdsOnly
        << "DRIVER=FreeTDS;Server=10.0.0.5;Port=1433;Database=D;UID=sa;PWD=p;APP=u;ClientCharset=UTF-8";
    QTest::newRow("instance and port, FreeTDS uses the port")
        << "Data Source=SRV\\INST,1500;Application Name=u" << freeTdsOnly
        << "DRIVER=FreeTDS;Server=SRV;Port=1500;APP=u;ClientCharset=UTF-8";
    QTest::newRow("tcp prefix and (local), Microsoft driver")
        << "Data Source=tcp:(local),1433;Application Name=u" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=tcp:localhost,1433;APP=u;Encrypt=no";
    QTest::newRow("tcp prefix and dot, FreeTDS")
        << "Data Source=tcp:.,1433;Application Name=u" << freeTdsOnly
        << "DRIVER=FreeTDS;Server=localhost;Port=1433;APP=u;ClientCharset=UTF-8";
    QTest::newRow("separate Port key joins the server name")
        << "Server=SRV\\INST;Port=1500;Database=D;UID=a;PWD=b;Application Name=u" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=SRV\\INST,1500;Database=D;UID=a;PWD=b;APP=u;Encrypt=no";

    const QString sspi = QStringLiteral("Provider=SQLNCLI11;Integrated Security=SSPI;Persist Security Info=False;"
                                        "User ID=sa;Initial Catalog=D;Data Source=SRV;Application Name=u");
    QTest::newRow("SSPI, Microsoft driver, login left out")
        << sspi << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=SRV;Database=D;Trusted_Connection=yes;APP=u;Encrypt=no";
    QTest::newRow("SSPI, FreeTDS")
        << sspi << freeTdsOnly
        << "DRIVER=FreeTDS;Server=SRV;Database=D;Trusted_Connection=yes;APP=u;ClientCharset=UTF-8";
    QTest::newRow("integrated security false keeps the login")
        << "Integrated Security=False;User ID=sa;Password=p;Data Source=S;Application Name=u" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;UID=sa;PWD=p;APP=u;Encrypt=no";

    QTest::newRow("encryption asked, certificate trusted")
        << "Provider=MSOLEDBSQL;Data Source=S;User ID=sa;Password=p;Use Encryption for Data=True;"
           "Trust Server Certificate=True;Application Name=u"
        << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;UID=sa;PWD=p;APP=u;Encrypt=yes;TrustServerCertificate=yes";
    QTest::newRow("MSOLEDBSQL19 encrypts by default")
        << "Provider=MSOLEDBSQL19;Data Source=S;Application Name=u" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=u;Encrypt=yes";
    QTest::newRow("MSOLEDBSQL19 told optional")
        << "Provider=MSOLEDBSQL19;Data Source=S;Use Encryption for Data=Optional;Application Name=u" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=u;Encrypt=no";
    QTest::newRow("strict, Driver 18") << "Provider=MSOLEDBSQL19;Data Source=S;Encrypt=Strict;Application Name=u"
                                       << allDrivers
                                       << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=u;Encrypt=strict";
    QTest::newRow("strict, Driver 17 has only yes")
        << "Provider=MSOLEDBSQL19;Data Source=S;Encrypt=Strict;Application Name=u" << upTo17
        << "DRIVER={ODBC Driver 17 for SQL Server};Server=S;APP=u;Encrypt=yes";
    QTest::newRow("encryption asked, FreeTDS requires it")
        << "Data Source=S;Encrypt=yes;TrustServerCertificate=yes;Application Name=u" << freeTdsOnly
        << "DRIVER=FreeTDS;Server=S;APP=u;ClientCharset=UTF-8;Encryption=require";

    const QString timeout = QStringLiteral("Data Source=S;Connect Timeout=30;Application Name=u");
    QTest::newRow("connect timeout, Driver 18 keyword")
        << timeout << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=u;Encrypt=no;ConnectTimeout=30";
    QTest::newRow("connect timeout, Driver 17 has none")
        << timeout << upTo17 << "DRIVER={ODBC Driver 17 for SQL Server};Server=S;APP=u;Encrypt=no";
    QTest::newRow("connect timeout, FreeTDS has none")
        << timeout << freeTdsOnly << "DRIVER=FreeTDS;Server=S;APP=u;ClientCharset=UTF-8";

    const QString providerKeys =
        QStringLiteral("Provider=SQLOLEDB.1;Data Source=S;Auto Translate=True;Packet Size=4096;"
                       "Use Procedure for Prepare=1;Workstation ID=KASA1;Network Library=DBMSSOCN;"
                       "Tag with column collation when possible=False;Application Name=u");
    QTest::newRow("provider keys mapped or dropped, Microsoft driver")
        << providerKeys << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=u;WSID=KASA1;AutoTranslate=yes;Encrypt=no";
    QTest::newRow("provider keys mapped or dropped, FreeTDS")
        << providerKeys << freeTdsOnly
        << "DRIVER=FreeTDS;Server=S;APP=u;WSID=KASA1;PacketSize=4096;ClientCharset=UTF-8";

    QTest::newRow("quoted password with separators braced")
        << "Provider=SQLOLEDB.1;Data Source=S;User ID=sa;Password=\"p;w{x}\";Application Name=u" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;UID=sa;PWD={p;w{x}}};APP=u;Encrypt=no";
    QTest::newRow("user code with blank")
        << "Provider=SQLOLEDB.1;Data Source=S;Application Name=Ali Veli" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP={Ali Veli};Encrypt=no";
    QTest::newRow("user code with equals sign")
        << "Provider=SQLOLEDB.1;Data Source=S;Application Name=a=b" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP={a=b};Encrypt=no";
    QTest::newRow("text ending with semicolon") << "Provider=SQLOLEDB.1;Data Source=S;;Application Name=u" << allDrivers
                                                << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=u;Encrypt=no";
    QTest::newRow("empty user code") << "Provider=SQLOLEDB.1;Data Source=S;Application Name=" << allDrivers
                                     << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=;Encrypt=no";
    QTest::newRow("user code wins over the text's application name")
        << "Data Source=S;Application Name=Kelvra;Application Name=u" << allDrivers
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;APP=u;Encrypt=no";
    QTest::newRow("empty connection text")
        << ";Application Name=u" << allDrivers << "DRIVER={ODBC Driver 18 for SQL Server};APP=u;Encrypt=no";
}

void tst_ConnectionString::oleDbTranslated()
{
    QFETCH(QString, composed);
    QFETCH(QStringList, drivers);
    QFETCH(QString, expected);
    QCOMPARE(driverConnectionString(composed, drivers), expected);
}

void tst_ConnectionString::odbcPassedThrough_data()
{
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QString>("expected");

    const QString pg = QStringLiteral("DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=d;UID=kelvra;"
                                      "PWD=kelvra;Application Name=");
    const QString pgOut = QStringLiteral("DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=d;"
                                         "UID=kelvra;PWD=kelvra;");
    QTest::newRow("psqlODBC: pqopt and rollback level")
        << pg + "ali" << pgOut + "pqopt={application_name=ali};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: blanks and quotes quoted for libpq")
        << pg + "Ali 'Can'" << pgOut + "pqopt={application_name='Ali \\'Can\\''};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: backslash escaped")
        << pg + "a\\b" << pgOut + "pqopt={application_name='a\\\\b'};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: closing brace doubled")
        << pg + "x}" << pgOut + "pqopt={application_name=x}}};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: empty user code") << pg << pgOut + "pqopt={application_name=''};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: Protocol given replaced")
        << "DRIVER={PostgreSQL Unicode};Server=h;Protocol=7.4-1;A1=7.4-2;Application Name=u"
        << "DRIVER={PostgreSQL Unicode};Server=h;pqopt={application_name=u};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: its own logs stay off")
        << "DRIVER={PostgreSQL Unicode};Server=h;CommLog=1;B2=1;Application Name=u"
        << "DRIVER={PostgreSQL Unicode};Server=h;pqopt={application_name=u};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: existing pqopt merged")
        << "DRIVER={PostgreSQL Unicode};pqopt={sslmode=disable};Server=h;Application Name=u"
        << "DRIVER={PostgreSQL Unicode};pqopt={sslmode=disable application_name=u};Server=h;Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC named by its library")
        << "Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so;Server=h;Application Name=u"
        << "Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so;Server=h;pqopt={application_name=u};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("psqlODBC: text ending with semicolon")
        << "DRIVER={PostgreSQL ANSI};Server=h;;Application Name=u"
        << "DRIVER={PostgreSQL ANSI};Server=h;pqopt={application_name=u};Protocol=7.4-0;CommLog=0;Debug=0";
    QTest::newRow("SQL Server driver: keys kept, APP replaced")
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;UID=sa;PWD={p;w};APP=Eski;Encrypt=yes;Application Name=ali"
        << "DRIVER={ODBC Driver 18 for SQL Server};Server=S;UID=sa;PWD={p;w};Encrypt=yes;APP=ali";
    QTest::newRow("FreeTDS: user code with blank braced")
        << "DRIVER=FreeTDS;Server=S;Port=1433;Application Name=Ali Veli"
        << "DRIVER=FreeTDS;Server=S;Port=1433;APP={Ali Veli}";
    QTest::newRow("DSN: APP") << "DSN=vardel;UID=sa;PWD=x;Application Name=ali"
                              << "DSN=vardel;UID=sa;PWD=x;APP=ali";
    QTest::newRow("DSN: text ending with semicolon") << "dsn=vardel;;Application Name=ali"
                                                     << "dsn=vardel;APP=ali";
    QTest::newRow("DSN: empty user code") << "DSN=vardel;Application Name="
                                          << "DSN=vardel;APP=";
    QTest::newRow("ODBC bridge provider dropped") << "Provider=MSDASQL.1;DSN=vardel;Application Name=u"
                                                  << "DSN=vardel;APP=u";
}

void tst_ConnectionString::odbcPassedThrough()
{
    QFETCH(QString, composed);
    QFETCH(QString, expected);
    // No SQL Server driver is needed for a string that names its own.
    QCOMPARE(driverConnectionString(composed, {}), expected);
}

void tst_ConnectionString::unusableStringsFail_data()
{
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QStringList>("drivers");
    QTest::addColumn<QString>("message");

    QTest::newRow("no SQL Server driver installed")
        << "Provider=SQLOLEDB.1;Data Source=S;Application Name=u"
        << QStringList{"PostgreSQL Unicode", "PostgreSQL ANSI"} << noDriverText;
    QTest::newRow("no driver at all") << "Data Source=S;Application Name=u" << QStringList{} << noDriverText;
    QTest::newRow("unclosed quote") << "Provider=SQLOLEDB.1;Password=\"abc;Data Source=S;Application Name=u"
                                    << allDrivers << unreadableText;
    QTest::newRow("user code with semicolon")
        << "Provider=SQLOLEDB.1;Data Source=S;Application Name=Ali;Veli" << allDrivers << unreadableText;
    QTest::newRow("ODBC string with unclosed brace")
        << "DRIVER={PostgreSQL Unicode;Server=h;Application Name=u" << allDrivers << unreadableText;
}

void tst_ConnectionString::unusableStringsFail()
{
    QFETCH(QString, composed);
    QFETCH(QStringList, drivers);
    QFETCH(QString, message);
    try {
        const QString text = driverConnectionString(composed, drivers);
        QFAIL(qPrintable("no error, gave " + text));
    } catch (const DbError& e) {
        QCOMPARE(e.message(), message);
    }
}

void tst_ConnectionString::installedDriversListed()
{
    // The set-up installs psqlODBC and FreeTDS under these names; the database tests connect through the first.
    const QStringList drivers = installedOdbcDrivers();
    QVERIFY2(drivers.contains("PostgreSQL Unicode"), qPrintable(drivers.join(", ")));
    QVERIFY2(drivers.contains("FreeTDS"), qPrintable(drivers.join(", ")));
}

void tst_ConnectionString::applicationNameReachesServer_data()
{
    QTest::addColumn<QString>("userCode");
    QTest::newRow("plain") << "ali";
    QTest::newRow("blank and quote") << "O'Brien Can";
    QTest::newRow("backslash and brace") << "a\\b}";
    QTest::newRow("Turkish letters") << "Şükrü Işık";
    QTest::newRow("empty") << "";
}

void tst_ConnectionString::applicationNameReachesServer()
{
    QFETCH(QString, userCode);
    test::TestDatabase db;
    Connection connection;
    connection.connect(db.connectionString(), userCode);
    const QString shown = db.query("SELECT application_name FROM pg_stat_activity "
                                   "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    // PostgreSQL keeps printable ASCII only: up to version 15 it shows every other byte as "?", from 16 on as
    // "\xNN". Either way the count of bytes tells that the name arrived in UTF-8.
    QString questionMarks, hexEscapes;
    for (const char byte : userCode.toUtf8()) {
        const uchar b = uchar(byte);
        questionMarks += b < 0x80 ? QChar(b) : QChar(u'?');
        hexEscapes += b < 0x80 ? QString(QChar(b)) : QStringLiteral("\\x%1").arg(b, 2, 16, QChar(u'0'));
    }
    if (shown != hexEscapes)
        QCOMPARE(shown, questionMarks);
}

void tst_ConnectionString::psqlOdbcLeavesFailedTransactionToTheLink()
{
    // At rollback level 0 the driver neither undoes the whole transaction nor wraps each statement in a savepoint
    // of its own: after a failing statement the server refuses the next one until the link rolls back.
    test::TestDatabase db;
    Connection connection;
    connection.connect(db.connectionString(), "ali");
    connection.beginTransaction();
    SqlCommand command(connection, "QryGenel");
    command.execute("CREATE TABLE t_probe (n integer)");
    QVERIFY_THROWS_EXCEPTION(DbError, command.execute("SELECT 1 / 0"));
    try {
        command.execute("INSERT INTO t_probe VALUES (1)");
        QFAIL("the statement after the failing one ran");
    } catch (const DbError& e) {
        QCOMPARE(e.sqlState(), QString("25P02"));
    }
    connection.rollback();
    command.execute("SELECT 1");
}

QTEST_GUILESS_MAIN(tst_ConnectionString)
#include "tst_connectionstring.moc"
