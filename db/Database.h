#pragma once

// The database link of a tool window: the connection ConnDB and its commands (spDo, spDel, QryGenel).
// Everything goes through ODBC; a small dialect object, picked from the DBMS name the driver reports after
// connecting, knows how the server in use describes and calls procedures.

#include "framework/Error.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace kelvra::db {

// A database failure: the driver's or server's own message text (as the log should show it), with SQLSTATE and
// native code when the driver gave them.
class DbError : public Error
{
public:
    explicit DbError(QString message, QString sqlState = {}, int nativeCode = 0)
        : Error(std::move(message)), m_sqlState(std::move(sqlState)), m_nativeCode(nativeCode)
    {
    }
    const QString& sqlState() const noexcept { return m_sqlState; }
    int nativeCode() const noexcept { return m_nativeCode; }

private:
    QString m_sqlState;
    int m_nativeCode;
};

class Dialect;
class OdbcConnection;
class Statement;

// The connection (ConnDB). Created closed; destroyed closed (an open transaction rolled back).
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Closes the link, then opens it with connText followed directly by ";Application Name=" and userCode.
    // Both texts are taken as typed. No login prompt, ever. Throws DbError.
    void connect(const QString& connText, const QString& userCode);
    // Closes every command's row set, rolls back an open transaction, closes the connection. Never throws.
    void close() noexcept;
    bool isOpen() const;

    // Read-committed transactions; level 0 or 1.
    void beginTransaction();
    void commit();
    void rollback();
    int transactionLevel() const;

    // Savepoints inside the open transaction, for runs whose lines must each be atomic.
    void setSavepoint(const QString& name);
    void rollbackToSavepoint(const QString& name);
    void releaseSavepoint(const QString& name);

    // Seconds to wait for the connection to open (default 15).
    void setConnectTimeout(int seconds);

    // Valid while open.
    const Dialect& dialect() const;
    // The DBMS name the driver reported ("PostgreSQL", "Microsoft SQL Server").
    QString dbmsName() const;

    OdbcConnection& odbc(); // for the commands; throws when closed

private:
    friend class Command;
    void execDirect(const QString& sql);
    std::unique_ptr<OdbcConnection> m_odbc;
    std::unique_ptr<Dialect> m_dialect;
    int m_connectTimeout = 15;
    int m_transactionLevel = 0;
    QString m_dbmsName;
    QList<class Command*> m_commands;
};

// A parameter as the server reported it.
struct Parameter
{
    enum class Direction { Input, InputOutput, Output, ReturnValue };
    QString name; // with its "@"; the return value is "@RETURN_VALUE"
    Direction direction = Direction::Input;
    int sqlType = 0; // SQL_* data type as reported
    int columnSize = 0;
    int decimalDigits = 0;
    QVariant value; // invalid until assigned: QString, qint32, quint8 or bool
};

class Command
{
public:
    Command(Connection& connection, QString componentName);
    virtual ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    const QString& componentName() const { return m_componentName; }
    // Command time-out in seconds (default 30); 0 means none. Large values such as 600000 work.
    void setCommandTimeout(int seconds);
    int commandTimeout() const { return m_commandTimeout; }
    // Discards an open row set. Keeps the parameters and their values.
    virtual void close() noexcept;

protected:
    friend class Connection;
    Connection& connection() const;
    // The connection is about to close: statement handles on it go, values and row sets fetched stay.
    virtual void releaseHandles() noexcept {}

    Connection* m_connection; // null once the connection is gone
    QString m_componentName;
    int m_commandTimeout = 30;
};

// A stored-procedure command (spDo, spDel).
class ProcedureCommand : public Command
{
public:
    ProcedureCommand(Connection& connection, QString componentName);
    ~ProcedureCommand() override;

    // Closes the command, sets the procedure name (with its ";1" suffix) and fetches its parameter list from the
    // server, replacing the previous list and its values. Never fails for a procedure the server cannot
    // describe: the list is left empty.
    void prepare(const QString& procedureName);
    const QString& procedureName() const { return m_procedureName; }
    const QList<Parameter>& parameters() const { return m_parameters; }

    // Assign a value by name, compared without regard to the case of A to Z. An unknown name fails with
    // "<component>: Parameter '<name>' not found".
    void setText(const QString& name, const QString& value);
    void setInt32(const QString& name, qint32 value);
    void setUInt8(const QString& name, quint8 value);
    void setBool(const QString& name, bool value);
    // Forgets the values assigned since the last execution, so that none of them is sent with the next one.
    void discardAssigned() noexcept;

    // Runs the procedure once. Only the parameters assigned since the last execute, open or prepare are sent,
    // so that the procedure's declared defaults apply to the others; values stay readable afterwards.
    // A row set the procedure returns is discarded. Throws DbError.
    void execute();
    // The same lookup and failure text as setText; "@RETURN_VALUE" after execute.
    QVariant read(const QString& name) const;
    qint32 readInt32(const QString& name) const;

    // Runs the procedure and fetches its first row set whole; the current row is the first.
    void open();
    int rowCount() const;
    bool eof() const;
    void next();
    // A column by name (letter case ignored); an unknown one fails with "<component>: Field '<name>' not found".
    qint32 fieldInt32(const QString& column) const;
    QString fieldText(const QString& column) const;
    void close() noexcept override;

private:
    Parameter& find(const QString& name);
    const Parameter& find(const QString& name) const;
    int findIndex(const QString& name) const;
    void assign(const QString& name, QVariant value);
    void fetchParameters();
    // Runs the call with the assigned values; leaves the statement positioned on its first row set.
    Statement& run();
    void releaseHandles() noexcept override;

    QString m_procedureName;
    QString m_schema; // as the catalog reported it
    QString m_catalogName; // the procedure's name as the catalog reported it, without its suffix
    QList<Parameter> m_parameters;
    QList<int> m_assigned; // indexes into m_parameters assigned for the next execution, in assignment order
    struct Rows;
    std::unique_ptr<Rows> m_rows;
    struct Prepared;
    QList<Prepared*> m_prepared; // one prepared statement per set of assigned names, most recent first
};

// A plain SQL command (QryGenel).
class SqlCommand : public Command
{
public:
    SqlCommand(Connection& connection, QString componentName);
    ~SqlCommand() override;
    // Executes the statement without a row set. Throws DbError.
    void execute(const QString& sql);
    const QString& sqlText() const { return m_sql; }

private:
    QString m_sql;
};

} // namespace kelvra::db
