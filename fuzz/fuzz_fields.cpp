// The field splitter and number normalisation on any line.
#include "framework/TextInput.h"

#include <QStringList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString line = kelvra::decodeText(bytes).text;
    QStringList fields;
    kelvra::splitFields(line, fields);
    // Nothing of the line is invented: every field is made of the line's characters.
    qsizetype total = 0;
    for (const QString& field : fields)
        total += field.size();
    if (total > line.size())
        std::abort();
    if (line.isEmpty() != fields.isEmpty())
        std::abort();
    // The first two characters as the file's symbols, the rest as the value.
    if (line.size() >= 2)
        (void)kelvra::normaliseNumber(line.mid(2), line.mid(0, 1), line.mid(1, 1), QStringLiteral(","));
    return 0;
}
