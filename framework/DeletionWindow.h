#pragma once

// The window of the two deletion tools: the frame without input file and field list, plus the code kind, the
// group name with its hidden ID, and the second procedure command spDel. A tool supplies its definition and its
// DeletionProfile (procedures, listing field, texts).

#include "framework/DeletionRun.h"
#include "framework/ToolWindow.h"

#include <QComboBox>

namespace kelvra {

// The name edit: reports a key before it acts (as a Windows virtual-key code) and the focus leaving it for
// another control of the window. Its text is not selected when the focus enters it.
class GroupNameEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    static constexpr int vkBack = 8;
    static constexpr int vkDelete = 46;

signals:
    void keyDown(int virtualKey);
    void exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class DeletionWindow : public ToolWindow
{
    Q_OBJECT
public:
    ~DeletionWindow() override;

    QLabel* sLabel1 = nullptr;
    QLabel* sLabel2 = nullptr;
    QComboBox* cbxGrupOzelKod = nullptr;
    GroupNameEdit* edtGrupOzelKod = nullptr;
    QLineEdit* edtGrupOzelKodID = nullptr; // hidden: the ID the lookup resolved, as text

    // The deletion calls, made while spDo's listing is walked.
    db::ProcedureCommand spDel{ConnDB, QStringLiteral("spDel")};

    // Published handlers.
    void btnStartClick() override;
    void cbxGrupOzelKodChange();
    void edtGrupOzelKodExit();
    void edtGrupOzelKodKeyDown(int key);

    const DeletionProfile& deletionProfile() const { return m_deletion; }

protected:
    DeletionWindow(ToolDefinition definition, DeletionProfile deletion, QWidget* parent = nullptr);

private:
    DeletionHost& deletionHost();

    DeletionProfile m_deletion;
    std::unique_ptr<DeletionHost> m_deletionHost;
};

} // namespace kelvra
