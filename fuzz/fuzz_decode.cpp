// The text decoder and the line splitter on any file content.
#include "framework/TextInput.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const kelvra::DecodedText decoded = kelvra::decodeText(bytes);
    if (decoded.text.contains(QChar(0)))
        std::abort(); // a NUL ends the text
    const QList<kelvra::LineSpan> spans = kelvra::lineSpans(decoded.text);
    qsizetype end = 0;
    for (const kelvra::LineSpan& span : spans) {
        if (span.start < end || span.length < 0 || span.start + span.length > decoded.text.size())
            std::abort();
        for (qsizetype i = span.start; i < span.start + span.length; ++i)
            if (decoded.text[i] == u'\r' || decoded.text[i] == u'\n')
                std::abort();
        end = span.start + span.length;
    }
    if (kelvra::splitLines(decoded.text).size() != spans.size())
        std::abort();
    // A legacy text written back and read again is the same text.
    if (decoded.encoding == kelvra::TextEncoding::Legacy) {
        bool lossless = false;
        const QByteArray again = kelvra::encodeLegacy(decoded.text, &lossless);
        if (lossless && kelvra::decodeLegacy(again) != decoded.text)
            std::abort();
    }
    return 0;
}
