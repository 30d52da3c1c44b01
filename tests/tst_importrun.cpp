#include "framework/ImportRun.h"
#include "support/LoopbackProxy.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

using namespace kelvra;

namespace {

// A window as the run sees it: texts it reads and everything it reports.
class RecordingHost final : public RunHost
{
public:
    QString conn, user = "TEST", file, decimal = ",", grouping = ".";
    FieldLayout layout;
    QStringList logLines, messages, confirmations, events;
    QString info = "önceki";
    bool answer = true;
    int saves = 0;
    int pumps = 0;
    QList<int> pumpedAtStep;
    int steps = 0;
    std::function<void()> onPump;

    QString connText() const override { return conn; }
    QString userCode() const override { return user; }
    QString fileName() const override { return file; }
    QString decimalSymbol() const override { return decimal; }
    QString groupingSymbol() const override { return grouping; }
    FieldLayout fieldLayout() const override { return layout; }
    std::function<void()> onSave;
    void saveSettings() override
    {
        ++saves;
        if (onSave)
            onSave();
    }
    void clearLog() override { logLines.clear(); }
    void log(const QString& text) override { logLines << text; }
    void setInfo(const QString& text) override { info = text; }
    void progressBarStart(int lines) override { events << QString("start %1").arg(lines); }
    void progressBarStep() override { ++steps; }
    void progressBarReset() override { events << "reset"; }
    void setLineCounter(const QString& text) override { events << "counter " + text; }
    void processMessages() override
    {
        ++pumps;
        pumpedAtStep << steps;
        if (onPump)
            onPump();
    }
    void message(const QString& text) override { messages << text; }
    bool confirm(const QString& text) override
    {
        confirmations << text;
        return answer;
    }
};

} // namespace

class tst_ImportRun : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void allOrNothing_data();
    void allOrNothing();
    void skipFailingLinesKeepsGoodLinesAndDropsBadOnesWhole();
    void unsetParametersTakeTheirDefaults();
    void checksRefuseBeforeAnythingIsWritten_data();
    void checksRefuseBeforeAnythingIsWritten();
    void checkedItemTheProcedureLacksFailsTheFirstLine();
    void numberNormalisationFollowsTheEditsAtEachLine();
    void messagesPumpedEvery100Lines();
    void lineCounterEvery50Lines();
    void failingCommitIsNotASuccess();
    void abortAfterBeginRollsBackWithItsOwnLog();
    void vanishedInputFileStopsAfterTheStartLine();
    void connectionLostMidRun_data();
    void connectionLostMidRun();

private:
    void writeInput(const QByteArray& bytes);
    QString rows() const { return db->query("SELECT string_agg(k || '=' || v, ',' ORDER BY k) FROM t"); }

    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::TempFolder> folder;
    RecordingHost host;
    ImportProfile profile;
    db::Connection conn;
    std::unique_ptr<db::ProcedureCommand> spDo;
};

void tst_ImportRun::initTestCase() { QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey)); }

void tst_ImportRun::init()
{
    db = std::make_unique<test::TestDatabase>();
    // A procedure that writes, then raises on a bad value: a failing line must leave nothing behind.
    db->query(R"(
        CREATE TABLE t (k varchar PRIMARY KEY, v varchar, n varchar);
        CREATE FUNCTION "SP_T"("@K" varchar DEFAULT NULL, "@V" varchar DEFAULT 'dflt', "@N" varchar DEFAULT NULL)
        RETURNS integer LANGUAGE plpgsql AS $$
        BEGIN
          INSERT INTO t VALUES ("@K", "@V", "@N");
          IF "@V" = 'BAD' THEN RAISE EXCEPTION 'Geçersiz değer : %', "@K"; END IF;
          RETURN 0;
        END $$;)");
    folder = std::make_unique<test::TempFolder>();
    host = RecordingHost();
    host.conn = db->connectionString();
    host.file = folder->file("in.txt");
    host.layout = {{"K", "@K", true}, {"V", "@V", true}, {"N", "@N", false}};
    profile = ImportProfile();
    profile.confirmation = "Başlansın mı?";
    profile.startText = "Test Başladı";
    profile.procedure = "SP_T;1";
    profile.mandatory = {{"@K"}, false, "K Zorunlu.!"};
    spDo = std::make_unique<db::ProcedureCommand>(conn, "spDo");
}

void tst_ImportRun::cleanup()
{
    spDo.reset();
    conn.close();
}

