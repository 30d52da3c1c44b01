#include "tools/untCariImport.h"

namespace kelvra {

TfrmCariImport* frmCariImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("CariImport");
    d.caption = QStringLiteral("Cari Aktarımı");
    d.clientSize = {299, 654};
    d.fileNameKey = QStringLiteral("CARIFILENAME");
    d.layoutFile = QStringLiteral("CARILIST.FMT");
    d.numberSymbols = true;
    d.startCaption = QStringLiteral("Cari Aktarımına Başla");
    d.defaultLayout = {
        {QStringLiteral("AKTİF"), QStringLiteral("@AKTIF"), false},
        {QStringLiteral("CARİ KODU"), QStringLiteral("@CARIKODU"), true},
        {QStringLiteral("CARİ ADI"), QStringLiteral("@CARIADI"), true},
        {QStringLiteral("TİP ADI"), QStringLiteral("@TIPADI"), false},
        {QStringLiteral("VERGİ DAİRESİ"), QStringLiteral("@VERGIDAIRESI"), false},
        {QStringLiteral("VERGİ NO"), QStringLiteral("@VERGINO"), true},
        {QStringLiteral("KREDİ LİMİTİ"), QStringLiteral("@KREDILIMITI"), false},
        {QStringLiteral("RİSK LİMİTİ"), QStringLiteral("@RISKLIMITI"), false},
        {QStringLiteral("INDIRIM"), QStringLiteral("@INDIRIM"), true},
        {QStringLiteral("GRUP ADI"), QStringLiteral("@GRUPADI"), false},
        {QStringLiteral("ÖDEME GÜNÜ"), QStringLiteral("@ODEMEGUNU"), false},
        {QStringLiteral("TAKSİT SAYISI"), QStringLiteral("@TAKSITSAYISI"), false},
        {QStringLiteral("RESİM YOLU"), QStringLiteral("@RESIM"), false},
        {QStringLiteral("EMAİL"), QStringLiteral("@EMAIL"), false},
        {QStringLiteral("WEB ADRESİ"), QStringLiteral("@WEBADRESI"), false},
        {QStringLiteral("AÇIKLAMA"), QStringLiteral("@ACIKLAMA"), false},
        {QStringLiteral("MUHASEBE KODU"), QStringLiteral("@MUHASEBEKODU"), false},
        {QStringLiteral("ŞUBE ADI"), QStringLiteral("@SUBEADI"), false},
        {QStringLiteral("ADRES"), QStringLiteral("@ADRES"), false},
        {QStringLiteral("İL"), QStringLiteral("@IL"), false},
        {QStringLiteral("İLÇE"), QStringLiteral("@ILCE"), false},
        {QStringLiteral("POSTA KODU"), QStringLiteral("@POSTAKODU"), false},
        {QStringLiteral("TELEFON"), QStringLiteral("@TELEFON"), false},
        {QStringLiteral("FAX"), QStringLiteral("@FAX"), false},
        {QStringLiteral("TCKIMLIKNO"), QStringLiteral("@TCKIMLIKNO"), false},
    };
    return d;
}

} // namespace

ImportProfile cariImportProfile()
{
    ImportProfile profile;
    profile.mandatory = {{QStringLiteral("@CARIKODU"), QStringLiteral("@CARIADI")}, false,
                         QStringLiteral("Cari Kodu ve Cari Adı Alanları İşaretlenmesi Zorunlu Alanlardır.!")};
    profile.confirmation = QStringLiteral("Cari Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Cari Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_CARI_MAIN_INSERT_FRANCHISE;1");
    profile.numeric = [](const QString& parameter) { return parameter.contains(QLatin1String("LIMIT")); };
    return profile;
}

TfrmCariImport::TfrmCariImport(QWidget* parent) : ToolWindow(definition(), parent) { profile = cariImportProfile(); }

} // namespace kelvra
