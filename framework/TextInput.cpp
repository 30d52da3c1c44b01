#include "framework/TextInput.h"

#include "framework/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kelvra {

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Legacy:
        return QStringLiteral("Windows-1254");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("UTF-8 (BOM)");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    }
    return {};
}

namespace {

#ifdef Q_OS_WIN
const char* const legacyName = "System";
#else
const char* const legacyName = "windows-1254";
#endif

QString cutAtNul(QString text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

bool hasNonAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

QString decodeLegacy(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    QStringDecoder decoder(QStringDecoder::System);
#else
    QStringDecoder decoder(legacyName);
#endif
    return decoder(bytes);
}

QByteArray encodeLegacy(QStringView text, bool* lossless)
{
#ifdef Q_OS_WIN
    QStringEncoder encoder(QStringEncoder::System);
#else
    QStringEncoder encoder(legacyName);
#endif
    QByteArray out = encoder(text);
    if (lossless)
        *lossless = !encoder.hasError();
    return out;
}

QByteArray encodeForFile(QStringView text)
{
    bool lossless = false;
    QByteArray legacy = encodeLegacy(text, &lossless);
    if (lossless)
        return legacy;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

DecodedText decodeText(QByteArrayView bytes)
{
    DecodedText out;
    if (bytes.startsWith("\xFF\xFE")) {
        out.encoding = TextEncoding::Utf16LE;
        out.text = QStringDecoder(QStringDecoder::Utf16LE)(bytes.sliced(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        out.encoding = TextEncoding::Utf16BE;
        out.text = QStringDecoder(QStringDecoder::Utf16BE)(bytes.sliced(2));
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        out.encoding = TextEncoding::Utf8Bom;
        out.text = QString::fromUtf8(bytes.sliced(3));
    } else {
        // A NUL ends the text, so only the bytes before it decide between UTF-8 and the ANSI code page.
        const qsizetype nul = bytes.indexOf('\0');
        const QByteArrayView head = nul >= 0 ? bytes.first(nul) : bytes;
        if (hasNonAscii(head) && isValidUtf8(head)) {
            out.encoding = TextEncoding::Utf8;
            out.text = QString::fromUtf8(head);
        } else {
            out.encoding = TextEncoding::Legacy;
            out.text = decodeLegacy(head);
        }
        return out;
    }
    out.text = cutAtNul(std::move(out.text));
    return out;
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.sliced(start, i - start).toString());
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.sliced(start).toString());
    return lines;
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    return bytes;
}

void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    // A file marked read-only stays as it is, whoever runs the program.
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        throw Error(QStringLiteral("Cannot create file \"%1\". %2").arg(path, QStringLiteral("Access is denied")));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
}

TextFile readTextFile(const QString& path)
{
    DecodedText decoded = decodeText(readWholeFile(path));
    return {splitLines(decoded.text), decoded.encoding};
}

void splitFields(QStringView line, QStringList& fields)
{
    fields.clear();
    const qsizetype n = line.size();
    if (n == 0)
        return; // an empty line has no field at all
    const QChar sep = QLatin1Char(';');
    const QChar quote = QLatin1Char('"');
    qsizetype i = 0;
    while (true) {
        if (i < n && line[i] == quote) {
            // A quoted field runs to the next quote that is not doubled; a doubled quote stands for one. Without a
            // closing quote it takes the rest of the line. What follows the closing quote up to the next ";" is a
            // field of its own.
            QString text;
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == quote) {
                    if (i + 1 < n && line[i + 1] == quote) {
                        text += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                text += line[i++];
            }
            fields.append(text);
            if (!closed || i >= n)
                return;
            if (line[i] == sep) {
                ++i;
                if (i >= n) {
                    fields.append(QString()); // a ";" at the end gives an empty last field
                    return;
                }
            }
            continue;
        }
        const qsizetype next = line.indexOf(sep, i);
        if (next < 0) {
            fields.append(line.sliced(i).toString());
            return;
        }
        fields.append(line.sliced(i, next - i).toString());
        i = next + 1;
        if (i >= n) {
            fields.append(QString());
            return;
        }
    }
}

QStringList splitFields(QStringView line)
{
    QStringList fields;
    splitFields(line, fields);
    return fields;
}

QString normaliseNumber(QString text, const QString& grouping, const QString& decimal, const QString& localeDecimal)
{
    if (!grouping.isEmpty())
        text.remove(grouping, Qt::CaseSensitive);
    if (!decimal.isEmpty())
        text.replace(decimal, localeDecimal, Qt::CaseSensitive);
    return text;
}

} // namespace kelvra
