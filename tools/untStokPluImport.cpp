#include "tools/untStokPluImport.h"

namespace kelvra {

TfrmStokPluImport* frmStokPluImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokPluImport");
    d.caption = QStringLiteral("Stok Plu Güncelleme");
    d.clientSize = {299, 343};
    d.fileNameKey = QStringLiteral("STOKPLUFILENAME");
    d.layoutFile = QStringLiteral("STOKPLULIST.FMT");
    d.startCaption = QStringLiteral("PluNo Güncelle");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), false},
        {QStringLiteral("PLUNO"), QStringLiteral("@PLUNO"), true},
    };
    return d;
}

} // namespace

ImportProfile stokPluImportProfile()
{
    ImportProfile profile;
    // The PLU number, and the item by its stock code and/or its barcode.
    profile.mandatory = {{QStringLiteral("@PLUNO")},
                         false,
                         QStringLiteral("Plu, Stok Kodu ve/veya Barkod Alanları İşaretlenmesi Zorunlu Alanlardır.!"),
                         {QStringLiteral("@STOKKODU"), QStringLiteral("@BARKOD")}};
    profile.confirmation = QStringLiteral("PluNoları Güncelleme Yapmak İstiyor musunuz?");
    profile.startText = QStringLiteral("Stok Plu Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_STOK_MAIN_PLU_UPDATE;1");
    profile.mode = TransactionMode::SkipFailingLines;
    profile.beginBeforePrepare = true;
    return profile;
}

TfrmStokPluImport::TfrmStokPluImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    profile = stokPluImportProfile();
}

void TfrmStokPluImport::FormCreate()
{
    // An update call that runs for minutes is waited for.
    spDo.setCommandTimeout(600000);
    ToolWindow::FormCreate();
}

} // namespace kelvra
