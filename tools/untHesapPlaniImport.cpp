#include "tools/untHesapPlaniImport.h"

namespace kelvra {

TfrmHesapPlaniImport* frmHesapPlaniImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("HesapPlaniImport");
    d.caption = QStringLiteral("Hesap Planı Aktarımı");
    d.clientSize = {299, 343};
    d.fileNameKey = QStringLiteral("HESAPPLANIFILENAME");
    d.layoutFile = QStringLiteral("HESAPPLANILIST.FMT");
    d.lineCounter = true;
    d.startCaption = QStringLiteral("Hesap Plani Aktarımına Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("MUHASEBE KODU"), QStringLiteral("@MUHASEBEKODU"), true},
        {QStringLiteral("ACIKLAMA"), QStringLiteral("@ACIKLAMA"), true},
    };
    return d;
}

} // namespace

ImportProfile hesapPlaniImportProfile()
{
    ImportProfile profile;
    // Every item of the layout, whatever its parameter, must be checked: the file has exactly these columns.
    profile.mandatory.everyItem = true;
    profile.mandatory.message = QStringLiteral("Tüm Alanların İşaretlenmesi Zorunludur.!");
    profile.confirmation = QStringLiteral("Hesap Planı Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Hesap Planı Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_MUHASEBE_HESAP_PLANI_INSERT_UPDATE;1");
    profile.progress = ProgressStyle::LineCounter;
    profile.beginBeforePrepare = true;
    return profile;
}

TfrmHesapPlaniImport::TfrmHesapPlaniImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    profile = hesapPlaniImportProfile();
}

} // namespace kelvra