void tst_ImportRun::writeInput(const QByteArray& bytes) { folder->write("in.txt", bytes); }

void tst_ImportRun::allOrNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("info");
    QTest::newRow("all lines written") << QByteArray("a;1\r\nb;2\r\nc;3\r\n") << "a=1,b=2,c=3"
                                       << QStringList{"Test Başladı", "Aktarım Tamamlandı."} << "Aktarım Tamamlandı.";
    QTest::newRow("failing line rolls back the lines before it")
        << QByteArray("a;1\r\nb;2\r\nc;BAD\r\nd;4\r\ne;5") << ""
        << QStringList{"Test Başladı", "Hata : Geçersiz değer : c", "Satır : c;BAD"} << "Hata : Geçersiz değer : c";
    QTest::newRow("duplicate key fails the second") << QByteArray("a;1\na;2\n") << ""
                                                   << QStringList{"Test Başladı"} << "";
    QTest::newRow("empty file commits an empty transaction")
        << QByteArray() << "" << QStringList{"Test Başladı", "Aktarım Tamamlandı."} << "Aktarım Tamamlandı.";
    QTest::newRow("empty lines are skipped") << QByteArray("\r\na;1\r\n\r\n") << "a=1"
                                             << QStringList{"Test Başladı", "Aktarım Tamamlandı."}
                                             << "Aktarım Tamamlandı.";
    QTest::newRow("quoted field with separator") << QByteArray("\"a;b\";\"x\"\"y\"") << "a;b=x\"y"
                                                 << QStringList{"Test Başladı", "Aktarım Tamamlandı."}
                                                 << "Aktarım Tamamlandı.";
}

void tst_ImportRun::allOrNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, rows);
    QFETCH(QStringList, log);
    QFETCH(QString, info);
    writeInput(file);
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(this->rows(), rows);
    if (QTest::currentDataTag() == QByteArray("duplicate key fails the second")) {
        QCOMPARE(host.logLines.size(), 3);
        QVERIFY(host.logLines[1].startsWith("Hata : "));
        QCOMPARE(host.logLines[2], QString("Satır : a;2"));
        QCOMPARE(host.info, host.logLines[1]);
    } else {
        QCOMPARE(host.logLines, log);
        QCOMPARE(host.info, info);
    }
    QCOMPARE(host.events.last(), QString("reset"));
    QCOMPARE(host.saves, 1);
    QCOMPARE(conn.transactionLevel(), 0);
    QVERIFY(conn.isOpen()); // the link stays connected after the run
}

void tst_ImportRun::skipFailingLinesKeepsGoodLinesAndDropsBadOnesWhole()
{
    profile.mode = TransactionMode::SkipFailingLines;
    profile.beginBeforePrepare = true;
    writeInput("a;1\nb;BAD\nc;3\nd;BAD\n");
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(rows(), QString("a=1,c=3"));
    QCOMPARE(host.logLines, (QStringList{"Test Başladı", "Hata : Geçersiz değer : b", "Satır : b;BAD",
                                         "Hata : Geçersiz değer : d", "Satır : d;BAD", "Aktarım Tamamlandı."}));
    QCOMPARE(host.info, QString("Aktarım Tamamlandı."));
}

void tst_ImportRun::unsetParametersTakeTheirDefaults()
{
    host.layout = {{"K", "@K", true}, {"V", "@V", true}, {"N", "@N", true}};
    // "b" sets @V but not @N; "c" sets neither: nothing of the line before reaches the procedure.
    writeInput("a;x;5\nb;y\nc\nd;;\n");
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(db->query("SELECT string_agg(k || '=' || v || '/' || coalesce(n, 'NULL'), ',' ORDER BY k) FROM t"),
             QString("a=x/5,b=y/NULL,c=dflt/NULL,d=/"));
}

void tst_ImportRun::checksRefuseBeforeAnythingIsWritten_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("no file") << "file" << "Dosya Bulunamadı.!";
    QTest::newRow("a folder is no file") << "folder" << "Dosya Bulunamadı.!";
    QTest::newRow("empty user code") << "user" << "Kullanıcı Bilgisi Boş Geçilemez.!";
    QTest::newRow("blank symbols") << "symbols" << "Ondalık ve Basamak Simgeleri Boş Geçilemez.!";
    QTest::newRow("one symbol for both") << "samesymbols" << "Ondalık ve Basamak Simgeleri Aynı Olamaz.!";
    QTest::newRow("tool check after user code") << "toolcheck" << "Araç Kontrolü.!";
    QTest::newRow("mandatory item unchecked") << "mandatory" << "K Zorunlu.!";
    QTest::newRow("connection refused") << "connect" << "Veri Tabanına Bağlanılamadı.! Hata : ";
    QTest::newRow("check after connecting") << "afterconnect" << "Bağlandıktan Sonra.!";
    QTest::newRow("answered No") << "no" << "";
}

