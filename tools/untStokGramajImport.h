#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Stock weight update: weight and weight type of the items the file names by barcode; a failing line is logged
// and skipped.
class TfrmStokGramajImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokGramajImport(QWidget* parent = nullptr);

    QLabel* sLabel1 = nullptr; // the note on the weight types

    void FormCreate() override;
};

extern TfrmStokGramajImport* frmStokGramajImport;

// The run of the stock weight update.
ImportProfile stokGramajImportProfile();

} // namespace kelvra
