#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Chart of accounts import: account codes and descriptions from a text file, one call of
// SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE per line, with a line counter in lblBar instead of a progress bar.
class TfrmHesapPlaniImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmHesapPlaniImport(QWidget* parent = nullptr);
};

extern TfrmHesapPlaniImport* frmHesapPlaniImport;

// The run of the chart of accounts import: every item mandatory, the line counter, begin before prepare.
ImportProfile hesapPlaniImportProfile();

} // namespace kelvra
