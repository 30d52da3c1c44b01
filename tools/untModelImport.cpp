#include "tools/untModelImport.h"

#include <QPalette>

namespace kelvra {

TfrmModelImport* frmModelImport = nullptr;

namespace {

ToolDefinition definition()
{
    ToolDefinition d;
    d.name = QStringLiteral("ModelImport");
    d.caption = QStringLiteral("Model ve Stok Aktarımı");
    d.clientSize = {474, 526};
    d.fileNameKey = QStringLiteral("MODELFILENAME");
    d.layoutFile = QStringLiteral("MODELLIST.FMT");
    d.numberSymbols = true;
    d.startCaption = QStringLiteral("Model Aktarımına Başla");
    d.captionColumnWidth = 280;
    d.editWidth = 370;
    d.defaultLayout = {
        {QStringLiteral("MODEL KODU"), QStringLiteral("@MODELKODU"), true},
        {QStringLiteral("BARKOD"), QStringLiteral("@BARKOD"), true},
        {QStringLiteral("MODEL ADI"), QStringLiteral("@MODELADI"), true},
        {QStringLiteral("SATIŞ FİYATI"), QStringLiteral("@SATISFIYATI"), true},
        {QStringLiteral("BEDEN KODU(01-ERKEK,02-BAYAN,03-ÇOCUK) GİBİ)"), QStringLiteral("@BEDENKODU"), true},
        {QStringLiteral("BEDEN AÇIKLAMA(ERKEK, BAYAN, ÇOCUK GİBİ)"), QStringLiteral("@BEDENACIKLAMA"), true},
        {QStringLiteral("BEDEN(S,M,L,XL GİBİ)"), QStringLiteral("@BEDEN"), true},
        {QStringLiteral("RENK"), QStringLiteral("@RENK"), true},
    };
    return d;
}

const QString triggerOff = QStringLiteral("ALTER TABLE TBL_MODEL_DETAY DISABLE TRIGGER TRG_MODEL_DETAY_INSERT");
const QString triggerOn = QStringLiteral("ALTER TABLE TBL_MODEL_DETAY ENABLE TRIGGER TRG_MODEL_DETAY_INSERT");
// Set right after the trigger went off. A server that refuses every statement after a failing one until the
// transaction ends (PostgreSQL does) would refuse the switch-on too; going back to this point first lets it run.
const QString linesStart = QStringLiteral("kelvra_model_lines");
const QString other = QStringLiteral("DİĞER");

} // namespace

ImportProfile modelImportProfile(db::SqlCommand& QryGenel)
{
    ImportProfile profile;
    profile.mandatory = {{}, true, QStringLiteral("Tüm Alanların İşaretlenmesi Zorunlu Alanlardır.!")};
    profile.confirmation = QStringLiteral("Model Aktarımına Başlamak İstiyor musunuz?");
    profile.startText = QStringLiteral("Model Aktarımı Başladı");
    profile.procedure = QStringLiteral("SP_MODEL_INSERT_FRANCHISE;1");
    profile.numeric = [](const QString& parameter) { return parameter.contains(QLatin1String("FIYAT")); };

    // The trigger would give every inserted variant a stock item of its own; the procedure creates them itself.
    profile.afterBegin = [&QryGenel](ImportRun& run) {
        QryGenel.execute(triggerOff);
        run.connection().setSavepoint(linesStart);
    };
    // What a line lacks keeps these; what it has overwrites them.
    profile.beforeColumns = [](LineContext& line) {
        db::ProcedureCommand& sp = line.spDo;
        sp.setText(QStringLiteral("@MODELKODU"), QString());
        sp.setText(QStringLiteral("@BARKOD"), QString());
        sp.setText(QStringLiteral("@MODELADI"), QString());
        sp.setUInt8(QStringLiteral("@SATISFIYATI"), 0);
        sp.setText(QStringLiteral("@BEDENKODU"), QStringLiteral("00"));
        sp.setText(QStringLiteral("@BEDENACIKLAMA"), other);
        sp.setText(QStringLiteral("@BEDEN"), other);
        sp.setText(QStringLiteral("@RENK"), other);
    };
    // An empty column, a price left empty by normalisation included, means "other"; codes stay empty.
    profile.columnValue = [](LineContext&, const QString& parameter, QString& value) {
        if (value.isEmpty() && parameter != QLatin1String("@BARKOD") && parameter != QLatin1String("@MODELKODU"))
            value = other;
    };
    profile.beforeEnd = [&QryGenel](ImportRun& run, bool committing) {
        if (!committing) {
            try {
                run.connection().rollbackToSavepoint(linesStart);
            } catch (const Error&) {
                // The switch-on below then meets the server's own refusal, if any.
            }
        }
        QryGenel.execute(triggerOn);
    };
    return profile;
}

TfrmModelImport::TfrmModelImport(QWidget* parent) : ToolWindow(definition(), parent)
{
    sLabel1 = makeLabel(QStringLiteral("sLabel1"),
                        QStringLiteral(" * Yalnızca Yeni Model ve Stokları Eklemek İçin Kullanılır"));
    QPalette green = sLabel1->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    sLabel1->setPalette(green);
    addRow(RowAnchor::AfterSymbols, {{sLabel1, 8, 451, 15}}, 18);
    profile = modelImportProfile(QryGenel);
}

} // namespace kelvra
