#include "tools/untCariPlakaImport.h"

namespace kelvra {

TfrmCariPlakaImport* frmCariPlakaImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("CariPlakaImport");
    d.caption = QStringLiteral("Cari Plaka Aktarımı");
    d.clientSize = {299, 378};
    d.fileNameKey = QStringLiteral("CARIPLAKAFILENAME");
    d.layoutFile = QStringLiteral("CARIPLAKALIST.FMT");
    d.lineCounter = true;
    d.startCaption = QStringLiteral("Cari Plaka Aktarımına Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("CARİ KODU"), QStringLiteral("@CARIKODU"), true},
        {QStringLiteral("PLAKANO"), QStringLiteral("@PLAKANO"), true},
        {QStringLiteral("KEYNO"), QStringLiteral("@KEYNO"), true},
        {QStringLiteral("KARTNO"), QStringLiteral("@KARTNO"), true},
    };
    return d;
}

} // namespace

ImportProfile cariPlakaImportProfile()
{
    ImportProfile profile;
    profile.mandatory.names = {QStringLiteral("@CARIKODU")};
    profile.mandatory.message = QStringLiteral("Cari Kodu İşaretlenmesi Zorunlu Alandır.!");
    profile.confirmation = QStringLiteral("Cari Plaka Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Cari Plaka Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_AKARYAKIT_CARI_KEY_PLAKA_IMPORT;1");
    profile.progress = ProgressStyle::LineCounter;
    profile.beginBeforePrepare = true;
    return profile;
}

TfrmCariPlakaImport::TfrmCariPlakaImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    profile = cariPlakaImportProfile();

    edtTarih = new DateEdit(this);
    edtTarih->setObjectName(QStringLiteral("edtTarih"));
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral("Devir Tarihi"));
    sLabel1->setBuddy(edtTarih);
    addRow(RowAnchor::AfterFileName, {{sLabel1, 8, 81}, {edtTarih, 89, 100}});
    setTabChain(
        {edtConnStr, edtFileName, edtTarih, edtUserCode, btnUp, btnDown, lstFields, btnStart, btnClose, mMoLog});
}

void TfrmCariPlakaImport::FormCreate()
{
    // Every window starts with today's date, whatever the last one showed.
    edtTarih->setDate(QDate::currentDate());
    ToolWindow::FormCreate();
}

} // namespace kelvra
