#pragma once

// What differs between the servers the link talks to: how a procedure is called with only some of its
// parameters, how savepoints are written and how the server's own message is found in the driver's text.
// A dialect builds call texts only from names the server reported, quoted by the server's rules; values are
// always bound parameters.

#include <QString>
#include <QStringList>
#include <memory>

namespace kelvra::db {

class Dialect
{
public:
    virtual ~Dialect() = default;

    // Picks the dialect for the DBMS name the driver reports ("PostgreSQL", "Microsoft SQL Server").
    static std::unique_ptr<Dialect> forDbms(const QString& dbmsName);

    virtual QString name() const = 0;

    // The call of schema.procedure with the named parameters, one "?" marker each, in the given order. With
    // returnsValue the call yields the return value as the single column of its last row set.
    virtual QString callText(const QString& schema, const QString& procedure, const QStringList& parameterNames,
                             bool returnsValue) const = 0;
    // Whether the return value comes in the call's last row set (after the procedure's own row sets) rather
    // than in its first one.
    virtual bool returnValueAfterRows() const = 0;

    virtual QString setSavepoint(const QString& name) const = 0;
    virtual QString rollbackToSavepoint(const QString& name) const = 0;
    // Empty when the server has nothing to release.
    virtual QString releaseSavepoint(const QString& name) const = 0;

    // The server's own message out of one diagnostic text of the driver.
    virtual QString serverMessage(const QString& driverText) const;

    // "SP_X;1" -> "SP_X": the procedure-number suffix that the product's procedure names carry.
    static QString baseProcedureName(const QString& name);
    // Strips the leading "[vendor][driver]" tags that drivers and driver managers put before a message.
    static QString withoutVendorTags(const QString& text);
};

} // namespace kelvra::db
