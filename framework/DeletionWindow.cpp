#include "framework/DeletionWindow.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

namespace kelvra {

namespace {

// What the deletion run reads of the window and reports to it; the parts it shares with the import run go
// through the frame's own run host.
class WindowDeletionHost final : public DeletionHost
{
public:
    WindowDeletionHost(DeletionWindow* window, RunHost& common) : w(window), c(common) {}
    QString connText() const override { return c.connText(); }
    QString userCode() const override { return c.userCode(); }
    int codeKind() const override { return w->cbxGrupOzelKod->currentIndex(); }
    QString groupName() const override { return w->edtGrupOzelKod->text(); }
    QString groupId() const override { return w->edtGrupOzelKodID->text(); }
    void setGroupId(const QString& id) override { w->edtGrupOzelKodID->setText(id); }
    void saveSettings() override { c.saveSettings(); }
    void clearLog() override { c.clearLog(); }
    void log(const QString& text) override { c.log(text); }
    void setInfo(const QString& text) override { c.setInfo(text); }
    void progressBarRange(int rows) override
    {
        w->pBar->setValue(0);
        w->pBar->setMaximum(std::max(rows, 1));
    }
    void progressBarStep() override { c.progressBarStep(); }
    void progressBarReset() override { c.progressBarReset(); }
    void processMessages() override { c.processMessages(); }
    void message(const QString& text) override { c.message(text); }
    bool confirm(const QString& text) override { return c.confirm(text); }

private:
    DeletionWindow* w;
    RunHost& c;
};

// While a deletion run walks its listing, nothing may connect the link again: a second start, a lookup from the
// name edit and the connection-string editor are out of reach until the run has returned. The code kind goes
// with the name, so that the pair the run started with is still the pair shown when it ends.
class ControlsLockedForRun
{
public:
    explicit ControlsLockedForRun(const QList<QWidget*>& controls)
    {
        for (QWidget* control : controls) {
            if (control->isEnabled()) {
                m_locked.append(control);
                control->setEnabled(false);
            }
        }
    }
    ~ControlsLockedForRun()
    {
        for (const QPointer<QWidget>& control : std::as_const(m_locked))
            if (control)
                control->setEnabled(true);
    }

private:
    QList<QPointer<QWidget>> m_locked;
};

const QStringList codeKinds = {
    QStringLiteral("GRUP KODU"),  QStringLiteral("ÖZEL KOD 1"),  QStringLiteral("ÖZEL KOD 2"),
    QStringLiteral("ÖZEL KOD 3"), QStringLiteral("ÖZEL KOD 4"),  QStringLiteral("ÖZEL KOD 5"),
    QStringLiteral("ÖZEL KOD 6"), QStringLiteral("ÖZEL KOD 7"),  QStringLiteral("ÖZEL KOD 8"),
    QStringLiteral("ÖZEL KOD 9"), QStringLiteral("ÖZEL KOD 10"),
};

} // namespace

void GroupNameEdit::keyPressEvent(QKeyEvent* event)
{
    int virtualKey = 0;
    if (event->key() == Qt::Key_Backspace)
        virtualKey = vkBack;
    else if (event->key() == Qt::Key_Delete)
        virtualKey = vkDelete;
    if (virtualKey)
        emit keyDown(virtualKey);
    QLineEdit::keyPressEvent(event);
}

void GroupNameEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    deselect();
}

void GroupNameEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // The window losing activation (a message box, another program) or a pop-up menu is no leaving of the edit:
    // the focus comes back to it.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (!window()->isVisible())
        return;
    emit exited();
}

DeletionWindow::DeletionWindow(ToolDefinition definition, DeletionProfile deletion, QWidget* parent)
    : ToolWindow(std::move(definition), parent), m_deletion(std::move(deletion))
{
    sLabel1 = makeLabel(QStringLiteral("sLabel1"), QStringLiteral("Grup / Özel Kod"));
    cbxGrupOzelKod = new QComboBox(this);
    cbxGrupOzelKod->setObjectName(QStringLiteral("cbxGrupOzelKod"));
    cbxGrupOzelKod->setEditable(false);
    cbxGrupOzelKod->addItems(codeKinds);
    cbxGrupOzelKod->setCurrentIndex(0);
    sLabel1->setBuddy(cbxGrupOzelKod);

    sLabel2 = makeLabel(QStringLiteral("sLabel2"), QStringLiteral("Grup Adı"));
    edtGrupOzelKod = new GroupNameEdit(this);
    edtGrupOzelKod->setObjectName(QStringLiteral("edtGrupOzelKod"));
    sLabel2->setBuddy(edtGrupOzelKod);
    edtGrupOzelKodID = new QLineEdit(this);
    edtGrupOzelKodID->setObjectName(QStringLiteral("edtGrupOzelKodID"));
    edtGrupOzelKodID->setVisible(false);

    // Rows below the user code, spaced so that the log gets its 175 at the window's size.
    addRow(RowAnchor::AfterSymbols, {}, 8);
    addRow(RowAnchor::AfterSymbols, {{sLabel1, 8, 81}, {cbxGrupOzelKod, 89, 207}}, 34);
    addRow(RowAnchor::AfterSymbols, {{sLabel2, 8, 81}, {edtGrupOzelKod, 89, 207}, {edtGrupOzelKodID, 89, 207}}, 34);
    addRow(RowAnchor::AfterSymbols, {}, 22);

    mMoLog->setFocusPolicy(Qt::ClickFocus);
    setTabChain({edtConnStr, edtUserCode, cbxGrupOzelKod, edtGrupOzelKod, btnStart, btnClose});

    connect(cbxGrupOzelKod, &QComboBox::currentIndexChanged, this, &DeletionWindow::cbxGrupOzelKodChange);
    connect(edtGrupOzelKod, &GroupNameEdit::keyDown, this, &DeletionWindow::edtGrupOzelKodKeyDown);
    connect(edtGrupOzelKod, &GroupNameEdit::exited, this,
            [this]() { guarded(this, [this]() { edtGrupOzelKodExit(); }); });
}

DeletionWindow::~DeletionWindow() = default;

DeletionHost& DeletionWindow::deletionHost()
{
    if (!m_deletionHost)
        m_deletionHost = std::make_unique<WindowDeletionHost>(this, runHost());
    return *m_deletionHost;
}

void DeletionWindow::cbxGrupOzelKodChange()
{
    edtGrupOzelKodID->clear();
    edtGrupOzelKod->clear();
}

void DeletionWindow::edtGrupOzelKodKeyDown(int key)
{
    // One press of either key clears the whole name, not one character.
    if (key == GroupNameEdit::vkDelete || key == GroupNameEdit::vkBack) {
        edtGrupOzelKod->clear();
        edtGrupOzelKodID->clear();
    }
}

void DeletionWindow::edtGrupOzelKodExit()
{
    // A lookup connects the link anew, which would close the listing a run is walking.
    if (isRunning())
        return;
    DeletionRun(m_deletion, deletionHost(), ConnDB, spDo, spDel).lookUpGroup();
}

void DeletionWindow::btnStartClick()
{
    if (isRunning())
        return;
    RunGuard running(this);
    DeletionRun deletion(m_deletion, deletionHost(), ConnDB, spDo, spDel);
    if (!deletion.PrepareRun())
        return;
    ControlsLockedForRun locked({btnStart, edtConnStr->button(), cbxGrupOzelKod, edtGrupOzelKod});
    deletion.run();
}

} // namespace kelvra
