#pragma once

#include "framework/DeletionWindow.h"

namespace kelvra {

// Stock deletion: every stock item of one stock group or special code, one deletion call at a time.
class TfrmStokSil : public DeletionWindow
{
    Q_OBJECT
public:
    explicit TfrmStokSil(QWidget* parent = nullptr);
};

extern TfrmStokSil* frmStokSil;

// The procedures, the listing's code column and the texts of the stock deletion.
DeletionProfile stokSilProfile();

} // namespace kelvra
