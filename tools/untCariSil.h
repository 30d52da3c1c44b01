#pragma once

#include "framework/DeletionWindow.h"

namespace kelvra {

// Customer deletion: every customer of one customer group or special code, one deletion call at a time.
class TfrmCariSil : public DeletionWindow
{
    Q_OBJECT
public:
    explicit TfrmCariSil(QWidget* parent = nullptr);
};

extern TfrmCariSil* frmCariSil;

// The procedures, the listing's code column and the texts of the customer deletion.
DeletionProfile cariSilProfile();

} // namespace kelvra
