#include "tools/untCariDevirImport.h"

#include "framework/Controls.h"
#include "tools/OpeningBalance.h"

namespace kelvra {

TfrmCariDevirImport* frmCariDevirImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("CariDevirImport");
    d.caption = QStringLiteral("Cari Bakiye Aktarımı");
    d.clientSize = {299, 395};
    d.fileNameKey = QStringLiteral("CARIDEVIRFILENAME");
    d.layoutFile = QStringLiteral("CARIDEVIRLIST.FMT");
    d.numberSymbols = true;
    d.startCaption = QStringLiteral("Cari Bakiye Aktarımına Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("CARİ KODU"), QStringLiteral("@KALEMKODU"), true},
        {QStringLiteral("BAKIYE"), QStringLiteral("@BAKIYE"), true},
    };
    return d;
}

} // namespace

ImportProfile cariDevirImportProfile(std::function<QString()> date)
{
    ImportProfile profile;
    profile.mandatory = {{QStringLiteral("@BAKIYE"), QStringLiteral("@KALEMKODU")},
                         false,
                         QStringLiteral("Bakiye ve Cari Kodu Alanları İşaretlenmesi Zorunlu Alanlardır.!")};
    profile.confirmation = QStringLiteral("Cari Bakiye Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Cari Bakiye Aktarımı Başladı");
    profile.checkSymbols = true;
    profile.numeric = [](const QString& parameter) { return parameter == QLatin1String("@BAKIYE"); };
    addOpeningBalanceDocument(profile, {std::move(date), 0, {}});
    return profile;
}

TfrmCariDevirImport::TfrmCariDevirImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    edtTarih = new DateEdit(this);
    edtTarih->setObjectName(QStringLiteral("edtTarih"));
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral("Devir Tarihi"));
    sLabel1->setBuddy(edtTarih);
    addRow(RowAnchor::AfterFileName, {{sLabel1, 8, 81}, {edtTarih, 89, 100}});
    setTabChain({edtConnStr, edtFileName, edtTarih, edtUserCode, edtOndalik, edtBasamak, btnUp, btnDown, lstFields,
                 btnStart, btnClose, mMoLog});
    profile = cariDevirImportProfile([this]() { return edtTarih->text(); });
}

void TfrmCariDevirImport::FormCreate()
{
    // Every window starts with today's date; the date is kept in no setting.
    edtTarih->setDate(QDate::currentDate());
    ToolWindow::FormCreate();
}

} // namespace kelvra
