#include "tools/untStokFirmaKod.h"

namespace kelvra {

TfrmStokFirmaKod* frmStokFirmaKod = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokFirmaKod");
    d.caption = QStringLiteral("Stok Firma Kod Güncellemesi");
    d.clientSize = {299, 336};
    d.fileNameKey = QStringLiteral("FIRMAREFRESHFILENAME");
    d.layoutFile = QStringLiteral("FIRMAREFRESHLIST.FMT");
    d.startCaption = QStringLiteral("Güncellemeye Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("STOK KODU"), QStringLiteral("@STOKKODU"), true},
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), false},
        {QStringLiteral("FİRMA KODU"), QStringLiteral("@FIRMASTOKKODU"), true},
    };
    return d;
}

} // namespace

ImportProfile stokFirmaKodProfile(std::function<QString()> supplierCode)
{
    ImportProfile profile;
    // No item is mandatory: a layout with nothing checked still sends the supplier code on every line.
    profile.confirmation = QStringLiteral("Stok Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Firma Kodları Güncelleme Başladı");
    profile.procedure = QStringLiteral("SP_STOK_FIRMA_KODU_IMPORT_INSERT_UPDATE;1");
    profile.endText = QStringLiteral("Güncelleme Tamamlandı.");
    profile.checkAfterUserCode = [supplierCode]() {
        // Tested as typed: a blank is a code.
        return supplierCode().isEmpty() ? QStringLiteral("Cari Kodu Bilgisi Boş Geçilemez.!") : QString();
    };
    profile.beforeColumns = [supplierCode](LineContext& line) {
        // Read afresh for every line, so a code typed while the run pumps messages applies from the next line on;
        // a checked "@CARIKODU" column, bound afterwards, wins over the edit.
        line.spDo.setText(QStringLiteral("@CARIKODU"), supplierCode());
    };
    return profile;
}

TfrmStokFirmaKod::TfrmStokFirmaKod(QWidget* parent) : ToolWindow(definition(), parent)
{
    edtCariKodu = new QLineEdit(this);
    edtCariKodu->setObjectName(QStringLiteral("edtCariKodu"));
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral("Cari Kodu"));
    sLabel1->setBuddy(edtCariKodu);
    addRow(RowAnchor::AfterSymbols, {{sLabel1, 8, 81}, {edtCariKodu, 89, 141}});
    setTabChain(
        {edtConnStr, edtFileName, edtUserCode, edtCariKodu, btnUp, btnDown, lstFields, btnStart, btnClose, mMoLog});
    profile = stokFirmaKodProfile([this]() { return edtCariKodu->text(); });
}

} // namespace kelvra
