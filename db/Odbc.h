#pragma once

// The thin RAII layer over the ODBC API that the link is built on: one environment for the process, a
// connection handle per link, statement handles per command. Every failing call becomes a DbError that carries
// the driver's first diagnostic, cleaned by the dialect to the server's own message.

#include "db/Database.h"

#include <sql.h>
#include <sqlext.h>

#include <QString>

namespace kelvra::db {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the link hands QString's UTF-16 to the wide ODBC calls");

inline const SQLWCHAR* wide(const QString& text) { return reinterpret_cast<const SQLWCHAR*>(text.utf16()); }
inline SQLWCHAR* wideMutable(QString& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }
inline QString fromWide(const SQLWCHAR* text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

// The first diagnostic record of a handle as an error; fallback when the driver gave none.
DbError diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const Dialect* dialect, const QString& fallback);

class OdbcConnection
{
public:
    OdbcConnection();
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    SQLHDBC handle() const { return m_dbc; }
    const Dialect* dialect = nullptr;
    void check(SQLRETURN rc, const QString& what) const;

private:
    SQLHDBC m_dbc = SQL_NULL_HDBC;
};

class Statement
{
public:
    explicit Statement(OdbcConnection& connection);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT handle() const { return m_stmt; }
    // Throws the statement's diagnostic unless rc is a success; SQL_NO_DATA counts as success.
    void check(SQLRETURN rc, const QString& what) const;
    void closeCursor() noexcept;
    void setTimeout(int seconds);

    // The current row set, fetched whole: column names and the rows' texts (a null field is a null QString).
    void fetchAll(QStringList& columns, QList<QStringList>& rows);
    // Moves to the next row set that has columns; false when there is none.
    bool nextResultWithColumns();
    // Skips to the first row set that has columns; false when the call returned none.
    bool firstResultWithColumns();

private:
    const OdbcConnection& m_connection;
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
    int m_timeout = -1;
};

} // namespace kelvra::db
