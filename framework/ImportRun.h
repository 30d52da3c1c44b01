#pragma once

// The import run: the pre-run checks and the per-line procedure calls of every list tool, as one engine that the
// tool windows configure. It knows nothing of widgets; it talks to its window through RunHost.

#include "db/Database.h"
#include "framework/FieldLayout.h"
#include "framework/TextInput.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>

namespace kelvra {

// What the run needs of its window. Texts are read at each use, so a change made while the run pumps messages
// applies from the next line on.
class RunHost
{
public:
    virtual ~RunHost() = default;
    virtual QString connText() const = 0;        // edtConnStr
    virtual QString userCode() const = 0;        // edtUserCode
    virtual QString fileName() const = 0;        // edtFileName
    virtual QString decimalSymbol() const = 0;   // edtOndalik
    virtual QString groupingSymbol() const = 0;  // edtBasamak
    virtual FieldLayout fieldLayout() const = 0; // lstFields
    virtual void saveSettings() = 0;             // SaveSettings: the keys, then the layout file
    virtual void clearLog() = 0;
    virtual void log(const QString& text) = 0;   // AddLog
    virtual void setInfo(const QString& text) = 0; // lblInfo
    virtual void progressBarStart(int lines) = 0;  // pBar: position 1, then maximum = lines
    virtual void progressBarStep() = 0;            // pBar: one more
    virtual void progressBarReset() = 0;           // pBar: position 0
    virtual void setLineCounter(const QString& text) = 0; // lblBar
    virtual void processMessages() = 0;
    virtual void message(const QString& text) = 0;   // a plain message box
    virtual bool confirm(const QString& text) = 0;   // the Yes/No box "Vardel"
};

enum class TransactionMode { AllOrNothing, SkipFailingLines };
enum class ProgressStyle { Bar, LineCounter };

// A failure that ends the run with log lines of its own (the opening-balance header, for instance): the
// transaction is rolled back, the lines are logged and info goes to lblInfo.
struct RunAbort
{
    QStringList logLines;
    QString info;
    // The progress bar stays where it stands (the opening-balance header fails before the first line).
    bool keepProgress = false;
};

class ImportRun;

// One line of the run, as the tool's steps see it.
struct LineContext
{
    ImportRun& run;
    int index;             // 0-based
    const QString& line;   // as read
    const QStringList& fields;
    db::ProcedureCommand& spDo;
};

// What a tool supplies: its texts, rule, procedure, variant and the steps where it differs from the standard run.
struct ImportProfile
{
    QString confirmation;  // "Cari Aktarımına Başlamak İstiyor musunuz?"
    MandatoryRule mandatory;
    QString startText;     // "Cari Aktarımı Başladı"
    QString procedure;     // "SP_CARI_MAIN_INSERT_FRANCHISE;1"
    QString endText = QStringLiteral("Aktarım Tamamlandı.");
    TransactionMode mode = TransactionMode::AllOrNothing;
    ProgressStyle progress = ProgressStyle::Bar;
    bool beginBeforePrepare = false;
    bool hasInputFile = true;
    // "Ondalık ve Basamak Simgeleri Boş Geçilemez.!" after the user-code check.
    bool checkSymbols = false;
    // Which bound parameters get number normalisation; none when empty.
    std::function<bool(const QString& parameter)> numeric;

    // Checks of a tool; each returns the message that refuses the run, or an empty text.
    std::function<QString()> checkAfterUserCode;
    std::function<QString()> checkAfterConnect;

    // Steps of a tool inside the run; each may throw kelvra::Error (a line failure inside the per-line steps) or
    // RunAbort (afterBegin only).
    std::function<void(ImportRun&)> afterBegin;              // once, after the transaction began
    std::function<void(LineContext&)> beforeColumns;         // fixed parameters and line defaults
    std::function<void(LineContext&, const QString& parameter, QString& value)> columnValue; // after normalisation
    std::function<QString(LineContext&)> skipLine;           // after binding: a log text skips the line
    std::function<void(LineContext&)> beforeExecute;
    std::function<void(LineContext&)> afterExecute;          // reading "@RETURN_VALUE"
    std::function<void(ImportRun&, bool committing)> beforeEnd; // before the commit, and before a rollback
};

class ImportRun
{
public:
    ImportRun(const ImportProfile& profile, RunHost& host, db::Connection& ConnDB, db::ProcedureCommand& spDo);

    // btnStartClick: the checks, then on Yes the run.
    void start();
    // The checks, in their order; true when the technician confirmed and the link is connected.
    bool PrepareRun();
    // The run itself, after PrepareRun.
    void run();

    const ParameterOrder& parameterOrder() const { return m_order; }
    RunHost& host() { return m_host; }
    db::Connection& connection() { return m_conn; }
    db::ProcedureCommand& procedure() { return m_spDo; }
    const TextFile& input() const { return m_input; }

    static QString connectFailedText(const QString& message);
    // Refuses a run whose decimal and grouping symbols are the same text.
    static QString sameSymbolsMessage();

private:
    void prepareProcedure();
    void runLines();
    // Executes line k; a failure is thrown as kelvra::Error.
    void runLine(int k, const QString& line, QStringList& fields);
    void finish();
    void rollbackQuietly() noexcept;
    // The end of a failed run: rolled back, the progress emptied, the error in lblInfo.
    void failRun(const QString& message);

    const ImportProfile& m_profile;
    RunHost& m_host;
    db::Connection& m_conn;
    db::ProcedureCommand& m_spDo;
    ParameterOrder m_order;
    TextFile m_input;
};

} // namespace kelvra
