#include "tools/untKrediKartImport.h"

namespace kelvra {

TfrmKrediKartImport* frmKrediKartImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("KrediKartImport");
    d.caption = QStringLiteral("Kredi Kartları Aktarımı");
    d.clientSize = {299, 486};
    d.fileNameKey = QStringLiteral("KKARTDEVIRFILENAME");
    // Layouts have always been saved under this name at run start, so it is also the name they are read from:
    // the layouts technicians already keep are found again.
    d.layoutFile = QStringLiteral("KKARTDEVIRLIST.FMT");
    d.numberSymbols = true;
    d.startCaption = QStringLiteral("Kredi Kart Aktarımına Başla");
    d.moveCaptions = false;
    d.defaultLayout = {
        {QStringLiteral("BANKA KODU"), QStringLiteral("@BANKAKODU"), true},
        {QStringLiteral("KART NO"), QStringLiteral("@KARTNO"), true},
        {QStringLiteral("KART SAHİBİ"), QStringLiteral("@KARTSAHIBI"), false},
        {QStringLiteral("KART TİPİ"), QStringLiteral("@KREDITIPADI"), false},
        {QStringLiteral("KART LİMİTİ"), QStringLiteral("@KARTLIMITI"), false},
        {QStringLiteral("HES.KES.GÜNÜ"), QStringLiteral("@HESAPKESIMGUNU"), false},
        {QStringLiteral("ÖDEME GÜNÜ"), QStringLiteral("@ODEMEGUNU"), false},
        {QStringLiteral("FAİZ ORANI"), QStringLiteral("@FAIZORANI"), false},
        {QStringLiteral("MUHASEBE KODU"), QStringLiteral("@MUHASEBEKODU"), false},
        {QStringLiteral("AÇIKLAMA"), QStringLiteral("@ACIKLAMA"), false},
    };
    return d;
}

} // namespace

ImportProfile krediKartImportProfile()
{
    ImportProfile profile;
    profile.checkSymbols = true;
    profile.mandatory.names = {QStringLiteral("@BANKAKODU"), QStringLiteral("@KARTNO")};
    profile.mandatory.message = QStringLiteral("Banka Kodu ve Kart No Alanları İşaretlenmesi Zorunlu Alanlardır.!");
    profile.confirmation = QStringLiteral("Kredi Kart Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Kredi Kart Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_BANKA_KREDI_KART_IMPORT;1");
    // Only the card limit is a number written with the file's symbols; the interest rate goes as read.
    profile.numeric = [](const QString& parameter) { return parameter == QLatin1String("@KARTLIMITI"); };
    return profile;
}

TfrmKrediKartImport::TfrmKrediKartImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    profile = krediKartImportProfile();
}

} // namespace kelvra
