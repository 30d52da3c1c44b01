#pragma once

#include "framework/ToolWindow.h"

#include <QToolButton>
#include <functional>

namespace kelvra {

class DateEdit;
class PickList;

// Stock opening balance: one opening-balance document of stock balances in the chosen warehouse, its header
// first, then one detail line per text line, stored whole or not at all.
class TfrmStokDevirImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokDevirImport(QWidget* parent = nullptr);

    DateEdit* edtTarih = nullptr;
    PickList* cbxDepo = nullptr;
    QToolButton* btnDepo = nullptr;
    QLabel* sLabel1 = nullptr; // "Devir Tarihi"
    QLabel* sLabel2 = nullptr; // "Depo Adı"

    void FormCreate() override;
    void btnDepoClick();
};

extern TfrmStokDevirImport* frmStokDevirImport;

struct StokDevirInputs
{
    std::function<QString()> date;  // the date edit, as shown
    std::function<int()> depoCount; // entries of the warehouse list
    std::function<qint32()> depoId; // the selected warehouse; throws kelvra::Error when none is selected
};

// The run of the stock opening balance.
ImportProfile stokDevirImportProfile(StokDevirInputs inputs);

} // namespace kelvra
