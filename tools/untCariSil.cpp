#include "tools/untCariSil.h"

namespace kelvra {

TfrmCariSil* frmCariSil = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("CariSil");
    d.caption = QStringLiteral("Cari Silme");
    d.clientSize = {299, 395};
    d.startCaption = QStringLiteral("Cari Silme İşlemine Başla");
    return d;
}

} // namespace

DeletionProfile cariSilProfile()
{
    DeletionProfile profile;
    profile.groupProcedure = QStringLiteral("SP_CARI_GRUP_LIST;1");
    profile.specialCodeProcedure = QStringLiteral("SP_OZEL_KOD_CARI_LIST;1");
    profile.listProcedure = QStringLiteral("SP_CARI_MAIN_IMPORT_LIST;1");
    profile.deleteProcedure = QStringLiteral("SP_CARI_MAIN_IMPORT_DELETE;1");
    profile.codeField = QStringLiteral("CARIKODU");
    profile.codeParameter = QStringLiteral("@CARIKODU");
    profile.startText = QStringLiteral("Cari Silme İşlemi Başladı");
    profile.listFailedText = QStringLiteral("Cari Listelemede Hata :");
    profile.noRowsText = QStringLiteral("Gruba Atanmış Silinecek Cari Kaydı Bulunamadı");
    profile.deleteFailedText = QStringLiteral("Hata : Cari Kodu = ");
    return profile;
}

TfrmCariSil::TfrmCariSil(QWidget* parent) : DeletionWindow(definition(), cariSilProfile(), parent) {}

} // namespace kelvra
