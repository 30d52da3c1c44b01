#include "tools/OpeningBalance.h"

#include "db/Database.h"
#include "framework/Controls.h"
#include "framework/Error.h"

#include <QRegularExpression>
#include <memory>

namespace kelvra {

namespace {

bool isTimeField(QChar c)
{
    return c == QLatin1Char('h') || c == QLatin1Char('H') || c == QLatin1Char('m') || c == QLatin1Char('s') ||
           c == QLatin1Char('z') || c == QLatin1Char('a') || c == QLatin1Char('A') || c == QLatin1Char('p') ||
           c == QLatin1Char('P') || c == QLatin1Char('t');
}

QString longTimeFormat(const QLocale& locale)
{
    // Qt's long time formats end in a time-zone name ("HH:mm:ss t"), which the locale's own clock text lacks.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    return locale.timeFormat(QLocale::LongFormat).replace(zone, QString()).trimmed();
}

} // namespace

QString timeSeparator(const QLocale& locale)
{
    const QString format = longTimeFormat(locale);
    for (const QChar c : format) {
        if (!isTimeField(c) && c != QLatin1Char('\''))
            return QString(c);
    }
    return QStringLiteral(":");
}

QString documentCode(const QString& dateText, const QTime& time, const QLocale& locale)
{
    QString datePart = dateText;
    datePart.remove(dateSeparator(locale));
    QString timePart = locale.toString(time, longTimeFormat(locale));
    timePart.remove(timeSeparator(locale));
    return QStringLiteral("DEVIR_") + datePart + QLatin1Char('_') + timePart.left(4);
}

void addOpeningBalanceDocument(ImportProfile& profile, OpeningBalanceDocument document)
{
    // The document's ID lives for one run: written by the header, read by every line.
    auto belgeId = std::make_shared<qint32>(0);
    profile.procedure = QStringLiteral("SP_DEVIR_DETAY_INSERT_IMPORT;1");
    profile.beginBeforePrepare = true;
    profile.afterBegin = [document, belgeId](ImportRun& run) {
        const QString date = document.date();
        const QString code = documentCode(date, QTime::currentTime(), QLocale());
        db::ProcedureCommand& spDo = run.procedure();
        try {
            spDo.close();
            spDo.prepare(QStringLiteral("SP_DEVIR_MAIN_INSERT;1"));
            spDo.setText(QStringLiteral("@BELGEKODU"), code);
            spDo.setText(QStringLiteral("@BELGETARIHI"), date);
            spDo.setInt32(QStringLiteral("@ISLEMTIPI"), document.islemTipi);
            if (document.depoId)
                spDo.setInt32(QStringLiteral("@DEPOID"), document.depoId());
            spDo.setText(QStringLiteral("@ACIKLAMA"), QStringLiteral(""));
            spDo.execute();
            *belgeId = spDo.readInt32(QStringLiteral("@RETURN_VALUE"));
        } catch (const Error& e) {
            RunAbort abort{{QStringLiteral("Hata Üst Blgi :") + e.message()}, QStringLiteral("Hata : ") + e.message()};
            abort.keepProgress = true;
            throw abort;
        }
    };
    profile.beforeColumns = [belgeId](LineContext& line) { line.spDo.setInt32(QStringLiteral("@BELGEID"), *belgeId); };
}

} // namespace kelvra
