#pragma once

// Pick lists of database entries (price types, warehouses): each entry shows a name and carries a TID holding the
// entry's database ID.

#include <QComboBox>
#include <QObject>

namespace kelvra {

class ToolWindow;

// One database ID, attached to a pick-list entry.
class TID : public QObject
{
    Q_OBJECT
public:
    explicit TID(qint32 AID, QObject* owner = nullptr) : QObject(owner), fID(AID) {}
    qint32 fID;
};

// A drop-down list the user can only pick from. It owns the TIDs of its entries: replacing the entries or
// destroying the list frees them.
class PickList : public QComboBox
{
    Q_OBJECT
public:
    explicit PickList(QWidget* parent = nullptr);

    void clearEntries();
    void appendEntry(const QString& text, qint32 id);
    TID* entryID(int index) const;
    // The TID of the selected entry; nullptr when none is selected.
    TID* selectedID() const { return entryID(currentIndex()); }
};

// Fills a pick list from a list procedure of the window's link: connect (a failure is shown and leaves the list
// as it was), open the rows, replace the entries with one per row (its idColumn as the TID, its textColumn as
// the text), select the first, close the command and the link. An error after connecting is not caught here; it
// leaves the link open, the entries read so far in the list and none selected.
void fillPickList(ToolWindow& window, PickList& list, const QString& procedure, const QString& textColumn,
                  const QString& idColumn = QStringLiteral("ID"));

} // namespace kelvra
