#include "db/Dialect.h"

#include "db/Database.h"

#include <QRegularExpression>

namespace kelvra::db {

namespace {

// Quotes an identifier for PostgreSQL: double quotes, an embedded double quote doubled.
QString pgIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Quotes an identifier for SQL Server: brackets, an embedded closing bracket doubled.
QString tsqlIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + quoted + QLatin1Char(']');
}

class PostgresDialect final : public Dialect
{
public:
    QString name() const override { return QStringLiteral("PostgreSQL"); }

    // A procedure is a function; "SELECT * FROM f(...)" serves a function that returns a value and one that
    // returns rows alike. Named notation lets the declared defaults of the parameters left out apply.
    QString callText(const QString& schema, const QString& procedure, const QStringList& parameterNames,
                     bool) const override
    {
        QStringList arguments;
        arguments.reserve(parameterNames.size());
        for (const QString& parameter : parameterNames)
            arguments << pgIdentifier(parameter) + QLatin1String(" => ?");
        QString call = QStringLiteral("SELECT * FROM ");
        if (!schema.isEmpty())
            call += pgIdentifier(schema) + QLatin1Char('.');
        return call + pgIdentifier(procedure) + QLatin1Char('(') + arguments.join(QLatin1String(", ")) +
               QLatin1Char(')');
    }
    bool returnValueAfterRows() const override { return false; }

    QString setSavepoint(const QString& name) const override
    {
        return QStringLiteral("SAVEPOINT ") + pgIdentifier(name);
    }
    QString rollbackToSavepoint(const QString& name) const override
    {
        return QStringLiteral("ROLLBACK TO SAVEPOINT ") + pgIdentifier(name);
    }
    QString releaseSavepoint(const QString& name) const override
    {
        return QStringLiteral("RELEASE SAVEPOINT ") + pgIdentifier(name);
    }

    // psqlODBC wraps the server's text as "ERROR: <message>;\nError while executing the query".
    QString serverMessage(const QString& driverText) const override
    {
        QString text = Dialect::serverMessage(driverText);
        static const QRegularExpression trailer(QStringLiteral(";?\\s*\\n?Error while executing the query$"));
        text.remove(trailer);
        static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s*"));
        text.remove(severity);
        return text.trimmed();
    }
};

bool isParameterName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^@[\\w@#$]+$"), QRegularExpression::UseUnicodePropertiesOption);
    return pattern.match(name).hasMatch();
}

class SqlServerDialect final : public Dialect
{
public:
    QString name() const override { return QStringLiteral("Microsoft SQL Server"); }

    // FreeTDS ignores named parameter binding and refuses default markers, so the call is T-SQL that names
    // only the supplied parameters; the return value comes back as a last one-column row set.
    QString callText(const QString& schema, const QString& procedure, const QStringList& parameterNames,
                     bool returnsValue) const override
    {
        QStringList arguments;
        arguments.reserve(parameterNames.size());
        for (const QString& parameter : parameterNames) {
            // T-SQL has no quoting for parameter names; a name the server reported is always a plain one.
            if (!isParameterName(parameter))
                throw DbError(QStringLiteral("Geçersiz parametre adı: ") + parameter);
            arguments << parameter + QLatin1String(" = ?");
        }
        QString target;
        if (!schema.isEmpty())
            target = tsqlIdentifier(schema) + QLatin1Char('.');
        target += tsqlIdentifier(baseProcedureName(procedure)) + QLatin1String(";1");
        QString call = QStringLiteral("SET NOCOUNT ON; ");
        if (returnsValue)
            call += QStringLiteral("DECLARE @kelvra_return int; EXEC @kelvra_return = ");
        else
            call += QStringLiteral("EXEC ");
        call += target;
        if (!arguments.isEmpty())
            call += QLatin1Char(' ') + arguments.join(QLatin1String(", "));
        if (returnsValue)
            call += QStringLiteral("; SELECT @kelvra_return");
        return call;
    }
    bool returnValueAfterRows() const override { return true; }

    QString setSavepoint(const QString& name) const override
    {
        return QStringLiteral("SAVE TRANSACTION ") + tsqlIdentifier(name);
    }
    QString rollbackToSavepoint(const QString& name) const override
    {
        return QStringLiteral("ROLLBACK TRANSACTION ") + tsqlIdentifier(name);
    }
    QString releaseSavepoint(const QString&) const override { return {}; }
};

} // namespace

std::unique_ptr<Dialect> Dialect::forDbms(const QString& dbmsName)
{
    if (dbmsName.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        return std::make_unique<PostgresDialect>();
    return std::make_unique<SqlServerDialect>();
}

QString Dialect::serverMessage(const QString& driverText) const { return withoutVendorTags(driverText).trimmed(); }

QString Dialect::baseProcedureName(const QString& name)
{
    static const QRegularExpression suffix(QStringLiteral(";\\d+$"));
    QString base = name;
    base.remove(suffix);
    return base;
}

QString Dialect::withoutVendorTags(const QString& text)
{
    static const QRegularExpression tags(QStringLiteral("^(\\[[^\\]]*\\])+\\s*"));
    QString message = text;
    message.remove(tags);
    return message;
}

} // namespace kelvra::db
