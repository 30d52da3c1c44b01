#include "db/ConnectionString.h"

#include "db/Database.h"

#include <sql.h>
#include <sqlext.h>

#include <optional>

namespace kelvra::db {

namespace {

bool sameKey(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isOneOf(const QString& key, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (sameKey(key, QLatin1String(name)))
            return true;
    return false;
}

// Reads a quoted value from text[i] (the opening quote or brace) on; i ends past the closing one.
// Inside, the closing character doubled stands for itself.
bool readEnclosed(const QString& text, qsizetype& i, QChar close, QString& value)
{
    const qsizetype n = text.size();
    ++i;
    while (i < n) {
        if (text[i] == close) {
            if (i + 1 < n && text[i + 1] == close) {
                value += close;
                i += 2;
                continue;
            }
            ++i;
            return true;
        }
        value += text[i++];
    }
    return false;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Unquoted values are read trimmed of every white space (vertical tab and form feed too): a value with any at
// its edge has to be quoted to come back as it was.
bool edgeBlank(const QString& value)
{
    return !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
}

QString odbcValue(const QString& value)
{
    // Blanks and "=" are braced too: drivers read them either way, and a braced value is unmistakable in a log.
    bool brace = false;
    for (QChar c : value)
        if (c == u';' || c == u'{' || c == u'}' || c == u'=' || c.isSpace())
            brace = true;
    if (!value.isEmpty() && (value.front() == u'"' || value.front() == u'\''))
        brace = true;
    if (!brace)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1String("}"), QLatin1String("}}"));
    return u'{' + escaped + u'}';
}

QString oleDbValue(const QString& value)
{
    const bool quote = value.contains(u';') || edgeBlank(value) ||
                       (!value.isEmpty() && (value.front() == u'"' || value.front() == u'\'' || value.front() == u'{'));
    if (!quote)
        return value;
    if (!value.contains(u'"'))
        return u'"' + value + u'"';
    if (!value.contains(u'\''))
        return u'\'' + value + u'\'';
    QString escaped = value;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + escaped + u'"';
}

// A value in libpq's conninfo syntax: single quotes, with backslash escapes, when it is empty or holds blanks,
// quotes or backslashes.
QString conninfoValue(const QString& value)
{
    bool quote = value.isEmpty();
    for (QChar c : value)
        if (isBlank(c) || c == u'\'' || c == u'\\')
            quote = true;
    if (!quote)
        return value;
    QString escaped;
    for (QChar c : value) {
        if (c == u'\'' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return u'\'' + escaped + u'\'';
}

bool isTrue(const QString& value)
{
    return isOneOf(value.trimmed(), {"true", "yes", "sspi", "1", "mandatory"});
}

QString yesNo(const QString& value)
{
    return isTrue(value) ? QStringLiteral("yes") : QStringLiteral("no");
}

bool isPsqlOdbc(const QString& driver)
{
    return driver.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) ||
           driver.contains(QLatin1String("psqlodbc"), Qt::CaseInsensitive);
}

QString unreadableText()
{
    return QStringLiteral("Bağlantı cümlesinin biçimi geçersiz.");
}

// ---- ODBC strings ----

QString forOdbcDriver(QList<ConnectionKey> keys)
{
    std::optional<QString> applicationName;
    QString driver;
    for (qsizetype i = 0; i < keys.size();) {
        const ConnectionKey& k = keys[i];
        if (sameKey(k.key, QLatin1String("Application Name"))) {
            applicationName = k.value; // the composed one is the last
            keys.removeAt(i);
            continue;
        }
        if (sameKey(k.key, QLatin1String("Driver")))
            driver = k.value;
        // An OLE DB string for the ODBC bridge names its provider too; ODBC drivers have no such key.
        if (sameKey(k.key, QLatin1String("Provider")) &&
            k.value.startsWith(QLatin1String("MSDASQL"), Qt::CaseInsensitive)) {
            keys.removeAt(i);
            continue;
        }
        ++i;
    }

    if (isPsqlOdbc(driver)) {
        // Protocol (abbreviated A1) sets psqlODBC's rollback-on-error level in its "-n" suffix. Level 0: the driver
        // leaves the transaction alone, so a failing line does not silently undo the lines before it.
        // The driver's own communication and debug logs would copy every statement, passwords and the imported
        // data included, into files under /tmp (Debian's driver entry turns CommLog on): they stay off.
        keys.removeIf([](const ConnectionKey& k) {
            return isOneOf(k.key, {"Protocol", "A1", "CommLog", "B3", "Debug", "B2"});
        });
        if (applicationName) {
            const QString option = QLatin1String("application_name=") + conninfoValue(*applicationName);
            qsizetype pqopt = -1;
            for (qsizetype i = 0; i < keys.size(); ++i)
                if (isOneOf(keys[i].key, {"pqopt", "D5"}))
                    pqopt = i;
            if (pqopt < 0) {
                keys.append({QStringLiteral("pqopt"), option});
            } else {
                // libpq takes the last of two equal options, so ours wins over one the text already had.
                const QString existing = keys[pqopt].value.trimmed();
                keys[pqopt].value = existing.isEmpty() ? option : existing + u' ' + option;
            }
        }
        keys.append({QStringLiteral("Protocol"), QStringLiteral("7.4-0")});
        keys.append({QStringLiteral("CommLog"), QStringLiteral("0")});
        keys.append({QStringLiteral("Debug"), QStringLiteral("0")});
    } else if (applicationName) {
        // Microsoft's drivers take the first of two equal keys, psqlODBC and FreeTDS the last: keep only ours.
        keys.removeIf([](const ConnectionKey& k) { return sameKey(k.key, QLatin1String("APP")); });
        keys.append({QStringLiteral("APP"), *applicationName});
    }
    return formatConnectionString(keys);
}

// ---- OLE DB strings ----

enum class SqlServerDriver
{
    Msodbc18,
    Msodbc17,
    FreeTds
};

struct OleDbSettings
{
    QString provider;
    QString server;
    QString port;
    QString database;
    std::optional<QString> user;
    std::optional<QString> password;
    bool integrated = false;
    std::optional<QString> applicationName;
    QString workstation;
    QString language;
    QString connectTimeout;
    std::optional<QString> encrypt;
    bool trustServerCertificate = false;
    std::optional<QString> autoTranslate;
    std::optional<QString> mars;
    QString applicationIntent;
    QString attachFile;
    QString packetSize;
    QString tdsVersion;
    QString clientCharset;
};

// The provider's keys by meaning; a key given twice counts with its last value, as the composed Application Name
// comes last. Keys without an ODBC counterpart (Persist Security Info, Use Procedure for Prepare, Network Library,
// Extended Properties, OLE DB Services, ...) are left out.
OleDbSettings readOleDb(const QList<ConnectionKey>& keys)
{
    OleDbSettings s;
    for (const ConnectionKey& k : keys) {
        const QString& key = k.key;
        const QString& v = k.value;
        if (isOneOf(key, {"Provider"}))
            s.provider = v;
        else if (isOneOf(key, {"Data Source", "Server", "Address", "Addr", "Network Address"}))
            s.server = v;
        else if (isOneOf(key, {"Port"}))
            s.port = v;
        else if (isOneOf(key, {"Initial Catalog", "Database"}))
            s.database = v;
        else if (isOneOf(key, {"User ID", "UID", "User"}))
            s.user = v;
        else if (isOneOf(key, {"Password", "PWD"}))
            s.password = v;
        else if (isOneOf(key, {"Integrated Security", "Trusted_Connection"}))
            s.integrated = isTrue(v);
        else if (isOneOf(key, {"Application Name", "APP"}))
            s.applicationName = v;
        else if (isOneOf(key, {"Workstation ID", "WSID"}))
            s.workstation = v;
        else if (isOneOf(key, {"Current Language", "Language"}))
            s.language = v;
        else if (isOneOf(key, {"Connect Timeout", "Connection Timeout", "ConnectTimeout"}))
            s.connectTimeout = v;
        else if (isOneOf(key, {"Use Encryption for Data", "Encrypt"}))
            s.encrypt = v;
        else if (isOneOf(key, {"Trust Server Certificate", "TrustServerCertificate"}))
            s.trustServerCertificate = isTrue(v);
        else if (isOneOf(key, {"Auto Translate", "AutoTranslate"}))
            s.autoTranslate = v;
        else if (isOneOf(key, {"MARS Connection", "MultipleActiveResultSets", "MARS_Connection"}))
            s.mars = v;
        else if (isOneOf(key, {"Application Intent", "ApplicationIntent"}))
            s.applicationIntent = v;
        else if (isOneOf(key, {"Initial File Name", "AttachDBFileName"}))
            s.attachFile = v;
        else if (isOneOf(key, {"Packet Size", "PacketSize"}))
            s.packetSize = v;
        else if (isOneOf(key, {"TDS_Version"}))
            s.tdsVersion = v;
        else if (isOneOf(key, {"ClientCharset", "Client_Charset"}))
            s.clientCharset = v;
    }
    return s;
}

// The encryption the old string asked for: "no", "yes" or "strict". SQLOLEDB, SQLNCLI and MSOLEDBSQL before 19
// encrypt only the login unless asked; MSOLEDBSQL19 requires encryption unless told otherwise.
QString encryptionOf(const OleDbSettings& s)
{
    if (!s.encrypt)
        return s.provider.startsWith(QLatin1String("MSOLEDBSQL19"), Qt::CaseInsensitive) ? QStringLiteral("yes")
                                                                                         : QStringLiteral("no");
    const QString v = s.encrypt->trimmed();
    if (isOneOf(v, {"strict"}))
        return QStringLiteral("strict");
    if (isOneOf(v, {"no", "false", "optional", "0"}))
        return QStringLiteral("no");
    return QStringLiteral("yes");
}

bool allDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!c.isDigit())
            return false;
    return true;
}

// "." and "(local)" mean this machine through shared memory on Windows; here only TCP is there.
QString hostName(const QString& host)
{
    const QString h = host.trimmed();
    if (h == QLatin1String(".") || sameKey(h, QLatin1String("(local)")))
        return QStringLiteral("localhost");
    return h;
}

struct ServerAddress
{
    QString host; // with "\INSTANCE" when one is named
    QString port;
};

ServerAddress splitServer(QString server)
{
    if (server.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
        server = server.mid(4);
    ServerAddress a;
    const qsizetype comma = server.indexOf(u',');
    QString host = comma < 0 ? server : server.left(comma);
    if (comma >= 0)
        a.port = server.mid(comma + 1).trimmed();
    const qsizetype slash = host.indexOf(u'\\');
    a.host = slash < 0 ? hostName(host) : hostName(host.left(slash)) + host.mid(slash);
    return a;
}

QString forSqlServerDriver(const QList<ConnectionKey>& keys, SqlServerDriver kind, const QString& driverName)
{
    const OleDbSettings s = readOleDb(keys);
    const bool freeTds = kind == SqlServerDriver::FreeTds;
    QList<ConnectionKey> out;
    auto add = [&out](const char* key, const QString& value) { out.append({QLatin1String(key), value}); };

    add("DRIVER", driverName);
    if (!s.server.isEmpty()) {
        if (freeTds) {
            // FreeTDS takes the port in its own key. With a port the instance is not looked up, as with the
            // Microsoft drivers, where a port given wins over the instance name.
            ServerAddress a = splitServer(s.server);
            if (a.port.isEmpty())
                a.port = s.port.trimmed();
            if (!a.port.isEmpty()) {
                const qsizetype slash = a.host.indexOf(u'\\');
                add("Server", slash < 0 ? a.host : a.host.left(slash));
                add("Port", a.port);
            } else {
                add("Server", a.host);
            }
        } else {
            // "HOST\INSTANCE" and "HOST,PORT" as the old providers took them; a separate Port key joins the name.
            QString server = s.server.trimmed();
            const bool tcp = server.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive);
            ServerAddress a = splitServer(server);
            server = (tcp ? QStringLiteral("tcp:") : QString()) + a.host;
            const QString port = a.port.isEmpty() ? s.port.trimmed() : a.port;
            if (!port.isEmpty())
                server += u',' + port;
            add("Server", server);
        }
    }
    if (!s.database.isEmpty())
        add("Database", s.database);
    if (s.integrated) {
        // On this platform FreeTDS and Microsoft's drivers log in with the Kerberos ticket of the user.
        add("Trusted_Connection", QStringLiteral("yes"));
    } else {
        if (s.user)
            add("UID", *s.user);
        if (s.password)
            add("PWD", *s.password);
    }
    if (s.applicationName)
        add("APP", *s.applicationName);
    if (!s.workstation.isEmpty())
        add("WSID", s.workstation);
    if (!s.language.isEmpty())
        add("Language", s.language);
    if (s.mars)
        add("MARS_Connection", yesNo(*s.mars));
    if (!s.applicationIntent.isEmpty())
        add("ApplicationIntent", s.applicationIntent);
    if (!s.attachFile.isEmpty())
        add("AttachDBFileName", s.attachFile);

    const QString encryption = encryptionOf(s);
    if (freeTds) {
        if (!s.packetSize.isEmpty())
            add("PacketSize", s.packetSize);
        if (!s.tdsVersion.isEmpty())
            add("TDS_Version", s.tdsVersion);
        // The texts are Unicode through and through; FreeTDS would otherwise assume ISO 8859-1 for narrow data.
        add("ClientCharset", s.clientCharset.isEmpty() ? QStringLiteral("UTF-8") : s.clientCharset);
        // FreeTDS's own default ("request": encrypt when the server offers it, certificate not checked) is the
        // old providers' behaviour; only a string that asked for encryption requires it.
        if (encryption != QLatin1String("no"))
            add("Encryption", QStringLiteral("require"));
    } else {
        if (s.autoTranslate)
            add("AutoTranslate", yesNo(*s.autoTranslate));
        // Driver 18 encrypts and checks the certificate by default, 17 does not; both are told what the old
        // provider did, so that a string that worked keeps working.
        add("Encrypt", encryption == QLatin1String("strict") && kind == SqlServerDriver::Msodbc17
                           ? QStringLiteral("yes")
                           : encryption);
        if (s.trustServerCertificate)
            add("TrustServerCertificate", QStringLiteral("yes"));
        // Only Driver 18 (18.7 on) has a login time-out keyword; otherwise the link's SQL_ATTR_LOGIN_TIMEOUT
        // applies.
        if (kind == SqlServerDriver::Msodbc18 && allDigits(s.connectTimeout.trimmed()))
            add("ConnectTimeout", s.connectTimeout.trimmed());
    }
    return formatConnectionString(out);
}

} // namespace

QList<ConnectionKey> parseConnectionString(const QString& text, bool* ok)
{
    QList<ConnectionKey> keys;
    bool good = true;
    const qsizetype n = text.size();
    qsizetype i = 0;
    // Skips to past the next ";" after text that does not belong where it stands.
    auto skipSegment = [&]() {
        good = false;
        const qsizetype semi = text.indexOf(u';', i);
        i = semi < 0 ? n : semi + 1;
    };
    while (i < n) {
        while (i < n && (text[i] == u';' || isBlank(text[i])))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(u'=', i);
        const qsizetype semi = text.indexOf(u';', i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            skipSegment();
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && isBlank(text[i]))
            ++i;
        QString value;
        if (i < n && (text[i] == u'"' || text[i] == u'\'' || text[i] == u'{')) {
            const QChar close = text[i] == u'{' ? QChar(u'}') : text[i];
            const bool closed = readEnclosed(text, i, close, value);
            while (i < n && isBlank(text[i]))
                ++i;
            if (!closed) {
                good = false;
            } else if (i < n && text[i] != u';') {
                skipSegment();
                continue;
            }
        } else {
            const qsizetype end = semi < 0 ? n : semi;
            value = text.mid(i, end - i).trimmed();
            i = end;
        }
        if (key.isEmpty()) {
            good = false;
            continue;
        }
        keys.append({key, value});
    }
    if (ok)
        *ok = good;
    return keys;
}

bool isOdbcConnectionString(const QList<ConnectionKey>& keys)
{
    for (const ConnectionKey& k : keys)
        if (isOneOf(k.key, {"Driver", "DSN", "FileDSN"}))
            return true;
    return false;
}

QString formatConnectionString(const QList<ConnectionKey>& keys)
{
    const bool odbc = isOdbcConnectionString(keys);
    QStringList parts;
    parts.reserve(keys.size());
    for (const ConnectionKey& k : keys)
        parts << k.key + u'=' + (odbc ? odbcValue(k.value) : oleDbValue(k.value));
    return parts.join(u';');
}

QStringList installedOdbcDrivers()
{
    QStringList drivers;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return drivers;
    struct FreeEnv
    {
        SQLHENV handle;
        ~FreeEnv() { SQLFreeHandle(SQL_HANDLE_ENV, handle); }
    } guard{env};
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)))
        return drivers;
    SQLCHAR name[512];
    SQLCHAR attributes[2048];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        const SQLRETURN rc = SQLDrivers(env, direction, name, sizeof(name), &nameLength, attributes, sizeof(attributes),
                                        &attributesLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        drivers << QString::fromUtf8(reinterpret_cast<const char*>(name));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

QString driverConnectionString(const QString& composed, const QStringList& installedDrivers)
{
    bool ok = false;
    const QList<ConnectionKey> keys = parseConnectionString(composed, &ok);
    if (!ok)
        throw DbError(unreadableText());
    if (isOdbcConnectionString(keys))
        return forOdbcDriver(keys);

    const struct
    {
        SqlServerDriver kind;
        const char* name;
    } preferred[] = {{SqlServerDriver::Msodbc18, "ODBC Driver 18 for SQL Server"},
                     {SqlServerDriver::Msodbc17, "ODBC Driver 17 for SQL Server"}};
    for (const auto& p : preferred)
        for (const QString& d : installedDrivers)
            if (sameKey(d, QLatin1String(p.name)))
                return forSqlServerDriver(keys, p.kind, d);
    for (const QString& d : installedDrivers)
        if (d.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive))
            return forSqlServerDriver(keys, SqlServerDriver::FreeTds, d);
    throw DbError(QStringLiteral("SQL Server için kurulu bir ODBC sürücüsü bulunamadı (ODBC Driver 18 for SQL Server, "
                                 "ODBC Driver 17 for SQL Server ya da FreeTDS gerekir)."));
}

} // namespace kelvra::db
