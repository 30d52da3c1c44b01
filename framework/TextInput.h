#pragma once

// Text input: whole-file reading with byte-order-mark detection, line splitting, the field splitter and number
// normalisation. One reader serves input files, layout files and the settings file.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace kelvra {

enum class TextEncoding
{
    Legacy,  // the ANSI code page: the system's on Windows, Windows-1254 elsewhere
    Utf8,    // no mark, but valid UTF-8 holding non-ASCII bytes
    Utf8Bom,
    Utf16LE,
    Utf16BE,
};

// "Windows-1254", "UTF-8", "UTF-8 (BOM)", "UTF-16 LE", "UTF-16 BE".
QString encodingName(TextEncoding encoding);

struct DecodedText
{
    QString text;
    TextEncoding encoding = TextEncoding::Legacy;
};

// A mark decides (UTF-16 LE FF FE, UTF-16 BE FE FF, UTF-8 EF BB BF, tested in that order); without one, bytes that
// are valid UTF-8 and hold non-ASCII are read as UTF-8, everything else in the ANSI code page. The text ends at
// the first NUL character. Undecodable bytes never fail: they become replacement characters.
DecodedText decodeText(QByteArrayView bytes);

// Lines end at CRLF, a lone CR or a lone LF; a final line end makes no empty last line.
struct LineSpan
{
    qsizetype start;
    qsizetype length;
};
QList<LineSpan> lineSpans(QStringView text);
QStringList splitLines(QStringView text);

// A whole input file in memory: its decoded text once, and where each line lies in it, so that a large file
// costs little more than its text.
struct TextFile
{
    QString text;
    QList<LineSpan> spans;
    TextEncoding encoding = TextEncoding::Legacy;

    qsizetype lineCount() const { return spans.size(); }
    QStringView line(qsizetype k) const { return QStringView(text).sliced(spans[k].start, spans[k].length); }
    QStringList lines() const;
};

// Reads a whole file. Fails with the platform's file-open error naming the path and the reason.
QByteArray readWholeFile(const QString& path);
TextFile readTextFile(const QString& path);
// Replaces a file's content whole (a new file, then renamed over the old one, so that a failure leaves the old
// content). A file marked read-only is not replaced. Fails with the file-create error naming path and reason.
void writeWholeFile(const QString& path, const QByteArray& bytes);

// The ANSI code page. encodeLegacy sets *lossless to false when a character had to be replaced.
QString decodeLegacy(QByteArrayView bytes);
QByteArray encodeLegacy(QStringView text, bool* lossless = nullptr);

// Text for a file we write: the ANSI code page while every character fits it, otherwise UTF-8 with its mark, so that
// no character is ever lost and the reader above reads it back.
QByteArray encodeForFile(QStringView text);

// Splits one line at ";" into fields (see the .cpp for the quoting rules). The list is reused between lines.
void splitFields(QStringView line, QStringList& fields);
QStringList splitFields(QStringView line);

// Removes every occurrence of grouping, then replaces every occurrence of decimal with localeDecimal, each found
// left to right without overlap; an empty symbol removes or replaces nothing.
QString normaliseNumber(QString text, const QString& grouping, const QString& decimal, const QString& localeDecimal);

} // namespace kelvra
