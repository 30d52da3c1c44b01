#include "framework/untGeneral.h"

#include <QCoreApplication>
#include <QDir>

namespace kelvra {

namespace {
QString& folderOverride()
{
    static QString folder;
    return folder;
}
QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

QString executableFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return withSeparator(QCoreApplication::applicationDirPath());
}

void setExecutableFolder(const QString& folder)
{
    folderOverride() = folder.isEmpty() ? QString() : withSeparator(folder);
}

QString settingsPath() { return executableFolder() + QStringLiteral("Kelvra.ini"); }

QString ReadSetting(const QString&, const QString&) { return {}; }
void WriteSetting(const QString&, const QString&, const QString&) {}

} // namespace kelvra
