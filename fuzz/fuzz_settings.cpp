// The settings reader and writer on any settings file.
#include "framework/Error.h"
#include "framework/untGeneral.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString folder = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/kelvra-fuzz-settings-%1/").arg(QCoreApplication::applicationPid());
        QDir().mkpath(path);
        kelvra::setExecutableFolder(path);
        return path;
    }();
    QFile file(kelvra::settingsPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    (void)kelvra::ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("CONNSTR"));
    (void)kelvra::ReadSetting(QStringLiteral("import"), QStringLiteral("usercode"));
    try {
        // A value written is the value read back, whatever else the file holds.
        kelvra::WriteSetting(QStringLiteral("IMPORT"), QStringLiteral("ONDALIK"), QStringLiteral("Ç,"));
        if (kelvra::ReadSetting(QStringLiteral("IMPORT"), QStringLiteral("ONDALIK")) != QStringLiteral("Ç,"))
            std::abort();
    } catch (const kelvra::Error&) {
    }
    return 0;
}
