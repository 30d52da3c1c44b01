#include "tools/untStokGramajImport.h"

namespace kelvra {

TfrmStokGramajImport* frmStokGramajImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokGramajImport");
    d.caption = QStringLiteral("Stok Gramaj Güncelleme");
    d.clientSize = {299, 366};
    d.fileNameKey = QStringLiteral("STOKGRAMAJFILENAME");
    d.layoutFile = QStringLiteral("STOKGRAMAJLIST.FMT");
    d.startCaption = QStringLiteral("Gramaj Güncelle");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), true},
        {QStringLiteral("GRAMAJ"), QStringLiteral("@GRAMAJ"), true},
        {QStringLiteral("GRAMAJTIPI"), QStringLiteral("@GRAMAJTIPI"), true},
    };
    return d;
}

} // namespace

ImportProfile stokGramajImportProfile()
{
    ImportProfile profile;
    profile.mandatory = {{QStringLiteral("@BARKOD"), QStringLiteral("@GRAMAJ"), QStringLiteral("@GRAMAJTIPI")},
                         false,
                         QStringLiteral("Gramaj, Gramaj Tipi ve Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!")};
    profile.confirmation = QStringLiteral("Gramajları Güncelleme Yapmak İstiyor musunuz?");
    profile.startText = QStringLiteral("Stok Gramaj Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_STOK_MAIN_GRAMAJ_UPDATE;1");
    profile.mode = TransactionMode::SkipFailingLines;
    profile.beginBeforePrepare = true;
    return profile;
}

TfrmStokGramajImport::TfrmStokGramajImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral(" NOT :  GRAMAJ TIPI 0 = GRAMAJLI 1 = ADETLİ ÜRÜN"));
    sLabel1->setStyleSheet(QStringLiteral("color: red;"));
    setBottomNote(sLabel1);
    profile = stokGramajImportProfile();
}

void TfrmStokGramajImport::FormCreate()
{
    // An update call that runs for minutes is waited for.
    spDo.setCommandTimeout(600000);
    ToolWindow::FormCreate();
}

} // namespace kelvra