void tst_ImportRun::checksRefuseBeforeAnythingIsWritten()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    writeInput("a;1\n");
    profile.checkSymbols = true;
    if (change == "file")
        host.file = folder->file("yok.txt");
    if (change == "folder")
        host.file = folder->path();
    if (change == "user")
        host.user.clear();
    if (change == "symbols")
        host.grouping = " \t";
    if (change == "samesymbols") {
        profile.checkSymbols = false; // refused in every window that normalises numbers
        profile.numeric = [](const QString& p) { return p == "@V"; };
        host.decimal = host.grouping = ",";
    }
    if (change == "toolcheck")
        profile.checkAfterUserCode = []() { return QString("Araç Kontrolü.!"); };
    if (change == "mandatory")
        host.layout[0].checked = false;
    if (change == "connect")
        host.conn = "DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=x;UID=u";
    if (change == "afterconnect")
        profile.checkAfterConnect = []() { return QString("Bağlandıktan Sonra.!"); };
    if (change == "no")
        host.answer = false;
    host.logLines = {"eski log"};
    ImportRun(profile, host, conn, *spDo).start();
    if (message.isEmpty()) {
        QVERIFY(host.messages.isEmpty());
        QCOMPARE(host.confirmations, QStringList{"Başlansın mı?"});
    } else {
        QCOMPARE(host.messages.size(), 1);
        QVERIFY2(host.messages[0].startsWith(message), qPrintable(host.messages[0]));
        QVERIFY(host.confirmations.isEmpty());
    }
    if (change == "connect")
        QVERIFY(host.messages[0].size() > message.size()); // the driver's own text follows
    QCOMPARE(host.saves, 0);
    QCOMPARE(host.logLines, QStringList{"eski log"});
    QCOMPARE(host.info, QString("önceki"));
    QCOMPARE(rows(), QString());
    // The link stays connected once the checks have connected it.
    QCOMPARE(conn.isOpen(), change == "afterconnect" || change == "no");
}

void tst_ImportRun::checkedItemTheProcedureLacksFailsTheFirstLine()
{
    host.layout = {{"K", "@K", true}, {"?", "@YOK", true}};
    writeInput("a;1\nb;2\n");
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(host.logLines, (QStringList{"Test Başladı", "Hata : spDo: Parameter '@YOK' not found", "Satır : a;1"}));
    QCOMPARE(rows(), QString());
}

void tst_ImportRun::numberNormalisationFollowsTheEditsAtEachLine()
{
    host.layout = {{"K", "@K", true}, {"V", "@V", true}, {"N", "@N", true}};
    profile.numeric = [](const QString& p) { return p == "@N"; };
    QByteArray file;
    for (int i = 0; i < 150; ++i)
        file += QString("k%1;1.234,5;1.234,5\n").arg(i, 3, 10, QChar('0')).toLatin1();
    writeInput(file);
    // Before the line with index 100 the technician swaps the symbols.
    host.onPump = [this]() {
        if (host.steps == 101) {
            host.decimal = ".";
            host.grouping = ",";
        }
    };
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(db->query("SELECT v || '|' || n FROM t WHERE k = 'k099'"), QString("1.234,5|1234,5"));
    // Now "," is the grouping symbol (removed) and "." the decimal one (becomes the locale's ",").
    QCOMPARE(db->query("SELECT n FROM t WHERE k = 'k100'"), QString("1,2345"));
}

void tst_ImportRun::messagesPumpedEvery100Lines()
{
    QByteArray file;
    for (int i = 0; i < 250; ++i)
        file += QString("k%1;v\n").arg(i).toLatin1();
    writeInput(file);
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(host.pumpedAtStep, (QList<int>{1, 101, 201})); // before lines 1, 101 and 201
    QCOMPARE(host.events.first(), QString("start 250"));
    QCOMPARE(host.steps, 250);
}

