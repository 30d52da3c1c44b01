// The connection-string reader, writer and translation on any text.
#include "db/ConnectionString.h"
#include "db/Database.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    bool ok = false;
    const QList<kelvra::db::ConnectionKey> keys = kelvra::db::parseConnectionString(text, &ok);
    // Whatever was read is written so that it reads back the same.
    if (kelvra::db::parseConnectionString(kelvra::db::formatConnectionString(keys)) != keys)
        std::abort();
    static const QStringList drivers{QStringLiteral("PostgreSQL Unicode"), QStringLiteral("FreeTDS"),
                                     QStringLiteral("ODBC Driver 18 for SQL Server")};
    try {
        (void)kelvra::db::driverConnectionString(text + QStringLiteral(";Application Name=u"), drivers);
    } catch (const kelvra::db::DbError&) {
    }
    return 0;
}
