#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Stock origin update: the origin of the items the file names by barcode; a failing line is logged and skipped.
class TfrmStokMenseiImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokMenseiImport(QWidget* parent = nullptr);

    void FormCreate() override;
};

extern TfrmStokMenseiImport* frmStokMenseiImport;

// The run of the stock origin update.
ImportProfile stokMenseiImportProfile();

} // namespace kelvra