void tst_ImportRun::lineCounterEvery50Lines()
{
    profile.progress = ProgressStyle::LineCounter;
    QByteArray file;
    for (int i = 0; i < 120; ++i)
        file += QString("k%1;v\n").arg(i).toLatin1();
    writeInput(file);
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(host.events, (QStringList{"counter 0 / 120", "counter 50 / 120", "counter 100 / 120", "counter "}));
    QCOMPARE(host.pumps, 3);
    QCOMPARE(host.steps, 0);
}

void tst_ImportRun::failingCommitIsNotASuccess()
{
    // A constraint checked at commit time makes the commit fail after every line was accepted.
    db->query("ALTER TABLE t ADD CONSTRAINT v_unique UNIQUE (v) DEFERRABLE INITIALLY DEFERRED");
    writeInput("a;same\nb;same\n");
    QVERIFY_THROWS_EXCEPTION(Error, ImportRun(profile, host, conn, *spDo).start());
    QCOMPARE(host.logLines.size(), 2);
    QVERIFY2(host.logLines[1].startsWith("Hata : "), qPrintable(host.logLines[1]));
    QVERIFY(!host.logLines.contains("Aktarım Tamamlandı."));
    QCOMPARE(host.info, host.logLines[1]);
    QCOMPARE(rows(), QString());
    QCOMPARE(conn.transactionLevel(), 0);
}

void tst_ImportRun::abortAfterBeginRollsBackWithItsOwnLog()
{
    profile.beginBeforePrepare = true;
    profile.afterBegin = [](ImportRun& run) {
        db::ProcedureCommand& sp = run.procedure();
        sp.prepare("SP_T;1");
        sp.setText("@K", "header");
        sp.execute();
        throw RunAbort{{"Hata Üst Blgi :başlık"}, "Hata : başlık"};
    };
    writeInput("a;1\n");
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(host.logLines, (QStringList{"Test Başladı", "Hata Üst Blgi :başlık"}));
    QCOMPARE(host.info, QString("Hata : başlık"));
    QCOMPARE(rows(), QString());
}

void tst_ImportRun::vanishedInputFileStopsAfterTheStartLine()
{
    writeInput("a;1\n");
    // The file vanishes between the checks and the read.
    host.onSave = [this]() { QFile::remove(host.file); };
    QVERIFY_THROWS_EXCEPTION(Error, ImportRun(profile, host, conn, *spDo).start());
    QCOMPARE(host.logLines, QStringList{"Test Başladı"});
    QCOMPARE(conn.transactionLevel(), 0);
}

void tst_ImportRun::connectionLostMidRun_data()
{
    QTest::addColumn<TransactionMode>("mode");
    QTest::newRow("all or nothing") << TransactionMode::AllOrNothing;
    QTest::newRow("skip failing lines") << TransactionMode::SkipFailingLines;
}

void tst_ImportRun::connectionLostMidRun()
{
    QFETCH(TransactionMode, mode);
    profile.mode = mode;
    test::LoopbackProxy proxy(quint16(test::TestDatabase::serverPort().toUInt()));
    host.conn = QString(db->connectionString())
                    .replace(QRegularExpression("Port=\\d+"), QStringLiteral("Port=%1").arg(proxy.port()));
    QByteArray file;
    for (int i = 0; i < 300; ++i)
        file += QString("k%1;%1\n").arg(i).toLatin1();
    writeInput(file);
    // The server goes away in the middle of the run.
    host.onPump = [&]() {
        if (host.steps == 201)
            proxy.cut();
    };
    ImportRun(profile, host, conn, *spDo).start();
    QVERIFY2(host.logLines.size() >= 3, qPrintable(host.logLines.join('\n')));
    QCOMPARE(host.logLines.first(), QString("Test Başladı"));
    QVERIFY(host.logLines[1].startsWith("Hata : "));
    QCOMPARE(host.logLines[2], QString("Satır : k200;200"));
    QVERIFY(!host.logLines.contains(profile.endText));
    QVERIFY2(host.info.startsWith("Hata : "), qPrintable(host.info));
    QCOMPARE(rows(), QString()); // nothing was committed
    QCOMPARE(host.events.last(), QString("reset"));

    // The next start reconnects cleanly.
    host.onPump = {};
    ImportRun(profile, host, conn, *spDo).start();
    QCOMPARE(host.logLines.last(), profile.endText);
    QCOMPARE(db->query("SELECT count(*) FROM t"), QString("300"));
}

QTEST_GUILESS_MAIN(tst_ImportRun)
#include "tst_importrun.moc"
