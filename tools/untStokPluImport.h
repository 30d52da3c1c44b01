#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Stock PLU update: the PLU numbers of stock items; a failing line is logged and skipped.
class TfrmStokPluImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokPluImport(QWidget* parent = nullptr);

    void FormCreate() override;
};

extern TfrmStokPluImport* frmStokPluImport;

// The run of the stock PLU update.
ImportProfile stokPluImportProfile();

} // namespace kelvra
