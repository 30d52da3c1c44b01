#include "db/Odbc.h"

#include "db/ConnectionString.h"
#include "db/Dialect.h"

#include <algorithm>
#include <vector>

namespace kelvra::db {

namespace {

// One ODBC 3 environment for the whole process.
SQLHENV environment()
{
    struct Environment
    {
        SQLHENV handle = SQL_NULL_HENV;
        Environment()
        {
            if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle))) {
                handle = SQL_NULL_HENV;
                return;
            }
            SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        }
        ~Environment()
        {
            if (handle != SQL_NULL_HENV)
                SQLFreeHandle(SQL_HANDLE_ENV, handle);
        }
    };
    static Environment env;
    if (env.handle == SQL_NULL_HENV)
        throw DbError(QStringLiteral("ODBC sürücü yöneticisi başlatılamadı."));
    return env.handle;
}

QString notFound(const QString& component, const QString& what, const QString& name)
{
    return QStringLiteral("%1: %2").arg(component, QStringLiteral("%1 '%2' not found").arg(what, name));
}

bool sameName(const QString& a, const QString& b)
{
    // Names compare without regard to the case of A to Z only, as the server's catalog names are ASCII.
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x += u'a' - u'A';
        if (y >= u'A' && y <= u'Z')
            y += u'a' - u'A';
        if (x != y)
            return false;
    }
    return true;
}

const QString returnValueName = QStringLiteral("@RETURN_VALUE");

} // namespace

DbError diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const Dialect* dialect, const QString& fallback)
{
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    QString text(512, Qt::Uninitialized);
    SQLRETURN rc = SQLGetDiagRecW(handleType, handle, 1, state, &native, wideMutable(text),
                                  SQLSMALLINT(text.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= text.size()) {
        text.resize(length + 1);
        rc = SQLGetDiagRecW(handleType, handle, 1, state, &native, wideMutable(text), SQLSMALLINT(text.size()),
                            &length);
    }
    if (!SQL_SUCCEEDED(rc))
        return DbError(fallback);
    text.truncate(std::min<qsizetype>(length, text.size()));
    QString message = dialect ? dialect->serverMessage(text) : Dialect::withoutVendorTags(text).trimmed();
    if (message.isEmpty())
        message = fallback;
    return DbError(message, fromWide(state, 5), int(native));
}

// ---- handles ----

OdbcConnection::OdbcConnection()
{
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment(), &m_dbc))) {
        m_dbc = SQL_NULL_HDBC;
        throw DbError(QStringLiteral("ODBC bağlantısı oluşturulamadı."));
    }
}

OdbcConnection::~OdbcConnection()
{
    if (m_dbc != SQL_NULL_HDBC)
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
}

void OdbcConnection::check(SQLRETURN rc, const QString& what) const
{
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw diagnostics(SQL_HANDLE_DBC, m_dbc, dialect, what);
}

Statement::Statement(OdbcConnection& connection) : m_connection(connection)
{
    connection.check(SQLAllocHandle(SQL_HANDLE_STMT, connection.handle(), &m_stmt), QStringLiteral("SQLAllocHandle"));
}

Statement::~Statement()
{
    if (m_stmt != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
}

void Statement::check(SQLRETURN rc, const QString& what) const
{
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw diagnostics(SQL_HANDLE_STMT, m_stmt, m_connection.dialect, what);
}

void Statement::closeCursor() noexcept { SQLFreeStmt(m_stmt, SQL_CLOSE); }

void Statement::setTimeout(int seconds)
{
    if (seconds == m_timeout)
        return;
    check(SQLSetStmtAttr(m_stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(seconds)), 0),
          QStringLiteral("SQL_ATTR_QUERY_TIMEOUT"));
    m_timeout = seconds;
}

bool Statement::firstResultWithColumns()
{
    SQLSMALLINT columns = 0;
    check(SQLNumResultCols(m_stmt, &columns), QStringLiteral("SQLNumResultCols"));
    return columns > 0 || nextResultWithColumns();
}

bool Statement::nextResultWithColumns()
{
    for (;;) {
        const SQLRETURN rc = SQLMoreResults(m_stmt);
        if (rc == SQL_NO_DATA)
            return false;
        check(rc, QStringLiteral("SQLMoreResults"));
        SQLSMALLINT columns = 0;
        check(SQLNumResultCols(m_stmt, &columns), QStringLiteral("SQLNumResultCols"));
        if (columns > 0)
            return true;
    }
}

