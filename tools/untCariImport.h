#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Customer import: customers from a text file, one call of SP_CARI_MAIN_INSERT_FRANCHISE per line.
class TfrmCariImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmCariImport(QWidget* parent = nullptr);
};

extern TfrmCariImport* frmCariImport;

// The run of the customer import: its rule, texts, procedure and the "LIMIT" numbers.
ImportProfile cariImportProfile();

} // namespace kelvra
