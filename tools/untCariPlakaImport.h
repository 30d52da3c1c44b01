#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Customer plate import: fuel customers' plates with key and card numbers from a text file, one call of
// SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT per line, with a line counter in lblBar instead of a progress bar.
class TfrmCariPlakaImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmCariPlakaImport(QWidget* parent = nullptr);

    // Today's date, shown as the window opens; it is kept nowhere and sent nowhere.
    DateEdit* edtTarih = nullptr;
    QLabel* sLabel1 = nullptr;

    void FormCreate() override;
};

extern TfrmCariPlakaImport* frmCariPlakaImport;

// The run of the customer plate import: the customer code mandatory, the line counter, begin before prepare.
ImportProfile cariPlakaImportProfile();

} // namespace kelvra
