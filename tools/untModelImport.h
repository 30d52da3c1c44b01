#pragma once

#include "framework/ToolWindow.h"

namespace kelvra {

// Model and stock import: models with their size and colour variants from a text file, one call of
// SP_MODEL_INSERT_FRANCHISE per line, with the model detail table's insert trigger switched off for the run.
class TfrmModelImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmModelImport(QWidget* parent = nullptr);

    // The link's plain SQL command: the two trigger statements.
    db::SqlCommand QryGenel{ConnDB, QStringLiteral("QryGenel")};
    QLabel* sLabel1 = nullptr; // the green note
};

extern TfrmModelImport* frmModelImport;

// The run of the model import: every item mandatory, the eight line defaults, "DİĞER" for empty columns, the
// "FIYAT" numbers and the trigger statements on QryGenel.
ImportProfile modelImportProfile(db::SqlCommand& QryGenel);

} // namespace kelvra