void Statement::fetchAll(QStringList& columns, QList<QStringList>& rows)
{
    SQLSMALLINT count = 0;
    check(SQLNumResultCols(m_stmt, &count), QStringLiteral("SQLNumResultCols"));
    columns.clear();
    rows.clear();
    for (SQLUSMALLINT c = 1; c <= count; ++c) {
        SQLWCHAR name[256];
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        check(SQLDescribeColW(m_stmt, c, name, 256, &length, &type, &size, &digits, &nullable),
              QStringLiteral("SQLDescribeCol"));
        columns << fromWide(name, std::min<SQLSMALLINT>(length, 255));
    }
    std::vector<SQLWCHAR> buffer(256);
    for (;;) {
        const SQLRETURN rc = SQLFetch(m_stmt);
        if (rc == SQL_NO_DATA)
            break;
        check(rc, QStringLiteral("SQLFetch"));
        QStringList row;
        row.reserve(count);
        for (SQLUSMALLINT c = 1; c <= count; ++c) {
            QString value;
            bool isNull = false;
            for (;;) {
                SQLLEN indicator = 0;
                const SQLRETURN got = SQLGetData(m_stmt, c, SQL_C_WCHAR, buffer.data(),
                                                 SQLLEN(buffer.size() * sizeof(SQLWCHAR)), &indicator);
                if (got == SQL_NO_DATA)
                    break;
                check(got, QStringLiteral("SQLGetData"));
                if (indicator == SQL_NULL_DATA) {
                    isNull = true;
                    break;
                }
                const qsizetype room = qsizetype(buffer.size()) - 1;
                const qsizetype chars =
                    indicator == SQL_NO_TOTAL ? room : std::min<qsizetype>(indicator / SQLLEN(sizeof(SQLWCHAR)), room);
                value += fromWide(buffer.data(), chars);
                if (got == SQL_SUCCESS)
                    break;
            }
            row << (isNull ? QString() : (value.isNull() ? QString(QLatin1String("")) : value));
        }
        rows << row;
    }
}

// ---- Connection ----

Connection::Connection() = default;

Connection::~Connection()
{
    close();
    for (Command* command : std::as_const(m_commands))
        command->m_connection = nullptr;
}

void Connection::connect(const QString& connText, const QString& userCode)
{
    close();
    // The two texts are joined as typed; a connection text that ends with ";" is not repaired.
    const QString composed = connText + QLatin1String(";Application Name=") + userCode;
    const QString driverText = driverConnectionString(composed, installedOdbcDrivers());

    auto odbc = std::make_unique<OdbcConnection>();
    SQLSetConnectAttrW(odbc->handle(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(m_connectTimeout)),
                       0);
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(odbc->handle(), nullptr, const_cast<SQLWCHAR*>(wide(driverText)), SQL_NTS,
                                           nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc))
        throw diagnostics(SQL_HANDLE_DBC, odbc->handle(), nullptr, QStringLiteral("SQLDriverConnect"));

    SQLWCHAR name[128] = {};
    SQLSMALLINT nameLength = 0;
    const SQLRETURN got = SQLGetInfoW(odbc->handle(), SQL_DBMS_NAME, name, sizeof(name), &nameLength);
    const QString dbms =
        SQL_SUCCEEDED(got) ? fromWide(name, std::min<qsizetype>(nameLength / SQLSMALLINT(sizeof(SQLWCHAR)), 127))
                           : QString();
    auto dialect = Dialect::forDbms(dbms);
    odbc->dialect = dialect.get();
    const SQLRETURN isolation = SQLSetConnectAttrW(odbc->handle(), SQL_ATTR_TXN_ISOLATION,
                                                   reinterpret_cast<SQLPOINTER>(SQL_TXN_READ_COMMITTED), 0);
    if (!SQL_SUCCEEDED(isolation)) {
        DbError error = diagnostics(SQL_HANDLE_DBC, odbc->handle(), dialect.get(), QStringLiteral("SQL_ATTR_TXN_ISOLATION"));
        SQLDisconnect(odbc->handle());
        throw error;
    }
    m_dbmsName = dbms;
    m_dialect = std::move(dialect);
    m_odbc = std::move(odbc);
    m_transactionLevel = 0;
}

