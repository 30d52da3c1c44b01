#pragma once

// The frame every tool window shares: the common controls, the settings keys, the log, the field layout list with
// its move buttons, creation and closing. A tool supplies its definition (the defaults table) and overrides the
// few steps where it differs.

#include "framework/Controls.h"
#include "db/Database.h"
#include "framework/FieldLayout.h"
#include "framework/ImportRun.h"

#include <QDialog>
#include <functional>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTreeWidget>

class QDateTime;
class QLocale;

namespace kelvra {

struct ToolDefinition
{
    QString name;             // "CariImport": window frmCariImport of class TfrmCariImport
    QString caption;          // "Cari Aktarımı"
    QSize clientSize;         // 299 x 654
    QString fileNameKey;      // "CARIFILENAME"; empty for the windows without an input file
    QString layoutFile;       // "CARILIST.FMT"; empty for the windows without a field list
    bool numberSymbols = false;
    bool lineCounter = false; // lblBar stands in the place of pBar
    QString startCaption;
    bool moveCaptions = true; // false: the move buttons show their glyph only
    int captionColumnWidth = 120;
    // A wider window: edtConnStr, edtFileName and edtUserCode this wide, and the number symbols on one row with
    // one-line labels; 0 keeps the reference placement.
    int editWidth = 0;
    FieldLayout defaultLayout;
};

// The log line's time stamp: the locale's short date (with a four-digit year) and, unless hours, minutes and
// seconds are all zero, a blank and the locale's long time (without a time-zone name).
QString logTimestamp(const QDateTime& now, const QLocale& locale);

// Delivers n + 1 one-line-down scroll requests to a memo of n lines, so it ends scrolled to its last lines.
void ScrollLogToEnd(QPlainTextEdit* memo);

// Runs an event's work; an error that no step caught ends the event in the standard error box.
void guarded(QWidget* parent, const std::function<void()>& work);

class ToolWindow : public QDialog
{
    Q_OBJECT
public:
    ~ToolWindow() override;

    // Creates a tool window as the main window does: construction, then FormCreate (whose failure is shown in the
    // standard error box while the window opens anyway).
    template <class W>
    static W* create(W** reference = nullptr)
    {
        W* window = new W();
        if (reference) {
            *reference = window;
            window->m_clearReference = [reference, window]() {
                if (*reference == window)
                    *reference = nullptr;
            };
        }
        window->runFormCreate();
        return window;
    }

    const ToolDefinition& toolDefinition() const { return m_definition; }

    // The field layout as the list holds it now, and replacing it.
    FieldLayout fieldLayout() const;
    void setFieldLayout(const FieldLayout& layout);

    // Common controls; a control the window does not have is nullptr.
    ButtonEdit* edtConnStr = nullptr;
    ButtonEdit* edtFileName = nullptr;
    QLineEdit* edtUserCode = nullptr;
    QLineEdit* edtOndalik = nullptr;
    QLineEdit* edtBasamak = nullptr;
    QLabel* sLabel3 = nullptr;
    QLabel* sLabel4 = nullptr;
    QLabel* sLabel5 = nullptr;
    QLabel* sLabel6 = nullptr;
    QLabel* sLabel7 = nullptr;
    QLabel* lblInfo = nullptr;
    QTreeWidget* lstFields = nullptr;
    CaptionButton* btnUp = nullptr;
    CaptionButton* btnDown = nullptr;
    QPlainTextEdit* mMoLog = nullptr;
    CaptionButton* btnStart = nullptr;
    CaptionButton* btnClose = nullptr;
    QProgressBar* pBar = nullptr;
    QLabel* lblBar = nullptr;

    // The database link: the connection and the procedure command.
    db::Connection ConnDB;
    db::ProcedureCommand spDo{ConnDB, QStringLiteral("spDo")};

    // Published handlers.
    virtual void FormCreate();
    void FormClose();
    virtual void btnStartClick();
    void btnCloseClick();
    void btnUpClick();
    void btnDownClick();
    void lstFieldsColumnClick(int column);
    void edtConnStrButtonClick();

    void AddLog(const QString& text);
    void LoadFieldLayout(const QString& path);
    void SaveFieldLayout(const QString& path);
    virtual void LoadSettings();
    virtual void SaveSettings();

    int headerClickFlag() const { return m_headerClickFlag; }
    bool isRunning() const { return m_running; }

protected:
    ToolWindow(ToolDefinition definition, QWidget* parent = nullptr);

    // Extra controls of a tool: rows inserted after the file-name row or after the number-symbol row.
    enum class RowAnchor { AfterFileName, AfterSymbols };
    struct Placed
    {
        QWidget* widget;
        int left;
        int width;
        int height = 21;
    };
    void addRow(RowAnchor anchor, QList<Placed> row, int pitch = 24);
    // A label as the frame makes them: bold, with its name.
    QLabel* makeLabel(const QString& name, const QString& caption);
    // The tab order of the window's controls.
    void setTabChain(const QList<QWidget*>& chain);
    // A note across the window just above the bottom bar; the buttons and the controls above move up to make room.
    void setBottomNote(QLabel* note, int height = 16);

    // Extra settings keys of a tool, read and written at their place in the order of keys.
    virtual void loadSettingsAfterFileName() {}
    virtual void loadSettingsAfterSymbols() {}
    virtual void saveSettingsAfterFileName() {}
    virtual void saveSettingsAfterSymbols() {}

    QString layoutPath() const;

    // The import run of a list tool: its texts, rule, procedure and the steps where it differs.
    ImportProfile profile;
    // What the run reads of the window and reports to it.
    RunHost& runHost();

    // During a run a close request waits for the run to end; see RunGuard.
    class RunGuard
    {
    public:
        explicit RunGuard(ToolWindow* window);
        ~RunGuard();

    private:
        QPointer<ToolWindow> m_window;
    };

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    void runFormCreate();
    void buildCommonControls();
    void layoutControls();
    QTreeWidgetItem* newItem(const LayoutItem& item, int position);
    LayoutItem itemAt(int position) const;

    ToolDefinition m_definition;
    QList<std::pair<QList<Placed>, int>> m_rowsAfterFileName;
    QList<std::pair<QList<Placed>, int>> m_rowsAfterSymbols;
    QLabel* m_bottomNote = nullptr;
    int m_bottomNoteHeight = 0;
    int m_headerClickFlag = 0;
    bool m_running = false;
    bool m_closeRequested = false;
    std::function<void()> m_clearReference;
    std::unique_ptr<RunHost> m_runHost;
};

} // namespace kelvra
