#pragma once

#include "framework/ToolWindow.h"

#include <QToolButton>
#include <functional>

namespace kelvra {

class PickList;

// Stock price import: prices of the chosen price type, one call per line; a failing line is logged and skipped.
class TfrmStokFiyatImport : public ToolWindow
{
    Q_OBJECT
public:
    explicit TfrmStokFiyatImport(QWidget* parent = nullptr);

    PickList* cbxFiyatTip = nullptr;
    QToolButton* btnFiyatTip = nullptr;
    QLabel* sLabel1 = nullptr; // "Fiyat Tipi"

    void FormCreate() override;
    void btnFiyatTipClick();
};

extern TfrmStokFiyatImport* frmStokFiyatImport;

struct StokFiyatInputs
{
    std::function<int()> fiyatTipCount; // entries of the price-type list
    std::function<qint32()> fiyatTipId; // the selected price type, read at each line; throws kelvra::Error when none
};

// The run of the stock price import.
ImportProfile stokFiyatImportProfile(StokFiyatInputs inputs);

} // namespace kelvra
