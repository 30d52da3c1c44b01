#pragma once

// The field layout: which column of the input file goes to which procedure parameter. Items, the layout file's
// line format and the parameter order a run derives from the checked items.

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace kelvra {

struct LayoutItem
{
    QString caption;
    QString parameter;
    bool checked = false;
    friend bool operator==(const LayoutItem&, const LayoutItem&) = default;
};

using FieldLayout = QList<LayoutItem>;

// One layout-file line: caption, "~", parameter name, "&", "1" or "0".
QString formatLayoutLine(const LayoutItem& item);
// Any line becomes an item, however malformed; see the .cpp for the character-position rules.
LayoutItem parseLayoutLine(const QString& line);

// Reads a layout file (same decoding as input files). Fails with the file-open error naming path and reason.
FieldLayout readLayoutFile(const QString& path);
// Writes the items, each line ending in CR LF, in the ANSI code page (UTF-8 with its mark when a character does
// not fit it). Fails with the file-create error naming path and reason.
void writeLayoutFile(const QString& path, const FieldLayout& layout);

// Column i of a line goes to the parameter named in slot i; slots 0 to 100.
struct ParameterOrder
{
    static constexpr int slotCount = 101;
    std::array<QString, slotCount> names;
    int filled = 0; // number of checked items placed
};

// The mandatory-field rule of a tool: items whose parameter is one of names (exact, case-sensitive) must be
// checked, or every item when everyItem is set. Only items present are looked at.
struct MandatoryRule
{
    QStringList names;
    bool everyItem = false;
    QString message;
    bool appliesTo(const LayoutItem& item) const { return everyItem || names.contains(item.parameter); }
    // At least one of the items whose parameter is one of these must be checked (a stock code "and/or" a
    // barcode); a layout that holds none of them passes.
    QStringList anyOf = {};
};

// The text shown when more items are checked than the parameter order has slots.
QString tooManyFieldsMessage();

// Clears the slots and refills them from the checked items in list order, applying the rule item by item first.
// Returns the message that refuses the run, or an empty string when the order was built.
QString buildParameterOrder(const FieldLayout& layout, const MandatoryRule& rule, ParameterOrder& order);

} // namespace kelvra
