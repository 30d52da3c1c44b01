#include "tools/untStokImport.h"

#include "framework/untGeneral.h"

#include <memory>

namespace kelvra {

TfrmStokImport* frmStokImport = nullptr;

namespace {

const QString section = QStringLiteral("IMPORT");

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("StokImport");
    d.caption = QStringLiteral("Stok Aktarımı");
    d.clientSize = {299, 684};
    d.fileNameKey = QStringLiteral("STOKFILENAME");
    d.layoutFile = QStringLiteral("STOKLIST.FMT");
    d.numberSymbols = true;
    d.startCaption = QStringLiteral("Stok Aktarımına Başla");
    d.defaultLayout = {
        {QStringLiteral("STOK KODU"), QStringLiteral("@STOKKODU"), true},
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), false},
        {QStringLiteral("STOK ADI"), QStringLiteral("@STOKADI"), true},
        {QStringLiteral("KISA ADI"), QStringLiteral("@KISAADI"), false},
        {QStringLiteral("TOPTAN KDV"), QStringLiteral("@TOPTANKDV"), false},
        {QStringLiteral("PERAKENDE KDV"), QStringLiteral("@PERAKENDEKDV"), true},
        {QStringLiteral("DEPARTMAN NO"), QStringLiteral("@DEPTNO"), false},
        {QStringLiteral("TARTILI"), QStringLiteral("@TARTILI"), false},
        {QStringLiteral("BIRIM1"), QStringLiteral("@BIRIM1"), true},
        {QStringLiteral("BIRIM2"), QStringLiteral("@BIRIM2"), false},
        {QStringLiteral("BIRIM ÇARPAN 2"), QStringLiteral("@BIRIMCARPAN2"), false},
        {QStringLiteral("BIRIM 3"), QStringLiteral("@BIRIM3"), false},
        {QStringLiteral("BIRIM ÇARPAN 3"), QStringLiteral("@BIRIMCARPAN3"), false},
        {QStringLiteral("GRUP NO"), QStringLiteral("@GRUPNO"), false},
        {QStringLiteral("GRAMAJ"), QStringLiteral("@GRAMAJ"), false},
        {QStringLiteral("KAR %"), QStringLiteral("@KARYUZDE"), false},
        {QStringLiteral("MASRAF %"), QStringLiteral("@MASRAFYUZDE"), false},
        {QStringLiteral("VADE"), QStringLiteral("@VADE"), false},
        {QStringLiteral("PLUNO"), QStringLiteral("@PLUNO"), false},
        {QStringLiteral("TAKSİT SAYISI"), QStringLiteral("@TAKSITSAYISI"), false},
        {QStringLiteral("ALIŞ FİYATI"), QStringLiteral("@ALISFIYATI"), false},
        {QStringLiteral("SATIŞ FİYATI"), QStringLiteral("@SATISFIYATI"), false},
        {QStringLiteral("2. SATIŞ FİYATI"), QStringLiteral("@SATISFIYATI2"), false},
        {QStringLiteral("AÇIKLAMA"), QStringLiteral("@ACIKLAMA"), false},
        {QStringLiteral("RESİM YOLU"), QStringLiteral("@RESIM"), false},
        {QStringLiteral("AKTİF"), QStringLiteral("@AKTIF"), false},
        {QStringLiteral("DETAYNO"), QStringLiteral("@DETAYNO"), false},
    };
    return d;
}

// Blank when nothing but blanks and control characters is left after trimming them from both ends.
bool isBlank(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > ' ')
            return false;
    return true;
}

// What one run remembers: the too-long flag of the current line, and the stock code and name last bound (kept
// from line to line, so a line without them names those of an earlier one).
struct StokRun
{
    bool tooLong = false;
    QString stokKodu;
    QString stokAdi;
};

const QString stokKoduParameter = QStringLiteral("@STOKKODU");
const QString barkodParameter = QStringLiteral("@BARKOD");
const QString stokAdiParameter = QStringLiteral("@STOKADI");
constexpr int longestCode = 20;
constexpr qint32 existsUnchanged = -2;

} // namespace

bool noUpdateFromSetting(const QString& value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok && (number & 0xFF) != 0;
}

