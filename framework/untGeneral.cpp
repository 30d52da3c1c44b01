#include "framework/untGeneral.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include "framework/Error.h"
#include "framework/TextInput.h"

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

namespace {

// One line of the file with the line end it had, so that a write keeps every other line as it was.
struct IniLine
{
    QString text;
    QString end;
};

QList<IniLine> splitKeepingEnds(const QString& text)
{
    QList<IniLine> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            qsizetype endLength = 1;
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                endLength = 2;
            lines.append({text.sliced(start, i - start), text.sliced(i, endLength)});
            i += endLength - 1;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append({text.sliced(start), QString()});
    return lines;
}

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// Whether a line opens a section, and which.
bool opensSection(QStringView line, QString* name)
{
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    *name = trimBlanks(close < 0 ? t.sliced(1) : t.sliced(1, close - 1)).toString();
    return true;
}

bool keyOf(QStringView line, QStringView* key, QStringView* value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = trimBlanks(line.first(eq));
    *value = line.sliced(eq + 1);
    return true;
}

bool sameName(QStringView a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The file's text; false when it exists but cannot be read. A missing file reads as empty.
bool fileText(const QString& path, QString* text)
{
    QFile file(path);
    text->clear();
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = decodeText(file.readAll()).text;
    return file.error() == QFileDevice::NoError;
}

constexpr qsizetype maxValueLength = 2047;

} // namespace

QString ReadSetting(const QString& section, const QString& key)
{
    QString text;
    fileText(settingsPath(), &text);
    bool inSection = false;
    for (const IniLine& line : splitKeepingEnds(text)) {
        QString name;
        if (opensSection(line.text, &name)) {
            inSection = sameName(name, section);
            continue;
        }
        QStringView k, v;
        if (!inSection || !keyOf(line.text, &k, &v) || !sameName(k, key))
            continue;
        QStringView value = trimBlanks(v);
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.sliced(1, value.size() - 2);
        return value.left(maxValueLength).toString();
    }
    return {};
}

void WriteSetting(const QString& section, const QString& key, const QString& value)
{
    const QString path = settingsPath();
    const auto fail = [&path]() { throw Error(QStringLiteral("Unable to write to %1").arg(path)); };

    // A file that exists but cannot be read is not replaced by one holding only this key.
    QString oldText;
    if (!fileText(path, &oldText))
        fail();
    QList<IniLine> lines = splitKeepingEnds(oldText);

    const QString newLine = key + QLatin1Char('=') + value;
    const QString crlf = QStringLiteral("\r\n");
    qsizetype sectionLine = -1, lastInSection = -1;
    bool inSection = false, written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        QString name;
        if (opensSection(lines[i].text, &name)) {
            if (inSection)
                break; // the section ended without the key
            inSection = sameName(name, section);
            if (inSection)
                sectionLine = lastInSection = i;
            continue;
        }
        if (!inSection)
            continue;
        QStringView k, v;
        if (keyOf(lines[i].text, &k, &v)) {
            if (sameName(k, key)) {
                lines[i].text = newLine;
                written = true;
            } else {
                lastInSection = i;
            }
        } else if (!trimBlanks(lines[i].text).isEmpty()) {
            lastInSection = i;
        }
    }
    if (!written) {
        if (sectionLine < 0) {
            if (!lines.isEmpty() && lines.last().end.isEmpty())
                lines.last().end = crlf;
            lines.append({QLatin1Char('[') + section + QLatin1Char(']'), crlf});
            lines.append({newLine, crlf});
        } else {
            if (lines[lastInSection].end.isEmpty())
                lines[lastInSection].end = crlf;
            lines.insert(lastInSection + 1, {newLine, crlf});
        }
    }

    QString text;
    for (const IniLine& line : lines)
        text += line.text + line.end;
    try {
        writeWholeFile(path, encodeForFile(text));
    } catch (const Error&) {
        fail();
    }
}

} // namespace kelvra
