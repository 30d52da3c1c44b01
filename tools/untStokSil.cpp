#include "tools/untStokSil.h"

namespace kelvra {

TfrmStokSil* frmStokSil = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokSil");
    d.caption = QStringLiteral("Stok Silme");
    d.clientSize = {299, 395};
    d.startCaption = QStringLiteral("Stok Silme İşlemine Başla");
    return d;
}

} // namespace

DeletionProfile stokSilProfile()
{
    DeletionProfile profile;
    profile.groupProcedure = QStringLiteral("SP_STOK_GRUP_LIST;1");
    profile.specialCodeProcedure = QStringLiteral("SP_OZEL_KOD_STOK_LIST;1");
    profile.listProcedure = QStringLiteral("SP_STOK_MAIN_IMPORT_LIST;1");
    profile.deleteProcedure = QStringLiteral("SP_STOK_MAIN_IMPORT_DELETE;1");
    profile.codeField = QStringLiteral("STOKKODU");
    profile.codeParameter = QStringLiteral("@STOKKODU");
    profile.startText = QStringLiteral("Stok Silme İşlemi Başladı");
    profile.listFailedText = QStringLiteral("Stok Listelemede Hata :");
    profile.noRowsText = QStringLiteral("Gruba Atanmış Silinecek Stok Kaydı Bulunamadı");
    profile.deleteFailedText = QStringLiteral("Hata : Stok Kodu = ");
    return profile;
}

TfrmStokSil::TfrmStokSil(QWidget* parent) : DeletionWindow(definition(), stokSilProfile(), parent) {}

} // namespace kelvra
