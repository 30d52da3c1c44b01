#pragma once

// Connection strings: reading and writing the "key=value;key=value" syntax shared by OLE DB and ODBC, and turning
// the composed string of a tool window (an OLE DB string as the technicians keep it in the settings file, or an
// ODBC string) into the string the installed ODBC driver understands.

#include <QList>
#include <QString>
#include <QStringList>

namespace kelvra::db {

struct ConnectionKey
{
    QString key; // as written, without surrounding blanks; compared without regard to case
    QString value;

    bool operator==(const ConnectionKey&) const = default;
};

// The keys of a connection string in their order. Empty segments (";;") are skipped, blanks around keys and around
// plain values dropped. A value may be quoted OLE DB style ("..." or '...', the quote doubled inside) or braced ODBC
// style ({...}, "}}" inside for "}"). ok becomes false for an unclosed quote or brace, text after a closing quote
// or brace, and a segment that is not "key=value"; what could be read is returned all the same.
QList<ConnectionKey> parseConnectionString(const QString& text, bool* ok = nullptr);

// True when the keys are an ODBC string (they name a Driver, DSN or FileDSN), false for an OLE DB string.
bool isOdbcConnectionString(const QList<ConnectionKey>& keys);

// Writes keys back in their order, joined by ";". Values that would not read back as they are get quoted in the
// syntax of the string's own kind: {braces} for an ODBC string, double (or single) quotes for an OLE DB string.
// parseConnectionString(formatConnectionString(keys)) gives keys again.
QString formatConnectionString(const QList<ConnectionKey>& keys);

// The names of the ODBC drivers the driver manager has installed; empty when it cannot be asked.
QStringList installedOdbcDrivers();

// The string handed to SQLDriverConnect for a composed connection string (the user's connection text,
// ";Application Name=" and the user code).
// - An ODBC string keeps its keys as given. Its "Application Name" goes to the driver's own keyword: APP for the
//   SQL Server drivers and DSNs; pqopt's application_name for psqlODBC, which also gets Protocol=7.4-0 (the driver
//   never rolls back on its own; the link rolls back itself).
// - An OLE DB string is translated for the best installed SQL Server driver: "ODBC Driver 18 for SQL Server", then
//   17, then FreeTDS. Throws DbError when none of them is installed or the string cannot be read.
QString driverConnectionString(const QString& composed, const QStringList& installedDrivers);

} // namespace kelvra::db
