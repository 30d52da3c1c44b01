#include "support/TestSupport.h"

#include "framework/untGeneral.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace kelvra::test {

TempFolder::TempFolder() : m_previous(executableFolder())
{
    if (!m_dir.isValid())
        qFatal("no temporary folder");
    setExecutableFolder(m_dir.path());
}

TempFolder::~TempFolder() { setExecutableFolder(m_previous); }

QString TempFolder::path() const { return m_dir.path(); }
QString TempFolder::file(const QString& name) const { return m_dir.filePath(name); }

void TempFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file(name)));
}

QByteArray TempFolder::read(const QString& name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

namespace {

QString runScript(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KELVRA_PG_SCRIPT), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("pg-server.sh %s failed: %s", qPrintable(args.join(' ')), p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QAtomicInt counter;

} // namespace

TestDatabase::TestDatabase()
{
    QString app = QCoreApplication::applicationName().toLower();
    app.remove(QRegularExpression(QStringLiteral("[^a-z0-9_]")));
    m_name = QStringLiteral("t_%1_%2_%3").arg(app).arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddOrdered(1));
    runScript({QStringLiteral("createdb"), QStringLiteral(KELVRA_PG_DIR), m_name});
    m_connStr = runScript({QStringLiteral("connstr"), QStringLiteral(KELVRA_PG_DIR), m_name});
}

TestDatabase::~TestDatabase()
{
    QProcess p;
    p.start(QStringLiteral("psql"),
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-h"), QStringLiteral("127.0.0.1"),
             QStringLiteral("-p"), serverPort(), QStringLiteral("-U"), QStringLiteral("kelvra"), QStringLiteral("-d"),
             QStringLiteral("postgres"), QStringLiteral("-c"),
             QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name)});
    p.waitForFinished(60000);
}

QString TestDatabase::serverPort()
{
    QFile f(QStringLiteral(KELVRA_PG_DIR "/port"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).trimmed();
}

namespace {

// Runs psql on the test database; false when psql did not finish with exit code 0. Terse errors carry only
// the message, without context lines.
bool runPsql(const QString& database, const QString& sql, bool terse, QByteArray& out, QByteArray& err)
{
    QStringList args{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-At"), QStringLiteral("-v"),
                     QStringLiteral("ON_ERROR_STOP=1")};
    if (terse)
        args << QStringLiteral("-v") << QStringLiteral("VERBOSITY=terse");
    args << QStringLiteral("-h") << QStringLiteral("127.0.0.1") << QStringLiteral("-p") << TestDatabase::serverPort()
         << QStringLiteral("-U") << QStringLiteral("kelvra") << QStringLiteral("-d") << database
         << QStringLiteral("-c") << sql;
    QProcess p;
    p.start(QStringLiteral("psql"), args);
    const bool finished = p.waitForFinished(60000);
    out = p.readAllStandardOutput();
    err = p.readAllStandardError();
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

QString TestDatabase::query(const QString& sql) const
{
    QByteArray out, err;
    if (!runPsql(m_name, sql, false, out, err))
        qFatal("psql failed: %s", err.constData());
    return QString::fromUtf8(out).trimmed();
}

QString TestDatabase::failure(const QString& sql) const
{
    QByteArray out, err;
    if (runPsql(m_name, sql, true, out, err))
        return {};
    const QString text = QString::fromUtf8(err);
    static const QRegularExpression error(QStringLiteral("ERROR:  ([^\n]*)"));
    const QRegularExpressionMatch m = error.match(text);
    if (!m.hasMatch())
        qFatal("psql failed without a server error: %s", err.constData());
    return m.captured(1);
}

ScriptedBoxes::ScriptedBoxes() : m_previous(&messageBoxes()) { setMessageBoxes(this); }
ScriptedBoxes::~ScriptedBoxes() { setMessageBoxes(m_previous); }

void ScriptedBoxes::message(QWidget*, const QString& text) { shown.append({QStringLiteral("message"), text}); }

bool ScriptedBoxes::confirm(QWidget*, const QString& text)
{
    shown.append({QStringLiteral("confirm"), text});
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

void ScriptedBoxes::error(QWidget*, const QString& text) { shown.append({QStringLiteral("error"), text}); }

QStringList ScriptedBoxes::texts() const
{
    QStringList out;
    for (const Shown& s : shown)
        out << s.text;
    return out;
}

QStringList logTexts(const QPlainTextEdit* log)
{
    QStringList texts;
    for (const QString& line : log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype arrow = line.indexOf(QLatin1String(" -> "));
        texts << (arrow < 0 ? line : line.mid(arrow + 4));
    }
    return texts;
}

} // namespace kelvra::test
