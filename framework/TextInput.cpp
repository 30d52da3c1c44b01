#include "framework/TextInput.h"

#include "framework/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <optional>

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

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing above U+10FFFF.
// Checked in place, as a large input file must not be decoded twice to find out.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        char32_t code;
        if (c >= 0xC2 && c <= 0xDF)
            more = 1, code = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF)
            more = 2, code = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4)
            more = 3, code = c & 0x07;
        else
            return false;
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if ((more == 2 && code < 0x800) || (more == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

} // namespace

QString decodeLegacy(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    QStringDecoder decoder(QStringDecoder::System);
    return decoder(bytes);
#else
    // The code page is a single-byte one: a table of its 256 characters, taken once from the converter,
    // decodes a large file into a string of exactly its length.
    static const std::optional<std::array<char16_t, 256>> table = []() -> std::optional<std::array<char16_t, 256>> {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString one = QStringDecoder(legacyName, QStringDecoder::Flag::Stateless)(QByteArrayView(&byte, 1));
            if (one.size() != 1)
                return std::nullopt;
            t[b] = one[0].unicode();
        }
        return t;
    }();
    if (!table)
        return QStringDecoder(legacyName)(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (char c : bytes)
        *out++ = (*table)[static_cast<unsigned char>(c)];
    return text;
#endif
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

namespace {

// A surrogate without its partner is no character: it becomes a replacement character, as undecodable bytes do,
// instead of reaching a driver that would pair it with whatever follows.
void replaceLoneSurrogates(QString& text)
{
    const qsizetype n = text.size();
    char16_t* at = nullptr;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (!QChar::isSurrogate(c))
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            ++i;
            continue;
        }
        if (!at)
            at = reinterpret_cast<char16_t*>(text.data());
        at[i] = QChar::ReplacementCharacter;
    }
}

} // namespace

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
    if (out.encoding == TextEncoding::Utf16LE || out.encoding == TextEncoding::Utf16BE)
        replaceLoneSurrogates(out.text);
    return out;
}

QList<LineSpan> lineSpans(QStringView text)
{
    QList<LineSpan> spans;
    spans.reserve(text.count(QLatin1Char('\n')) + 1);
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            spans.append({start, i - start});
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        spans.append({start, n - start});
    return spans;
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    const QList<LineSpan> spans = lineSpans(text);
    lines.reserve(spans.size());
    for (const LineSpan& span : spans)
        lines.append(text.sliced(span.start, span.length).toString());
    return lines;
}

QStringList TextFile::lines() const { return splitLines(text); }

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
    // The file's bytes are gone once decoded; the lines are places in the one decoded text.
    DecodedText decoded = decodeText(readWholeFile(path));
    TextFile file;
    file.spans = lineSpans(decoded.text);
    file.text = std::move(decoded.text);
    file.encoding = decoded.encoding;
    return file;
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
