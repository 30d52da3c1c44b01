#include "tools/untStokDevirImport.h"

#include "framework/Controls.h"
#include "framework/Error.h"
#include "tools/OpeningBalance.h"
#include "tools/PickList.h"

#include <QStyle>

namespace kelvra {

TfrmStokDevirImport* frmStokDevirImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokDevirImport");
    d.caption = QStringLiteral("Stok Bakiye Aktarımı");
    d.clientSize = {299, 425};
    d.fileNameKey = QStringLiteral("STOKDEVIRFILENAME");
    d.layoutFile = QStringLiteral("STOKDEVIRLIST.FMT");
    d.numberSymbols = true;
    d.startCaption = QStringLiteral("Stok Bakiye Aktarımına Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("STOK KODU"), QStringLiteral("@KALEMKODU"), true},
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), false},
        {QStringLiteral("BAKIYE"), QStringLiteral("@BAKIYE"), true},
        {QStringLiteral("KDV HARİÇ ALIŞ FİYATI"), QStringLiteral("@BIRIMFIYATI"), false},
    };
    return d;
}

const QString noDepo = QStringLiteral("Depo Seçimi Yapılmamış.!");

} // namespace

ImportProfile stokDevirImportProfile(StokDevirInputs inputs)
{
    ImportProfile profile;
    // The balance, and the item by its stock code and/or its barcode.
    profile.mandatory = {{QStringLiteral("@BAKIYE")},
                         false,
                         QStringLiteral("Bakiye, Stok Kodu ve/veya Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!"),
                         {QStringLiteral("@KALEMKODU"), QStringLiteral("@BARKOD")}};
    profile.confirmation = QStringLiteral("Stok Bakiye Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Stok Bakiye Aktarımı Başladı");
    profile.checkSymbols = true;
    profile.numeric = [](const QString& parameter) {
        return parameter == QLatin1String("@BAKIYE") || parameter == QLatin1String("@BIRIMFIYATI");
    };
    profile.checkAfterConnect = [depoCount = inputs.depoCount]() { return depoCount() == 0 ? noDepo : QString(); };
    addOpeningBalanceDocument(profile, {std::move(inputs.date), 1, std::move(inputs.depoId)});
    return profile;
}

TfrmStokDevirImport::TfrmStokDevirImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    edtTarih = new DateEdit(this);
    edtTarih->setObjectName(QStringLiteral("edtTarih"));
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral("Devir Tarihi"));
    sLabel1->setBuddy(edtTarih);
    addRow(RowAnchor::AfterFileName, {{sLabel1, 8, 81}, {edtTarih, 89, 100}});

    cbxDepo = new PickList(this);
    cbxDepo->setObjectName(QStringLiteral("cbxDepo"));
    sLabel2 = makeLabel(QStringLiteral("sLabel2"), QStringLiteral("Depo Adı"));
    sLabel2->setBuddy(cbxDepo);
    btnDepo = new QToolButton(this);
    btnDepo->setObjectName(QStringLiteral("btnDepo"));
    btnDepo->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    btnDepo->setToolTip(QStringLiteral("Depo Bilgilerini Getir"));
    btnDepo->setFocusPolicy(Qt::NoFocus);
    connect(btnDepo, &QToolButton::clicked, this, [this]() { guarded(this, [this]() { btnDepoClick(); }); });
    addRow(RowAnchor::AfterFileName, {{sLabel2, 8, 81}, {cbxDepo, 89, 183}, {btnDepo, 275, 21}});

    setTabChain({edtConnStr, edtFileName, edtTarih, cbxDepo, edtUserCode, edtOndalik, edtBasamak, btnUp, btnDown,
                 lstFields, btnStart, btnClose, mMoLog});
    profile = stokDevirImportProfile({[this]() { return edtTarih->text(); }, [this]() { return cbxDepo->count(); },
                                      [this]() {
                                          const TID* depo = cbxDepo->selectedID();
                                          if (!depo)
                                              throw Error(noDepo);
                                          return depo->fID;
                                      }});
}

void TfrmStokDevirImport::FormCreate()
{
    // Every window starts with today's date; the date is kept in no setting.
    edtTarih->setDate(QDate::currentDate());
    ToolWindow::FormCreate();
}

void TfrmStokDevirImport::btnDepoClick()
{
    // Connecting would close the link under a running run and roll its document back.
    if (isRunning())
        return;
    fillPickList(*this, *cbxDepo, QStringLiteral("SP_DEPO_MAIN_LIST;1"), QStringLiteral("DEPOADI"));
}

} // namespace kelvra
