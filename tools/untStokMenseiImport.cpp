#include "tools/untStokMenseiImport.h"

namespace kelvra {

TfrmStokMenseiImport* frmStokMenseiImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokMenseiImport");
    d.caption = QStringLiteral("Stok Menşei Güncelleme");
    d.clientSize = {299, 366};
    d.fileNameKey = QStringLiteral("STOKMENSEIFILENAME");
    d.layoutFile = QStringLiteral("STOKMENSEILIST.FMT");
    d.startCaption = QStringLiteral("Menşei Güncelle");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), true},
        {QStringLiteral("MENSEI"), QStringLiteral("@MENSEI"), true},
    };
    return d;
}

} // namespace

ImportProfile stokMenseiImportProfile()
{
    ImportProfile profile;
    profile.mandatory = {{QStringLiteral("@MENSEI"), QStringLiteral("@BARKOD")},
                         false,
                         QStringLiteral("Menşei ve Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!")};
    profile.confirmation = QStringLiteral("Menşei Güncelleme Yapmak İstiyor musunuz?");
    profile.startText = QStringLiteral("Stok Menşei Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_STOK_MAIN_MENSEI_UPDATE;1");
    profile.mode = TransactionMode::SkipFailingLines;
    profile.beginBeforePrepare = true;
    return profile;
}

TfrmStokMenseiImport::TfrmStokMenseiImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    profile = stokMenseiImportProfile();
}

void TfrmStokMenseiImport::FormCreate()
{
    // An update call that runs for minutes is waited for.
    spDo.setCommandTimeout(600000);
    ToolWindow::FormCreate();
}

} // namespace kelvra
