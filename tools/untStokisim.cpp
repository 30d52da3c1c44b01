#include "tools/untStokisim.h"

namespace kelvra {

TfrmStokisim* frmStokisim = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("Stokisim");
    d.caption = QStringLiteral("Stok İsim Güncelleme");
    d.clientSize = {299, 331};
    d.fileNameKey = QStringLiteral("STOKREFRESHFILENAME");
    d.layoutFile = QStringLiteral("STOKREFRESHLIST.FMT");
    d.startCaption = QStringLiteral("Güncellemeye Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("STOK KODU"), QStringLiteral("@STOKKODU"), true},
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), false},
        {QStringLiteral("STOK ADI"), QStringLiteral("@STOKADI"), true},
        {QStringLiteral("GRAMAJ"), QStringLiteral("@GRAMAJ"), false},
    };
    return d;
}

} // namespace

ImportProfile stokisimProfile()
{
    ImportProfile profile;
    // No mandatory item and no number normalisation: the weight goes exactly as written.
    profile.confirmation = QStringLiteral("Stok Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Stok İsim Güncelleme Başladı");
    profile.procedure = QStringLiteral("SP_STOK_MAIN_ISIM_UPDATE;1");
    profile.endText = QStringLiteral("Güncelleme Tamamlandı.");
    return profile;
}

TfrmStokisim::TfrmStokisim(QWidget* parent) : ToolWindow(definition(), parent)
{
    profile = stokisimProfile();
}

} // namespace kelvra