void Connection::close() noexcept
{
    if (!m_odbc)
        return;
    for (Command* command : std::as_const(m_commands)) {
        command->close();
        command->releaseHandles();
    }
    if (m_transactionLevel > 0)
        SQLEndTran(SQL_HANDLE_DBC, m_odbc->handle(), SQL_ROLLBACK);
    m_transactionLevel = 0;
    SQLDisconnect(m_odbc->handle());
    m_odbc.reset();
    m_dialect.reset();
    m_dbmsName.clear();
}

bool Connection::isOpen() const { return bool(m_odbc); }

OdbcConnection& Connection::odbc()
{
    if (!m_odbc)
        throw DbError(QStringLiteral("Veri tabanı bağlantısı kapalı."));
    return *m_odbc;
}

void Connection::beginTransaction()
{
    OdbcConnection& link = odbc();
    if (m_transactionLevel > 0)
        throw DbError(QStringLiteral("Açık bir işlem varken yeni işlem başlatılamaz."));
    link.check(SQLSetConnectAttrW(link.handle(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                                  0),
               QStringLiteral("SQL_ATTR_AUTOCOMMIT"));
    m_transactionLevel = 1;
}

void Connection::commit()
{
    OdbcConnection& link = odbc();
    if (m_transactionLevel == 0)
        throw DbError(QStringLiteral("Açık bir işlem yok."));
    // A failed commit leaves the level at 1, so that the caller's rollback still ends the transaction.
    link.check(SQLEndTran(SQL_HANDLE_DBC, link.handle(), SQL_COMMIT), QStringLiteral("SQLEndTran"));
    m_transactionLevel = 0;
    link.check(SQLSetConnectAttrW(link.handle(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                                  0),
               QStringLiteral("SQL_ATTR_AUTOCOMMIT"));
}

void Connection::rollback()
{
    OdbcConnection& link = odbc();
    if (m_transactionLevel == 0)
        throw DbError(QStringLiteral("Açık bir işlem yok."));
    link.check(SQLEndTran(SQL_HANDLE_DBC, link.handle(), SQL_ROLLBACK), QStringLiteral("SQLEndTran"));
    m_transactionLevel = 0;
    link.check(SQLSetConnectAttrW(link.handle(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                                  0),
               QStringLiteral("SQL_ATTR_AUTOCOMMIT"));
}

int Connection::transactionLevel() const { return m_transactionLevel; }

void Connection::execDirect(const QString& sql)
{
    Statement statement(odbc());
    statement.check(SQLExecDirectW(statement.handle(), const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS), sql);
}

void Connection::setSavepoint(const QString& name) { execDirect(dialect().setSavepoint(name)); }

void Connection::rollbackToSavepoint(const QString& name) { execDirect(dialect().rollbackToSavepoint(name)); }

void Connection::releaseSavepoint(const QString& name)
{
    const QString sql = dialect().releaseSavepoint(name);
    if (!sql.isEmpty())
        execDirect(sql);
}

void Connection::setConnectTimeout(int seconds) { m_connectTimeout = seconds; }

const Dialect& Connection::dialect() const
{
    if (!m_dialect)
        throw DbError(QStringLiteral("Veri tabanı bağlantısı kapalı."));
    return *m_dialect;
}

QString Connection::dbmsName() const { return m_dbmsName; }

// ---- Command ----

Command::Command(Connection& connection, QString componentName)
    : m_connection(&connection), m_componentName(std::move(componentName))
{
    connection.m_commands.append(this);
}

Command::~Command()
{
    if (m_connection)
        m_connection->m_commands.removeOne(this);
}

Connection& Command::connection() const
{
    if (!m_connection)
        throw DbError(m_componentName + QLatin1String(": Veri tabanı bağlantısı yok."));
    return *m_connection;
}

void Command::setCommandTimeout(int seconds) { m_commandTimeout = std::max(0, seconds); }

void Command::close() noexcept {}

// ---- ProcedureCommand ----

struct ProcedureCommand::Rows
{
    QStringList columns;
    QList<QStringList> rows;
    int current = 0;
};

struct ProcedureCommand::Prepared
{
    QList<int> shape; // the parameters it binds, in list order
    std::unique_ptr<Statement> statement;
};

ProcedureCommand::ProcedureCommand(Connection& connection, QString componentName)
    : Command(connection, std::move(componentName))
{
}

ProcedureCommand::~ProcedureCommand() { releaseHandles(); }

void ProcedureCommand::releaseHandles() noexcept
{
    qDeleteAll(m_prepared);
    m_prepared.clear();
}

void ProcedureCommand::close() noexcept { m_rows.reset(); }

void ProcedureCommand::prepare(const QString& procedureName)
{
    close();
    releaseHandles();
    m_procedureName = procedureName;
    m_parameters.clear();
    m_assigned.clear();
    m_schema.clear();
    m_catalogName.clear();
    try {
        fetchParameters();
    } catch (const Error&) {
        // A procedure the server cannot describe leaves the list empty; the first access by name says so.
        m_parameters.clear();
        m_catalogName.clear();
    }
}

void ProcedureCommand::fetchParameters()
{
    if (!m_connection || !m_connection->isOpen())
        return;
    OdbcConnection& link = m_connection->odbc();
    const QString wanted = Dialect::baseProcedureName(m_procedureName);

    // The name is a search pattern for the catalog; its wildcards are escaped and the rows filtered exactly.
    SQLWCHAR escape[8] = {};
    SQLSMALLINT escapeLength = 0;
    QString pattern = wanted;
    if (SQL_SUCCEEDED(SQLGetInfoW(link.handle(), SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof(escape), &escapeLength)) &&
        escapeLength > 0) {
        const QString esc = fromWide(escape, escapeLength / SQLSMALLINT(sizeof(SQLWCHAR)));
        pattern.replace(esc, esc + esc);
        pattern.replace(QLatin1Char('_'), esc + QLatin1Char('_'));
        pattern.replace(QLatin1Char('%'), esc + QLatin1Char('%'));
    }
    Statement statement(link);
    statement.check(SQLProcedureColumnsW(statement.handle(), nullptr, 0, nullptr, 0,
                                         const_cast<SQLWCHAR*>(wide(pattern)), SQL_NTS, nullptr, 0),
                    QStringLiteral("SQLProcedureColumns"));
    QStringList columns;
    QList<QStringList> rows;
    statement.fetchAll(columns, rows);

    struct Found
    {
        int ordinal;
        Parameter parameter;
    };
    std::vector<Found> found;
    for (const QStringList& row : std::as_const(rows)) {
        if (row.size() < 18 || !sameName(Dialect::baseProcedureName(row[2]), wanted))
            continue;
        if (m_catalogName.isEmpty()) {
            m_schema = row[1];
            m_catalogName = Dialect::baseProcedureName(row[2]);
        } else if (row[1] != m_schema) {
            continue; // the same name in a second schema: the first one found is the one called
        }
        Parameter parameter;
        parameter.name = row[3];
        switch (row[4].toInt()) {
        case SQL_PARAM_INPUT: parameter.direction = Parameter::Direction::Input; break;
        case SQL_PARAM_INPUT_OUTPUT: parameter.direction = Parameter::Direction::InputOutput; break;
        case SQL_PARAM_OUTPUT: parameter.direction = Parameter::Direction::Output; break;
        case SQL_RETURN_VALUE:
            parameter.direction = Parameter::Direction::ReturnValue;
            parameter.name = returnValueName;
            break;
        default: continue; // result columns are not parameters
        }
        parameter.sqlType = row[5].toInt();
        parameter.columnSize = row[7].toInt();
        parameter.decimalDigits = row[9].toInt();
        found.push_back({row[17].toInt(), parameter});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.ordinal < b.ordinal; });
    for (Found& f : found)
        m_parameters.append(std::move(f.parameter));
}

int ProcedureCommand::findIndex(const QString& name) const
{
    for (int i = 0; i < m_parameters.size(); ++i)
        if (sameName(m_parameters[i].name, name))
            return i;
    return -1;
}

Parameter& ProcedureCommand::find(const QString& name)
{
    const int i = findIndex(name);
    if (i < 0)
        throw DbError(notFound(m_componentName, QStringLiteral("Parameter"), name));
    return m_parameters[i];
}

const Parameter& ProcedureCommand::find(const QString& name) const
{
    const int i = findIndex(name);
    if (i < 0)
        throw DbError(notFound(m_componentName, QStringLiteral("Parameter"), name));
    return m_parameters[i];
}

void ProcedureCommand::assign(const QString& name, QVariant value)
{
    const int i = findIndex(name);
    if (i < 0)
        throw DbError(notFound(m_componentName, QStringLiteral("Parameter"), name));
    m_parameters[i].value = std::move(value);
    if (!m_assigned.contains(i))
        m_assigned.append(i);
}

void ProcedureCommand::setText(const QString& name, const QString& value) { assign(name, value); }
void ProcedureCommand::setInt32(const QString& name, qint32 value) { assign(name, value); }
void ProcedureCommand::setUInt8(const QString& name, quint8 value) { assign(name, QVariant::fromValue(value)); }
void ProcedureCommand::setBool(const QString& name, bool value) { assign(name, value); }
void ProcedureCommand::discardAssigned() noexcept { m_assigned.clear(); }

Statement& ProcedureCommand::run()
{
    Connection& link = connection();
    OdbcConnection& odbc = link.odbc();
    const Dialect& dialect = link.dialect();
    if (m_catalogName.isEmpty())
        throw DbError(notFound(m_componentName, QStringLiteral("Procedure"), m_procedureName));

    // Only the values assigned for this execution are sent; the others take the procedure's defaults.
    QList<int> shape;
    for (int i : std::as_const(m_assigned))
        if (m_parameters[i].direction == Parameter::Direction::Input ||
            m_parameters[i].direction == Parameter::Direction::InputOutput)
            shape.append(i);
    std::sort(shape.begin(), shape.end());
    const bool returnsValue = findIndex(returnValueName) >= 0;

    auto it = std::find_if(m_prepared.begin(), m_prepared.end(), [&](const Prepared* p) { return p->shape == shape; });
    Prepared* prepared = nullptr;
    if (it != m_prepared.end()) {
        prepared = *it;
        m_prepared.erase(it);
    } else {
        QStringList names;
        for (int i : std::as_const(shape))
            names << m_parameters[i].name;
        auto fresh = std::make_unique<Prepared>();
        fresh->shape = shape;
        fresh->statement = std::make_unique<Statement>(odbc);
        const QString call = dialect.callText(m_schema, m_catalogName, names, returnsValue);
        fresh->statement->check(SQLPrepareW(fresh->statement->handle(), const_cast<SQLWCHAR*>(wide(call)), SQL_NTS),
                                call);
        prepared = fresh.release();
        // Runs of same-shaped lines use one statement; a few shapes are kept for files whose lines vary.
        constexpr int kept = 8;
        while (m_prepared.size() >= kept)
            delete m_prepared.takeLast();
    }
    m_prepared.prepend(prepared);
    m_assigned.clear();

    Statement& statement = *prepared->statement;
    statement.closeCursor();
    statement.setTimeout(m_commandTimeout);

    // The bound buffers live until the execution has returned.
    struct Buffer
    {
        QString text;
        SQLINTEGER integer = 0;
        SQLSMALLINT small = 0;
        unsigned char bit = 0;
        SQLLEN indicator = 0;
    };
    std::vector<Buffer> buffers(shape.size());
    for (qsizetype n = 0; n < shape.size(); ++n) {
        const QVariant& value = m_parameters[shape[n]].value;
        Buffer& b = buffers[n];
        SQLSMALLINT cType, sqlType;
        SQLULEN size = 0;
        SQLPOINTER data;
        SQLLEN length = 0;
        switch (value.typeId()) {
        case QMetaType::Int:
            b.integer = value.toInt();
            cType = SQL_C_SLONG, sqlType = SQL_INTEGER, data = &b.integer;
            break;
        case QMetaType::UChar:
            b.small = SQLSMALLINT(value.value<quint8>());
            cType = SQL_C_SSHORT, sqlType = SQL_SMALLINT, data = &b.small;
            break;
        case QMetaType::Bool:
            b.bit = value.toBool() ? 1 : 0;
            cType = SQL_C_BIT, sqlType = SQL_BIT, data = &b.bit;
            break;
        default:
            b.text = value.toString();
            if (b.text.isNull())
                b.text = QLatin1String("");
            cType = SQL_C_WCHAR;
            size = SQLULEN(std::max<qsizetype>(b.text.size(), 1));
            sqlType = size > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
            data = wideMutable(b.text);
            length = SQLLEN(b.text.size() * sizeof(SQLWCHAR));
            b.indicator = length;
            break;
        }
        if (cType != SQL_C_WCHAR)
            b.indicator = 0;
        statement.check(SQLBindParameter(statement.handle(), SQLUSMALLINT(n + 1), SQL_PARAM_INPUT, cType, sqlType,
                                         size, 0, data, length, &b.indicator),
                        QStringLiteral("SQLBindParameter"));
    }
    statement.check(SQLExecute(statement.handle()), m_procedureName);
    return statement;
}

void ProcedureCommand::execute()
{
    close();
    Statement& statement = run();
    const int r = findIndex(returnValueName);
    if (r >= 0) {
        const Dialect& dialect = connection().dialect();
        bool found = statement.firstResultWithColumns();
        if (found && dialect.returnValueAfterRows())
            while (statement.nextResultWithColumns()) {
            }
        QVariant value;
        if (found && SQL_SUCCEEDED(SQLFetch(statement.handle()))) {
            SQLINTEGER result = 0;
            SQLLEN indicator = 0;
            statement.check(SQLGetData(statement.handle(), 1, SQL_C_SLONG, &result, 0, &indicator),
                            QStringLiteral("SQLGetData"));
            if (indicator != SQL_NULL_DATA)
                value = qint32(result);
        }
        m_parameters[r].value = value.isValid() ? value : QVariant(qint32(0));
    }
    // A row set the procedure returns is discarded, with any further results.
    statement.closeCursor();
}

QVariant ProcedureCommand::read(const QString& name) const { return find(name).value; }

qint32 ProcedureCommand::readInt32(const QString& name) const
{
    const QVariant value = read(name);
    bool ok = false;
    const qint32 result = value.toInt(&ok);
    if (!ok && value.isValid())
        throw DbError(QStringLiteral("%1: Parameter '%2' holds no integer").arg(m_componentName, name));
    return result;
}

void ProcedureCommand::open()
{
    close();
    Statement& statement = run();
    auto rows = std::make_unique<Rows>();
    if (statement.firstResultWithColumns())
        statement.fetchAll(rows->columns, rows->rows);
    statement.closeCursor();
    // The rows are held here whole, so other commands of the link may run while they are walked.
    m_rows = std::move(rows);
}

int ProcedureCommand::rowCount() const { return m_rows ? int(m_rows->rows.size()) : 0; }

bool ProcedureCommand::eof() const { return !m_rows || m_rows->current >= m_rows->rows.size(); }

void ProcedureCommand::next()
{
    if (m_rows && m_rows->current < m_rows->rows.size())
        ++m_rows->current;
}

QString ProcedureCommand::fieldText(const QString& column) const
{
    if (!m_rows)
        throw DbError(notFound(m_componentName, QStringLiteral("Field"), column));
    qsizetype index = -1;
    for (qsizetype c = 0; c < m_rows->columns.size(); ++c)
        if (m_rows->columns[c].compare(column, Qt::CaseInsensitive) == 0) {
            index = c;
            break;
        }
    if (index < 0)
        throw DbError(notFound(m_componentName, QStringLiteral("Field"), column));
    if (eof())
        throw DbError(m_componentName + QLatin1String(": Kayıt sonuna gelindi."));
    return m_rows->rows[m_rows->current][index];
}

qint32 ProcedureCommand::fieldInt32(const QString& column) const
{
    const QString text = fieldText(column);
    if (text.isNull())
        return 0;
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("%1: Field '%2' holds no integer").arg(m_componentName, column));
    return value;
}

// ---- SqlCommand ----

SqlCommand::SqlCommand(Connection& connection, QString componentName) : Command(connection, std::move(componentName))
{
}

SqlCommand::~SqlCommand() = default;

void SqlCommand::execute(const QString& sql)
{
    m_sql = sql;
    Statement statement(connection().odbc());
    statement.setTimeout(m_commandTimeout);
    statement.check(SQLExecDirectW(statement.handle(), const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS), sql);
}

} // namespace kelvra::db