ImportProfile stokImportProfile(StokImportInputs inputs)
{
    ImportProfile profile;
    profile.mandatory = {
        {stokKoduParameter, QStringLiteral("@PERAKENDEKDV"), stokAdiParameter},
        false,
        QStringLiteral("Stok Kodu, Stok Adı, Perakende KDV Alanları İşaretlenmesi Zorunlu Alanlardır.!")};
    profile.confirmation = QStringLiteral("Stok Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Stok Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_STOK_MAIN_INSERT_FRANCHISE;1");
    profile.numeric = [](const QString& parameter) { return parameter.contains(QLatin1String("FIYAT")); };

    auto run = std::make_shared<StokRun>();
    profile.afterBegin = [run](ImportRun&) { *run = StokRun(); };
    // The edit is read anew on every line; blank, it sends nothing and the procedure's default applies.
    profile.beforeColumns = [run, flag = inputs.tartiliFlag](LineContext& line) {
        run->tooLong = false;
        const QString tartiliFlag = flag();
        if (!isBlank(tartiliFlag))
            line.spDo.setText(QStringLiteral("@TARTILIFLAG"), tartiliFlag);
    };
    profile.columnValue = [run](LineContext&, const QString& parameter, QString& value) {
        if ((parameter == stokKoduParameter || parameter == barkodParameter) && value.size() > longestCode)
            run->tooLong = true;
        if (parameter == stokKoduParameter)
            run->stokKodu = value;
        else if (parameter == stokAdiParameter)
            run->stokAdi = value;
    };
    // Acted on only once every column is bound, so the log line names this line's code and name.
    profile.skipLine = [run](LineContext&) {
        if (!run->tooLong)
            return QString();
        return QStringLiteral("STOK KODU : ") + run->stokKodu + QStringLiteral(" STOKADI : ") + run->stokAdi +
               QStringLiteral(" İSİMLİ STOK 20 HANEDEN UZUN STOK KODU YADA BARKODUNDAN DOLAYI İÇERİ ALINAMADI");
    };
    profile.beforeExecute = [noUpdate = inputs.noUpdate](LineContext& line) {
        line.spDo.setBool(QStringLiteral("@ISNOUPDATE"), noUpdate());
    };
    profile.afterExecute = [run](LineContext& line) {
        if (line.spDo.readInt32(QStringLiteral("@RETURN_VALUE")) == existsUnchanged)
            line.run.host().log(QStringLiteral("STOK KODU : ") + run->stokKodu + QStringLiteral(" STOKADI : ") +
                                run->stokAdi + QStringLiteral(" İSİMLİ STOK MEVCUT OLDUĞUNDAN DOLAYI GÜNCELLENMEDİ"));
    };
    return profile;
}

TfrmStokImport::TfrmStokImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    edtTart = new QLineEdit(this);
    edtTart->setObjectName(QStringLiteral("edtTart"));
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral("Tartılı Flag"));
    sLabel1->setBuddy(edtTart);
    sLabel2 = makeLabel(QStringLiteral("sLabel2"), QStringLiteral("Örn.: 27,29"));
    addRow(RowAnchor::AfterFileName, {{sLabel1, 8, 81}, {edtTart, 89, 100}, {sLabel2, 196, 100}});

    chkStokUpdate = new QCheckBox(QStringLiteral("Stok Mevcut İse Güncelleme Yapılmasın"), this);
    chkStokUpdate->setObjectName(QStringLiteral("chkStokUpdate"));
    QFont bold = chkStokUpdate->font();
    bold.setBold(true);
    chkStokUpdate->setFont(bold);
    addRow(RowAnchor::AfterSymbols, {{chkStokUpdate, 8, 288, 17}}, 21);

    setTabChain({edtConnStr, edtFileName, edtTart, edtUserCode, edtOndalik, edtBasamak, chkStokUpdate, btnUp, btnDown,
                 lstFields, btnStart, btnClose, mMoLog});
    profile =
        stokImportProfile({[this]() { return edtTart->text(); }, [this]() { return chkStokUpdate->isChecked(); }});
}

void TfrmStokImport::loadSettingsAfterFileName()
{
    edtTart->setText(ReadSetting(section, QStringLiteral("TARTILI")));
}

void TfrmStokImport::loadSettingsAfterSymbols()
{
    chkStokUpdate->setChecked(noUpdateFromSetting(ReadSetting(section, QStringLiteral("STOKNOUPDATE"))));
}

void TfrmStokImport::saveSettingsAfterFileName()
{
    WriteSetting(section, QStringLiteral("TARTILI"), edtTart->text());
}

void TfrmStokImport::saveSettingsAfterSymbols()
{
    WriteSetting(section, QStringLiteral("STOKNOUPDATE"),
                 chkStokUpdate->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace kelvra
