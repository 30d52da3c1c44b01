#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Supplier code update: for the supplier typed in edtCariKodu, the supplier's own code of each stock item from a
// text file, one call of SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE per line.
class TfrmStokFirmaKod : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokFirmaKod(QWidget* parent = nullptr);

    // The supplier's account code; empty in every new window and kept in no setting.
    QLineEdit* edtCariKodu = nullptr;
    QLabel* sLabel1 = nullptr;
};

extern TfrmStokFirmaKod* frmStokFirmaKod;

// The run of the supplier code update; supplierCode is read at each use (the check, and every line).
ImportProfile stokFirmaKodProfile(std::function<QString()> supplierCode);

} // namespace kelvra
