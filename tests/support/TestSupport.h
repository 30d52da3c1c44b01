#pragma once

#include "framework/MessageBoxes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QPlainTextEdit;

namespace kelvra::test {

// A fresh folder that stands in for the executable's folder (settings and layout files) for one test.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    QString path() const; // without a trailing separator
    QString file(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A database of its own on the test run's PostgreSQL server, copied from the reference database.
class TestDatabase
{
public:
    TestDatabase();
    // Drops the database, so that a test run leaves a server of few databases to stop.
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;
    const QString& name() const { return m_name; }
    // The ODBC connection string a window's edtConnStr would hold.
    const QString& connectionString() const { return m_connStr; }
    // Runs SQL through psql and returns its unaligned, tuples-only output (fields separated by "|").
    QString query(const QString& sql) const;
    // Runs SQL that is expected to fail and returns the server's error message (without "ERROR:" and without
    // context lines); an empty text when the SQL succeeded.
    QString failure(const QString& sql) const;
    static QString serverPort();

private:
    QString m_name;
    QString m_connStr;
};

// Records every message box the code under test would show and answers them.
class ScriptedBoxes final : public MessageBoxes
{
public:
    struct Shown
    {
        QString kind; // "message", "confirm", "error"
        QString text;
    };
    ScriptedBoxes(); // installs itself
    ~ScriptedBoxes() override; // restores the real boxes

    // Answers for the next confirmations, in order; once used up, confirmations answer defaultAnswer.
    QList<bool> answers;
    bool defaultAnswer = true;
    QList<Shown> shown;

    void message(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;

    QStringList texts() const;
    QString last() const { return shown.isEmpty() ? QString() : shown.last().text; }

private:
    MessageBoxes* m_previous;
};

// The texts of a window's log, each without its leading date, time and " -> ".
QStringList logTexts(const QPlainTextEdit* log);

} // namespace kelvra::test
