#include "framework/ImportRun.h"

#include "framework/TextInput.h"

#include <QFileInfo>
#include <QLocale>

namespace kelvra {

namespace {

// Leading and trailing blanks and control characters removed.
QString trimmedOfControls(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= ' ')
        ++b;
    while (e > b && text[e - 1].unicode() <= ' ')
        --e;
    return text.sliced(b, e - b);
}

const QString lineSavepoint = QStringLiteral("kelvra_line");

} // namespace

ImportRun::ImportRun(const ImportProfile& profile, RunHost& host, db::Connection& ConnDB, db::ProcedureCommand& spDo)
    : m_profile(profile), m_host(host), m_conn(ConnDB), m_spDo(spDo)
{
}

QString ImportRun::sameSymbolsMessage() { return QStringLiteral("Ondalık ve Basamak Simgeleri Aynı Olamaz.!"); }

QString ImportRun::connectFailedText(const QString& message)
{
    return QStringLiteral("Veri Tabanına Bağlanılamadı.! Hata : ") + message;
}

void ImportRun::start()
{
    if (!PrepareRun())
        return;
    run();
}

bool ImportRun::PrepareRun()
{
    if (m_profile.hasInputFile && !QFileInfo(m_host.fileName()).isFile()) {
        m_host.message(QStringLiteral("Dosya Bulunamadı.!"));
        return false;
    }
    if (m_host.userCode().isEmpty()) {
        m_host.message(QStringLiteral("Kullanıcı Bilgisi Boş Geçilemez.!"));
        return false;
    }
    if (m_profile.checkSymbols && (trimmedOfControls(m_host.decimalSymbol()).isEmpty() ||
                                   trimmedOfControls(m_host.groupingSymbol()).isEmpty())) {
        m_host.message(QStringLiteral("Ondalık ve Basamak Simgeleri Boş Geçilemez.!"));
        return false;
    }
    // With one symbol for both, normalisation would drop every separator and make 1,5 into 15 without a word.
    if (m_profile.numeric && !m_host.decimalSymbol().isEmpty() &&
        m_host.decimalSymbol() == m_host.groupingSymbol()) {
        m_host.message(sameSymbolsMessage());
        return false;
    }
    if (m_profile.checkAfterUserCode) {
        const QString refused = m_profile.checkAfterUserCode();
        if (!refused.isEmpty()) {
            m_host.message(refused);
            return false;
        }
    }
    const QString refused = buildParameterOrder(m_host.fieldLayout(), m_profile.mandatory, m_order);
    if (!refused.isEmpty()) {
        m_host.message(refused);
        return false;
    }
    try {
        m_conn.connect(m_host.connText(), m_host.userCode());
    } catch (const Error& e) {
        m_host.message(connectFailedText(e.message()));
        return false;
    }
    if (m_profile.checkAfterConnect) {
        const QString refusedAfterConnect = m_profile.checkAfterConnect();
        if (!refusedAfterConnect.isEmpty()) {
            m_host.message(refusedAfterConnect);
            return false;
        }
    }
    return m_host.confirm(m_profile.confirmation);
}

void ImportRun::run()
{
    m_host.saveSettings();
    m_host.clearLog();
    m_host.log(m_profile.startText);
    m_input = readTextFile(m_host.fileName());
    if (m_profile.progress == ProgressStyle::Bar)
        m_host.progressBarStart(int(m_input.lineCount()));

    try {
        if (m_profile.beginBeforePrepare) {
            m_conn.beginTransaction();
            if (m_profile.afterBegin)
                m_profile.afterBegin(*this);
            prepareProcedure();
        } else {
            prepareProcedure();
            m_conn.beginTransaction();
            if (m_profile.afterBegin)
                m_profile.afterBegin(*this);
        }
        runLines();
    } catch (const RunAbort& abort) {
        rollbackQuietly();
        for (const QString& line : abort.logLines)
            m_host.log(line);
        if (!abort.keepProgress && m_profile.progress == ProgressStyle::Bar)
            m_host.progressBarReset();
        else if (!abort.keepProgress)
            m_host.setLineCounter(QString());
        m_host.setInfo(abort.info);
    } catch (...) {
        // An error outside the per-line handling: nothing of the run stays open, holding its locks, while the
        // error box shows.
        rollbackQuietly();
        throw;
    }
}

void ImportRun::prepareProcedure() { m_spDo.prepare(m_profile.procedure); }

