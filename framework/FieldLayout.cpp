#include "framework/FieldLayout.h"

#include "framework/Error.h"
#include "framework/TextInput.h"


namespace kelvra {

QString formatLayoutLine(const LayoutItem& item)
{
    return item.caption + QLatin1Char('~') + item.parameter + QLatin1Char('&') +
           (item.checked ? QLatin1Char('1') : QLatin1Char('0'));
}

namespace {

// Characters of s from 1-based position start, at most count of them; nothing for a start past the end or a
// count of zero or less.
QString copy(const QString& s, qsizetype start, qsizetype count)
{
    if (count <= 0 || start > s.size())
        return {};
    if (start < 1) {
        count += start - 1;
        start = 1;
        if (count <= 0)
            return {};
    }
    return s.mid(start - 1, count);
}

} // namespace

LayoutItem parseLayoutLine(const QString& s)
{
    // Positions count from 1; 0 stands for a missing "~" or "&".
    const qsizetype t = s.indexOf(QLatin1Char('~')) + 1;
    const qsizetype a = s.indexOf(QLatin1Char('&')) + 1;

    LayoutItem item;
    item.caption = copy(s, 1, t - 1);
    const qsizetype captionLength = item.caption.size();
    item.parameter = copy(s, t + 1, a - captionLength - 2);

    // The flag digit after the ampersand decides the check mark (the first character when there is no "&"):
    // odd digits check, even ones uncheck, anything else or nothing checks.
    const QString flag = copy(s, a + 1, 1);
    int number = 1;
    if (!flag.isEmpty() && flag[0] >= QLatin1Char('0') && flag[0] <= QLatin1Char('9'))
        number = flag[0].unicode() - '0';
    item.checked = number % 2 == 1;
    return item;
}

FieldLayout readLayoutFile(const QString& path)
{
    FieldLayout layout;
    for (const QString& line : readTextFile(path).lines())
        layout.append(parseLayoutLine(line));
    return layout;
}

void writeLayoutFile(const QString& path, const FieldLayout& layout)
{
    QString text;
    for (const LayoutItem& item : layout)
        text += formatLayoutLine(item) + QLatin1String("\r\n");
    writeWholeFile(path, encodeForFile(text));
}

QString tooManyFieldsMessage()
{
    return QStringLiteral("En Fazla %1 Alan İşaretlenebilir.!").arg(ParameterOrder::slotCount);
}

QString buildParameterOrder(const FieldLayout& layout, const MandatoryRule& rule, ParameterOrder& order)
{
    order.names.fill(QString());
    order.filled = 0;
    for (const LayoutItem& item : layout) {
        if (!item.checked && rule.appliesTo(item))
            return rule.message;
        if (!item.checked)
            continue;
        if (order.filled == ParameterOrder::slotCount)
            return tooManyFieldsMessage();
        order.names[order.filled++] = item.parameter;
    }
    if (!rule.anyOf.isEmpty()) {
        bool present = false;
        for (const LayoutItem& item : layout) {
            if (!rule.anyOf.contains(item.parameter))
                continue;
            if (item.checked)
                return {};
            present = true;
        }
        if (present)
            return rule.message;
    }
    return {};
}

} // namespace kelvra
