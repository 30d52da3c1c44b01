#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Credit card import: bank credit cards from a text file, one call of SP_BANKA_KREDI_KART_IMPORT per line.
class TfrmKrediKartImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmKrediKartImport(QWidget* parent = nullptr);
};

extern TfrmKrediKartImport* frmKrediKartImport;

// The run of the credit card import: the symbol check, its rule, texts, procedure and the card limit number.
ImportProfile krediKartImportProfile();

} // namespace kelvra
