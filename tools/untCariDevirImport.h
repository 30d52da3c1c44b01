#pragma once

#include "framework/ToolWindow.h"

#include <functional>

namespace kelvra {

class DateEdit;

// Customer opening balance: one opening-balance document of customer balances, its header first, then one detail
// line per text line, stored whole or not at all.
class TfrmCariDevirImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmCariDevirImport(QWidget* parent = nullptr);

    DateEdit* edtTarih = nullptr;
    QLabel* sLabel1 = nullptr; // "Devir Tarihi"

    void FormCreate() override;
};

extern TfrmCariDevirImport* frmCariDevirImport;

// The run of the customer opening balance; date gives the document date as the date edit shows it.
ImportProfile cariDevirImportProfile(std::function<QString()> date);

} // namespace kelvra
