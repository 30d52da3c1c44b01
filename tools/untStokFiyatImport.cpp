#include "tools/untStokFiyatImport.h"

#include "framework/Error.h"
#include "tools/PickList.h"

#include <QStyle>

namespace kelvra {

TfrmStokFiyatImport* frmStokFiyatImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokFiyatImport");
    d.caption = QStringLiteral("Stok Fiyat Aktarımı");
    d.clientSize = {299, 402};
    d.fileNameKey = QStringLiteral("STOKFIYATFILENAME");
    d.layoutFile = QStringLiteral("STOKFIYATLIST.FMT");
    d.numberSymbols = true;
    d.startCaption = QStringLiteral("Stok Fiyat Aktarımına Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("STOK KODU"), QStringLiteral("@STOKKODU"), true},
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), false},
        {QStringLiteral("FIYAT"), QStringLiteral("@FIYAT"), true},
    };
    return d;
}

const QString noFiyatTip = QStringLiteral("Fiyat Tipi Seçimi Yapılmamış.!");

} // namespace

ImportProfile stokFiyatImportProfile(StokFiyatInputs inputs)
{
    ImportProfile profile;
    // The price, and the item by its stock code and/or its barcode.
    profile.mandatory = {{QStringLiteral("@FIYAT")},
                         false,
                         QStringLiteral("Fiyat, Stok Kodu ve/veya Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!"),
                         {QStringLiteral("@STOKKODU"), QStringLiteral("@BARKOD")}};
    profile.confirmation = QStringLiteral("Stok Fiyatlarının Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Stok Fiyat Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_STOK_FIYAT_INSERT_FRANCHISE;1");
    profile.mode = TransactionMode::SkipFailingLines;
    profile.beginBeforePrepare = true;
    profile.checkSymbols = true;
    profile.numeric = [](const QString& parameter) { return parameter == QLatin1String("@FIYAT"); };
    profile.checkAfterConnect = [count = inputs.fiyatTipCount]() { return count() == 0 ? noFiyatTip : QString(); };
    // The price type chosen at this moment: a different pick made while the run pumps messages applies from the
    // next line on.
    profile.beforeColumns = [id = inputs.fiyatTipId](LineContext& line) {
        line.spDo.setInt32(QStringLiteral("@FIYATTIPID"), id());
    };
    return profile;
}

TfrmStokFiyatImport::TfrmStokFiyatImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    cbxFiyatTip = new PickList(this);
    cbxFiyatTip->setObjectName(QStringLiteral("cbxFiyatTip"));
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral("Fiyat Tipi"));
    sLabel1->setBuddy(cbxFiyatTip);
    btnFiyatTip = new QToolButton(this);
    btnFiyatTip->setObjectName(QStringLiteral("btnFiyatTip"));
    btnFiyatTip->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    btnFiyatTip->setToolTip(QStringLiteral("Fiyat Tiplerini Getir"));
    btnFiyatTip->setFocusPolicy(Qt::NoFocus);
    connect(btnFiyatTip, &QToolButton::clicked, this, [this]() { guarded(this, [this]() { btnFiyatTipClick(); }); });
    addRow(RowAnchor::AfterFileName, {{sLabel1, 8, 81}, {cbxFiyatTip, 89, 183}, {btnFiyatTip, 275, 21}});

    setTabChain({edtConnStr, edtFileName, cbxFiyatTip, edtUserCode, edtOndalik, edtBasamak, btnUp, btnDown, lstFields,
                 btnStart, btnClose, mMoLog});
    profile = stokFiyatImportProfile({[this]() { return cbxFiyatTip->count(); },
                                      [this]() {
                                          const TID* fiyatTip = cbxFiyatTip->selectedID();
                                          if (!fiyatTip)
                                              throw Error(noFiyatTip);
                                          return fiyatTip->fID;
                                      }});
}

void TfrmStokFiyatImport::FormCreate()
{
    // A price call that runs for minutes is waited for.
    spDo.setCommandTimeout(600000);
    ToolWindow::FormCreate();
}

void TfrmStokFiyatImport::btnFiyatTipClick()
{
    // Connecting would close the link under a running run and roll its lines back.
    if (isRunning())
        return;
    fillPickList(*this, *cbxFiyatTip, QStringLiteral("SP_FIYAT_TIP_LIST;1"), QStringLiteral("ACIKLAMA"));
}

} // namespace kelvra