void ImportRun::runLines()
{
    const int n = int(m_input.lineCount());
    const bool bar = m_profile.progress == ProgressStyle::Bar;
    const bool eachLineAtomic = m_profile.mode == TransactionMode::SkipFailingLines;
    QStringList fields;
    for (int k = 0; k < n; ++k) {
        if (bar) {
            m_host.progressBarStep();
            if (k % 100 == 0)
                m_host.processMessages();
        } else if (k % 50 == 0) {
            m_host.setLineCounter(QStringLiteral("%1 / %2").arg(k).arg(n));
            m_host.processMessages();
        }
        const QString line = m_input.line(k).toString();
        splitFields(line, fields);
        // A line without fields would send the procedure nothing from the file: it is skipped, not executed.
        if (fields.isEmpty())
            continue;
        try {
            if (eachLineAtomic)
                m_conn.setSavepoint(lineSavepoint);
            runLine(k, line, fields);
            if (eachLineAtomic)
                m_conn.releaseSavepoint(lineSavepoint);
        } catch (const Error& e) {
            m_host.log(QStringLiteral("Hata : ") + e.message());
            m_host.log(QStringLiteral("Satır : ") + line);
            if (eachLineAtomic) {
                // The failing line leaves none of its writes behind; the lines before it stay.
                try {
                    m_conn.rollbackToSavepoint(lineSavepoint);
                    continue;
                } catch (const Error& lost) {
                    // The transaction cannot go on (the connection dropped, or the server will not go back to
                    // the line's start): nothing of the run is committed, and the run must not look finished.
                    m_host.log(QStringLiteral("Hata : ") + lost.message());
                    failRun(lost.message());
                    return;
                }
            }
            try {
                if (m_profile.beforeEnd)
                    m_profile.beforeEnd(*this, false);
            } catch (...) {
                failRun(e.message());
                throw;
            }
            failRun(e.message());
            return;
        }
    }
    finish();
}

void ImportRun::runLine(int k, const QString& text, QStringList& fields)
{
    LineContext line{*this, k, text, fields, m_spDo};
    m_spDo.close();
    if (m_profile.beforeColumns)
        m_profile.beforeColumns(line);
    const qsizetype columns = std::min<qsizetype>(fields.size(), ParameterOrder::slotCount);
    for (qsizetype i = 0; i < columns; ++i) {
        const QString& parameter = m_order.names[i];
        if (parameter.isEmpty())
            continue;
        QString value = fields[i];
        if (m_profile.numeric && m_profile.numeric(parameter))
            value = normaliseNumber(std::move(value), m_host.groupingSymbol(), m_host.decimalSymbol(),
                                    QLocale().decimalPoint());
        if (m_profile.columnValue)
            m_profile.columnValue(line, parameter, value);
        m_spDo.setText(parameter, value);
    }
    if (m_profile.skipLine) {
        const QString skipped = m_profile.skipLine(line);
        if (!skipped.isEmpty()) {
            // Nothing the skipped line assigned may reach the procedure with a later, shorter line.
            m_spDo.discardAssigned();
            m_host.log(skipped);
            return;
        }
    }
    if (m_profile.beforeExecute)
        m_profile.beforeExecute(line);
    m_spDo.execute();
    if (m_profile.afterExecute)
        m_profile.afterExecute(line);
}

void ImportRun::finish()
{
    if (m_profile.beforeEnd)
        m_profile.beforeEnd(*this, true);
    try {
        m_conn.commit();
    } catch (const Error& e) {
        // A run whose commit failed wrote nothing and must not look like a success.
        m_host.log(QStringLiteral("Hata : ") + e.message());
        m_host.setInfo(QStringLiteral("Hata : ") + e.message());
        throw;
    }
    m_host.setInfo(m_profile.endText);
    m_host.log(m_profile.endText);
    if (m_profile.progress == ProgressStyle::Bar)
        m_host.progressBarReset();
    else
        m_host.setLineCounter(QString());
}

void ImportRun::rollbackQuietly() noexcept
{
    try {
        if (m_conn.isOpen() && m_conn.transactionLevel() > 0)
            m_conn.rollback();
    } catch (...) {
        // A link that cannot even roll back is closed, so that nothing of the run stays open on the server.
        m_conn.close();
    }
}

void ImportRun::failRun(const QString& message)
{
    rollbackQuietly();
    if (m_profile.progress == ProgressStyle::Bar)
        m_host.progressBarReset();
    else
        m_host.setLineCounter(QString());
    m_host.setInfo(QStringLiteral("Hata : ") + message);
}

} // namespace kelvra
