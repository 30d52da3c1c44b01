#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Stock name and barcode update: names, barcodes and weights of existing stock items from a text file, one call
// of SP_STOK_MAIN_ISIM_UPDATE per line.
class TfrmStokisim : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokisim(QWidget* parent = nullptr);
};

extern TfrmStokisim* frmStokisim;

// The run of the stock name update: no mandatory item, nothing normalised.
ImportProfile stokisimProfile();

} // namespace kelvra
