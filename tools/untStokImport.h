#pragma once

#include "framework/ToolWindow.h"

#include <QCheckBox>
#include <functional>

namespace kelvra {

// Stock import: stock items from a text file, one call of SP_STOK_MAIN_INSERT_FRANCHISE per line, with the
// weighed-item flag and the no-update switch of the window.
class TfrmStokImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokImport(QWidget* parent = nullptr);

    QLineEdit* edtTart = nullptr;
    QCheckBox* chkStokUpdate = nullptr;
    QLabel* sLabel1 = nullptr; // "Tartılı Flag"
    QLabel* sLabel2 = nullptr; // "Örn.: 27,29"

protected:
    void loadSettingsAfterFileName() override;
    void loadSettingsAfterSymbols() override;
    void saveSettingsAfterFileName() override;
    void saveSettingsAfterSymbols() override;
};

extern TfrmStokImport* frmStokImport;

// What the stock import's run reads of its window, at each line.
struct StokImportInputs
{
    std::function<QString()> tartiliFlag; // edtTart, as typed
    std::function<bool()> noUpdate;       // chkStokUpdate
};

// The run of the stock import: its rule, texts, procedure, the "FIYAT" numbers, the two window values, the
// 20-character skip and the report of existing items.
ImportProfile stokImportProfile(StokImportInputs inputs);

// "STOKNOUPDATE" as stored: an integer whose lowest 8 bits decide the check mark; text that is no integer is 0.
bool noUpdateFromSetting(const QString& value);

} // namespace kelvra
