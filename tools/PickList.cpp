#include "tools/PickList.h"

#include "framework/Error.h"
#include "framework/MessageBoxes.h"
#include "framework/ToolWindow.h"

namespace kelvra {

PickList::PickList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
}

void PickList::clearEntries()
{
    QList<TID*> owned;
    for (int i = 0; i < count(); ++i)
        owned << entryID(i);
    clear();
    qDeleteAll(owned);
}

void PickList::appendEntry(const QString& text, qint32 id)
{
    addItem(text, QVariant::fromValue(static_cast<QObject*>(new TID(id, this))));
}

TID* PickList::entryID(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return qobject_cast<TID*>(itemData(index).value<QObject*>());
}

void fillPickList(ToolWindow& window, PickList& list, const QString& procedure, const QString& textColumn,
                  const QString& idColumn)
{
    try {
        window.ConnDB.connect(window.edtConnStr->text(), window.edtUserCode->text());
    } catch (const Error& e) {
        showMessage(&window, ImportRun::connectFailedText(e.message()));
        return;
    }
    db::ProcedureCommand& spDo = window.spDo;
    spDo.close();
    spDo.prepare(procedure);
    spDo.open();
    list.clearEntries();
    try {
        for (; !spDo.eof(); spDo.next()) {
            const qint32 id = spDo.fieldInt32(idColumn);
            list.appendEntry(spDo.fieldText(textColumn), id);
        }
    } catch (...) {
        list.setCurrentIndex(-1);
        throw;
    }
    list.setCurrentIndex(list.count() > 0 ? 0 : -1);
    spDo.close();
    window.ConnDB.close();
}

} // namespace kelvra
