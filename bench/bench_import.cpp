// Customer import through the run engine against a bare loop over the ODBC API that calls the same procedure
// with the same values through one prepared statement. Prints lines per second, peak memory and the ratio.
//
//   bench_import [lines ...]      default: 1000 10000 100000

#include "db/ConnectionString.h"
#include "framework/ImportRun.h"
#include "framework/TextInput.h"
#include "framework/untGeneral.h"
#include "tools/untCariImport.h"

#include <sql.h>
#include <sqlext.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace kelvra;

namespace {

QString script(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral(KELVRA_PG_SCRIPT), arguments);
    p.waitForFinished(-1);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "pg-server.sh %s: %s\n", qPrintable(arguments.join(' ')), p.readAllStandardError().constData());
        std::exit(1);
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Peak resident memory since the last reset, in KiB.
long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

long currentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Customer lines in the default layout: code, name, tax number, discount.
QByteArray customerFile(int lines)
{
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("C%1;MÜŞTERİ ÇAĞDAŞ %1 TİC. LTD. ŞTİ.;%2;%3\r\n")
                    .arg(i, 6, 10, QLatin1Char('0'))
                    .arg(1000000000 + i)
                    .arg(i % 20);
    return encodeLegacy(text);
}

class QuietHost final : public RunHost
{
public:
    QString conn, file;
    FieldLayout layout;
    QStringList errors;
    QString connText() const override { return conn; }
    QString userCode() const override { return QStringLiteral("BENCH"); }
    QString fileName() const override { return file; }
    QString decimalSymbol() const override { return QStringLiteral(","); }
    QString groupingSymbol() const override { return QStringLiteral("."); }
    FieldLayout fieldLayout() const override { return layout; }
    void saveSettings() override {}
    void clearLog() override {}
    void log(const QString& text) override
    {
        if (text.startsWith(QLatin1String("Hata")))
            errors << text;
    }
    void setInfo(const QString&) override {}
    void progressBarStart(int) override {}
    void progressBarStep() override {}
    void progressBarReset() override {}
    void setLineCounter(const QString&) override {}
    void processMessages() override { QCoreApplication::processEvents(); }
    void message(const QString& text) override { errors << text; }
    bool confirm(const QString&) override { return true; }
};

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what)
{
    if (SQL_SUCCEEDED(rc))
        return;
    SQLCHAR state[6] = {}, text[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRecA(type, handle, 1, state, &native, text, sizeof(text), &length);
    std::fprintf(stderr, "%s: %s\n", what, text);
    std::exit(1);
}

// The bare loop: one prepared statement, four bound texts, one transaction.
void bareLoop(const QString& connText, const QByteArray& file)
{
    const QStringList lines = splitLines(decodeText(file).text);
    const QString driver =
        db::driverConnectionString(connText + QStringLiteral(";Application Name=BENCH"), db::installedOdbcDrivers());
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT stmt;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    const QByteArray driverUtf8 = driver.toUtf8();
    check(SQLDriverConnectA(dbc, nullptr, (SQLCHAR*)driverUtf8.constData(), SQL_NTS, nullptr, 0, nullptr,
                            SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, dbc, "connect");
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    const QString call = QStringLiteral("SELECT * FROM \"SP_CARI_MAIN_INSERT_FRANCHISE\"(\"@CARIKODU\" => ?, "
                                        "\"@CARIADI\" => ?, \"@VERGINO\" => ?, \"@INDIRIM\" => ?)");
    check(SQLPrepareW(stmt, (SQLWCHAR*)call.utf16(), SQL_NTS), SQL_HANDLE_STMT, stmt, "prepare");
    QString values[4];
    SQLLEN lengths[4];
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        const QStringList fields = splitFields(line);
        for (int p = 0; p < 4; ++p) {
            values[p] = p < fields.size() ? fields[p] : QString(QLatin1String(""));
            lengths[p] = values[p].size() * 2;
            SQLBindParameter(stmt, SQLUSMALLINT(p + 1), SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                             std::max<qsizetype>(values[p].size(), 1), 0, (SQLPOINTER)values[p].utf16(), lengths[p],
                             &lengths[p]);
        }
        check(SQLExecute(stmt), SQL_HANDLE_STMT, stmt, "execute");
        SQLFetch(stmt);
        SQLFreeStmt(stmt, SQL_CLOSE);
    }
    check(SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT), SQL_HANDLE_DBC, dbc, "commit");
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QByteArray(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {1000, 10000, 100000};

    QTemporaryDir folder;
    // The server runs as the postgres user when the benchmark runs as root: it must be able to enter the folder.
    QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ExeOther | QFile::ReadOther);
    setExecutableFolder(folder.path());
    const QString server = folder.filePath(QStringLiteral("pg"));
    script({QStringLiteral("start"), server});
    script({QStringLiteral("createdb"), server, QStringLiteral("bench")});
    const QString conn = script({QStringLiteral("connstr"), server, QStringLiteral("bench")});
    const QString psql = QStringLiteral("/usr/lib/postgresql/15/bin/psql");
    const QString port = QString(conn).section(QStringLiteral("Port="), 1).section(QLatin1Char(';'), 0, 0);
    // Emptied without ANALYZE: statistics of an empty table would have the procedures' cached plans scan it
    // sequentially while it grows.
    auto truncate = [&]() {
        QProcess::execute(psql, {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-h"),
                                 QStringLiteral("127.0.0.1"), QStringLiteral("-p"), port, QStringLiteral("-U"),
                                 QStringLiteral("kelvra"), QStringLiteral("-d"), QStringLiteral("bench"),
                                 QStringLiteral("-c"), QStringLiteral("SET client_min_messages = warning; TRUNCATE tbl_cari CASCADE")});
    };

    ImportProfile profile = cariImportProfile();
    QuietHost host;
    host.conn = conn;
    host.file = folder.filePath(QStringLiteral("cari.txt"));
    host.layout = {{QStringLiteral("CARİ KODU"), QStringLiteral("@CARIKODU"), true},
                   {QStringLiteral("CARİ ADI"), QStringLiteral("@CARIADI"), true},
                   {QStringLiteral("VERGİ NO"), QStringLiteral("@VERGINO"), true},
                   {QStringLiteral("INDIRIM"), QStringLiteral("@INDIRIM"), true}};

    // One small run first, so that loading the driver and first-use set-up count for no size.
    writeWholeFile(host.file, customerFile(100));
    {
        db::Connection ConnDB;
        db::ProcedureCommand spDo(ConnDB, QStringLiteral("spDo"));
        ImportRun(profile, host, ConnDB, spDo).start();
        bareLoop(conn, customerFile(100));
    }

    std::printf("%9s %10s %12s %12s %7s %12s %12s %7s\n", "lines", "file KiB", "engine l/s", "bare l/s", "ratio",
                "engine KiB", "bare KiB", "x file");
    for (int lines : sizes) {
        const QByteArray file = customerFile(lines);
        writeWholeFile(host.file, file);

        truncate();
        const long before = currentKiB();
        resetPeak();
        QElapsedTimer timer;
        timer.start();
        {
            db::Connection ConnDB;
            db::ProcedureCommand spDo(ConnDB, QStringLiteral("spDo"));
            if (qEnvironmentVariableIsSet("BENCH_TIMEOUT"))
                spDo.setCommandTimeout(qEnvironmentVariableIntValue("BENCH_TIMEOUT"));
            ImportRun(profile, host, ConnDB, spDo).start();
        }
        const double engineSeconds = timer.nsecsElapsed() / 1e9;
        const long enginePeak = peakKiB() - before;
        if (!host.errors.isEmpty()) {
            std::fprintf(stderr, "run failed: %s\n", qPrintable(host.errors.join(QLatin1Char('\n'))));
            return 1;
        }

        truncate();
        const long bareBefore = currentKiB();
        resetPeak();
        timer.restart();
        bareLoop(conn, file);
        const double bareSeconds = timer.nsecsElapsed() / 1e9;
        const long barePeak = peakKiB() - bareBefore;

        const double engineRate = lines / engineSeconds, bareRate = lines / bareSeconds;
        std::printf("%9d %10lld %12.0f %12.0f %6.1f%% %12ld %12ld %7.2f\n", lines, (long long)file.size() / 1024,
                    engineRate, bareRate, 100.0 * engineRate / bareRate, enginePeak, barePeak,
                    double(enginePeak) * 1024 / double(file.size()));
        std::fflush(stdout);
    }
    script({QStringLiteral("stop"), server});
    return 0;
}
