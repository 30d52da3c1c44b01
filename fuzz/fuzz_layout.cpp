// The layout-file line parser, and a layout written and read back.
#include "framework/FieldLayout.h"
#include "framework/TextInput.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = kelvra::splitLines(kelvra::decodeText(bytes).text);
    kelvra::FieldLayout layout;
    for (const QString& line : lines) {
        const kelvra::LayoutItem item = kelvra::parseLayoutLine(line);
        layout.append(item);
        // An item whose caption and parameter hold no separator survives its own line.
        if (!item.caption.contains(u'~') && !item.caption.contains(u'&') && !item.parameter.contains(u'~') &&
            !item.parameter.contains(u'&')) {
            const kelvra::LayoutItem again = kelvra::parseLayoutLine(kelvra::formatLayoutLine(item));
            if (again.caption != item.caption || again.parameter != item.parameter || again.checked != item.checked)
                std::abort();
        }
    }
    kelvra::ParameterOrder order;
    (void)kelvra::buildParameterOrder(layout, {{QStringLiteral("@CARIKODU")}, false, QStringLiteral("x")}, order);
    if (order.filled > kelvra::ParameterOrder::slotCount)
        std::abort();
    return 0;
}
