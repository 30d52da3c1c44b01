#include "framework/ToolWindow.h"

#include "db/ConnectionEditor.h"

#include "framework/Error.h"
#include "framework/MessageBoxes.h"
#include "framework/untGeneral.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QScrollBar>
#include <QStyle>
#include <QRegularExpression>
#include <QStyledItemDelegate>

namespace kelvra {

namespace {

const QString section = QStringLiteral("IMPORT");

// Only the caption column is edited in place; the parameter name is not.
class CaptionOnlyDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() != 0)
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
};

QString fourDigitYear(QString format)
{
    if (format.contains(QLatin1String("yyyy")))
        return format;
    return format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
}

QString withoutZone(QString format)
{
    // Qt's long time formats end in a time-zone name ("HH:mm:ss t"); the log shows none.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    return format.replace(zone, QString()).trimmed();
}

// The narrow interface through which a run reads the window and reports to it.
class WindowRunHost final : public RunHost
{
public:
    explicit WindowRunHost(ToolWindow* window) : w(window) {}
    QString connText() const override { return w->edtConnStr->text(); }
    QString userCode() const override { return w->edtUserCode->text(); }
    QString fileName() const override { return w->edtFileName ? w->edtFileName->text() : QString(); }
    QString decimalSymbol() const override { return w->edtOndalik ? w->edtOndalik->text() : QString(); }
    QString groupingSymbol() const override { return w->edtBasamak ? w->edtBasamak->text() : QString(); }
    FieldLayout fieldLayout() const override { return w->fieldLayout(); }
    void saveSettings() override { w->SaveSettings(); }
    void clearLog() override { w->mMoLog->clear(); }
    void log(const QString& text) override { w->AddLog(text); }
    void setInfo(const QString& text) override { w->lblInfo->setText(text); }
    void progressBarStart(int lines) override
    {
        w->pBar->setValue(1);
        // A maximum of 0 would turn the bar into a busy indicator.
        w->pBar->setMaximum(std::max(lines, 1));
    }
    void progressBarStep() override { w->pBar->setValue(std::min(w->pBar->value() + 1, w->pBar->maximum())); }
    void progressBarReset() override { w->pBar->setValue(0); }
    void setLineCounter(const QString& text) override { w->lblBar->setText(text); }
    void processMessages() override { QCoreApplication::processEvents(); }
    void message(const QString& text) override { showMessage(w, text); }
    bool confirm(const QString& text) override { return askYesNo(w, text); }

private:
    ToolWindow* w;
};

} // namespace

QString logTimestamp(const QDateTime& now, const QLocale& locale)
{
    QString stamp = locale.toString(now.date(), fourDigitYear(locale.dateFormat(QLocale::ShortFormat)));
    const QTime t = now.time();
    if (t.hour() != 0 || t.minute() != 0 || t.second() != 0)
        stamp += QLatin1Char(' ') + locale.toString(t, withoutZone(locale.timeFormat(QLocale::LongFormat)));
    return stamp;
}

void ScrollLogToEnd(QPlainTextEdit* memo)
{
    const int lines = memo->blockCount();
    QScrollBar* bar = memo->verticalScrollBar();
    for (int i = 0; i <= lines; ++i)
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void guarded(QWidget* parent, const std::function<void()>& work)
{
    try {
        work();
    } catch (const Error& e) {
        showError(parent, e.message());
    } catch (const std::exception& e) {
        showError(parent, QString::fromLocal8Bit(e.what()));
    }
}

ToolWindow::ToolWindow(ToolDefinition definition, QWidget* parent) : QDialog(parent), m_definition(std::move(definition))
{
    setObjectName(QStringLiteral("frm") + m_definition.name);
    setWindowTitle(m_definition.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    resize(m_definition.clientSize);
    buildCommonControls();
}

ToolWindow::~ToolWindow()
{
    if (m_clearReference)
        m_clearReference();
}

QLabel* ToolWindow::makeLabel(const QString& name, const QString& caption)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

void ToolWindow::buildCommonControls()
{
    const ToolDefinition& d = m_definition;

    edtConnStr = new ButtonEdit(this);
    edtConnStr->setObjectName(QStringLiteral("edtConnStr"));
    edtConnStr->button()->setObjectName(QStringLiteral("edtConnStrButton"));
    sLabel4 = makeLabel(QStringLiteral("sLabel4"), QStringLiteral("Veri Tabanı"));
    sLabel4->setBuddy(edtConnStr);
    connect(edtConnStr, &ButtonEdit::buttonClicked, this, [this]() { guarded(this, [this]() { edtConnStrButtonClick(); }); });

    if (!d.fileNameKey.isEmpty()) {
        edtFileName = new ButtonEdit(this);
        edtFileName->setObjectName(QStringLiteral("edtFileName"));
        edtFileName->button()->setObjectName(QStringLiteral("edtFileNameButton"));
        edtFileName->setMaxLength(255);
        sLabel3 = makeLabel(QStringLiteral("sLabel3"), QStringLiteral("Dosya Adı"));
        sLabel3->setBuddy(edtFileName);
        connect(edtFileName, &ButtonEdit::buttonClicked, this, [this]() {
            const QString chosen = QFileDialog::getOpenFileName(this, QString(), edtFileName->text());
            if (!chosen.isEmpty())
                edtFileName->setText(QDir::toNativeSeparators(chosen));
        });
    }

    edtUserCode = new QLineEdit(this);
    edtUserCode->setObjectName(QStringLiteral("edtUserCode"));
    sLabel5 = makeLabel(QStringLiteral("sLabel5"), QStringLiteral("Kullanıcı Kodu"));
    sLabel5->setBuddy(edtUserCode);

    if (d.numberSymbols) {
        edtOndalik = new QLineEdit(this);
        edtOndalik->setObjectName(QStringLiteral("edtOndalik"));
        sLabel6 = makeLabel(QStringLiteral("sLabel6"), d.editWidth > 0 ? QStringLiteral("Dosyadaki Ondalık Simgesi")
                                                                        : QStringLiteral("Dosyadaki\r\nOndalık Simge"));
        sLabel6->setBuddy(edtOndalik);
        edtBasamak = new QLineEdit(this);
        edtBasamak->setObjectName(QStringLiteral("edtBasamak"));
        sLabel7 = makeLabel(QStringLiteral("sLabel7"), d.editWidth > 0 ? QStringLiteral("Dosyadaki Basamak Simgesi")
                                                                        : QStringLiteral("Dosyadaki\r\nBasamak Simge"));
        sLabel7->setBuddy(edtBasamak);
    }

    lblInfo = makeLabel(QStringLiteral("lblInfo"), QString());
    lblInfo->setStyleSheet(QStringLiteral("color: maroon;"));

    if (!d.layoutFile.isEmpty()) {
        lstFields = new QTreeWidget(this);
        lstFields->setObjectName(QStringLiteral("lstFields"));
        lstFields->setColumnCount(2);
        lstFields->setHeaderLabels({QStringLiteral("Açıklama"), QStringLiteral("Parametre")});
        lstFields->setColumnWidth(0, d.captionColumnWidth);
        lstFields->setColumnWidth(1, 120);
        lstFields->setRootIsDecorated(false);
        lstFields->setItemsExpandable(false);
        lstFields->setSortingEnabled(false);
        lstFields->setSelectionMode(QAbstractItemView::SingleSelection);
        lstFields->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::SelectedClicked);
        lstFields->setItemDelegate(new CaptionOnlyDelegate(lstFields));
        lstFields->header()->setSectionsClickable(true);
        lstFields->header()->setSectionsMovable(false);
        connect(lstFields->header(), &QHeaderView::sectionClicked, this, &ToolWindow::lstFieldsColumnClick);
        setFieldLayout(d.defaultLayout);

        const QString upCaption = d.moveCaptions ? QStringLiteral("Yukarı\r\nTaşı") : QString();
        const QString downCaption = d.moveCaptions ? QStringLiteral("Aşağı\r\nTaşı") : QString();
        btnUp = new CaptionButton(upCaption, this);
        btnUp->setObjectName(QStringLiteral("btnUp"));
        btnUp->setGlyphAbove(true);
        btnDown = new CaptionButton(downCaption, this);
        btnDown->setObjectName(QStringLiteral("btnDown"));
        btnDown->setGlyphAbove(true);
        btnUp->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
        btnDown->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
        connect(btnUp, &QPushButton::clicked, this, &ToolWindow::btnUpClick);
        connect(btnDown, &QPushButton::clicked, this, &ToolWindow::btnDownClick);
    }

    mMoLog = new QPlainTextEdit(this);
    mMoLog->setObjectName(QStringLiteral("mMoLog"));
    mMoLog->setReadOnly(true);
    mMoLog->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mMoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    btnStart = new CaptionButton(d.startCaption, this);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnClose = new CaptionButton(QStringLiteral("Kapat"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* b : {static_cast<QPushButton*>(btnStart), static_cast<QPushButton*>(btnClose)}) {
        QFont bold = b->font();
        bold.setBold(true);
        b->setFont(bold);
        b->setAutoDefault(false);
    }
    btnStart->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    btnClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(btnStart, &QPushButton::clicked, this, [this]() { guarded(this, [this]() { btnStartClick(); }); });
    connect(btnClose, &QPushButton::clicked, this, &ToolWindow::btnCloseClick);
    if (btnUp) {
        btnUp->setAutoDefault(false);
        btnDown->setAutoDefault(false);
    }

    if (d.lineCounter) {
        lblBar = new QLabel(this);
        lblBar->setObjectName(QStringLiteral("lblBar"));
    } else {
        pBar = new QProgressBar(this);
        pBar->setObjectName(QStringLiteral("pBar"));
        pBar->setTextVisible(false);
        pBar->setRange(0, 100);
        pBar->setValue(0);
    }

    setTabChain({edtConnStr, edtFileName, edtUserCode, edtOndalik, edtBasamak, btnUp, btnDown, lstFields, btnStart,
                 btnClose, mMoLog});
    layoutControls();
}

void ToolWindow::setTabChain(const QList<QWidget*>& chain)
{
    QWidget* previous = nullptr;
    for (QWidget* w : chain) {
        if (!w)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void ToolWindow::setBottomNote(QLabel* note, int height)
{
    m_bottomNote = note;
    m_bottomNoteHeight = height;
    layoutControls();
}

void ToolWindow::addRow(RowAnchor anchor, QList<Placed> row, int pitch)
{
    (anchor == RowAnchor::AfterFileName ? m_rowsAfterFileName : m_rowsAfterSymbols).append({std::move(row), pitch});
    layoutControls();
}

void ToolWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void ToolWindow::layoutControls()
{
    const int w = width();
    const int h = height();
    const int labelLeft = 8;
    int y = 2;
    auto placeRows = [&y](const QList<std::pair<QList<Placed>, int>>& rows) {
        for (const auto& [row, pitch] : rows) {
            for (const Placed& p : row)
                p.widget->setGeometry(p.left, y, p.width, p.height);
            y += pitch;
        }
    };

    const bool wide = m_definition.editWidth > 0;
    const int editWidth = wide ? m_definition.editWidth : 207;
    sLabel4->setGeometry(labelLeft, y + 3, 81, 15);
    edtConnStr->setGeometry(89, y, editWidth, 21);
    y += 23;
    if (edtFileName) {
        sLabel3->setGeometry(labelLeft, y + 3, 81, 15);
        edtFileName->setGeometry(89, y, editWidth, 21);
        y += 24;
    }
    placeRows(m_rowsAfterFileName);
    sLabel5->setGeometry(labelLeft, y + 3, 81, 15);
    edtUserCode->setGeometry(89, y, wide ? editWidth : 141, 21);
    y += 25;
    if (edtOndalik && wide) {
        // One row: each one-line label as wide as its text, then its edit; the grouping symbol's edit ends where
        // the edits above end.
        const int decimalLabel = sLabel6->sizeHint().width();
        const int groupingLabel = sLabel7->sizeHint().width();
        const int groupingLeft = 89 + editWidth - 40;
        sLabel6->setGeometry(labelLeft, y + 3, decimalLabel, 15);
        edtOndalik->setGeometry(labelLeft + decimalLabel + 4, y, 40, 21);
        sLabel7->setGeometry(groupingLeft - 4 - groupingLabel, y + 3, groupingLabel, 15);
        edtBasamak->setGeometry(groupingLeft, y, 40, 21);
        y += 25;
    } else if (edtOndalik) {
        sLabel6->setGeometry(labelLeft, y - 4, 80, 28);
        edtOndalik->setGeometry(89, y, 40, 21);
        sLabel7->setGeometry(170, y - 4, 84, 28);
        edtBasamak->setGeometry(256, y, 40, 21);
        y += 30;
    }
    placeRows(m_rowsAfterSymbols);
    lblInfo->setGeometry(8, y, wide ? 81 + editWidth : 288, 13);
    y += 17;

    const int barHeight = 14;
    const int buttonsTop = h - barHeight - 5 - 36 - m_bottomNoteHeight;
    if (m_bottomNote)
        m_bottomNote->setGeometry(8, h - barHeight - m_bottomNoteHeight - 2, w - 16, m_bottomNoteHeight);
    btnStart->setGeometry(8, buttonsTop, 137, 36);
    btnClose->setGeometry(159, buttonsTop, 137, 36);
    if (pBar)
        pBar->setGeometry(0, h - barHeight, w, barHeight);
    if (lblBar)
        lblBar->setGeometry(8, h - barHeight, w - 16, barHeight);

    if (lstFields) {
        const int memoTop = buttonsTop - 58;
        const int listWidth = m_definition.captionColumnWidth + 129;
        lstFields->setGeometry(8, y, listWidth, memoTop - y);
        const int upHeight = (memoTop - y + 1) / 2;
        btnUp->setGeometry(8 + listWidth, y - 1, 40, upHeight);
        btnDown->setGeometry(8 + listWidth, y - 2 + upHeight, 40, memoTop - (y - 2 + upHeight));
        mMoLog->setGeometry(8, memoTop, w - 10, 58);
    } else {
        mMoLog->setGeometry(8, y, w - 10, buttonsTop - y);
    }
}

void ToolWindow::runFormCreate()
{
    guarded(this, [this]() { FormCreate(); });
}

void ToolWindow::FormCreate() { LoadSettings(); }

QString ToolWindow::layoutPath() const { return executableFolder() + m_definition.layoutFile; }

void ToolWindow::LoadSettings()
{
    edtConnStr->setText(ReadSetting(section, QStringLiteral("CONNSTR")));
    edtUserCode->setText(ReadSetting(section, QStringLiteral("USERCODE")));
    if (edtFileName)
        edtFileName->setText(ReadSetting(section, m_definition.fileNameKey));
    loadSettingsAfterFileName();
    if (edtOndalik) {
        edtOndalik->setText(ReadSetting(section, QStringLiteral("ONDALIK")));
        edtBasamak->setText(ReadSetting(section, QStringLiteral("BASAMAK")));
    }
    loadSettingsAfterSymbols();
    if (edtOndalik) {
        if (edtOndalik->text().isEmpty())
            edtOndalik->setText(QLocale().decimalPoint().left(1));
        if (edtBasamak->text().isEmpty())
            edtBasamak->setText(QLocale().groupSeparator().left(1));
    }
    if (lstFields)
        LoadFieldLayout(layoutPath());
}

void ToolWindow::SaveSettings()
{
    WriteSetting(section, QStringLiteral("CONNSTR"), edtConnStr->text());
    WriteSetting(section, QStringLiteral("USERCODE"), edtUserCode->text());
    if (edtFileName)
        WriteSetting(section, m_definition.fileNameKey, edtFileName->text());
    saveSettingsAfterFileName();
    if (edtOndalik) {
        WriteSetting(section, QStringLiteral("ONDALIK"), edtOndalik->text());
        WriteSetting(section, QStringLiteral("BASAMAK"), edtBasamak->text());
    }
    saveSettingsAfterSymbols();
    if (lstFields)
        SaveFieldLayout(layoutPath());
}

void ToolWindow::AddLog(const QString& text)
{
    mMoLog->appendPlainText(logTimestamp(QDateTime::currentDateTime(), QLocale()) + QStringLiteral(" -> ") + text);
    ScrollLogToEnd(mMoLog);
}

QTreeWidgetItem* ToolWindow::newItem(const LayoutItem& item, int position)
{
    auto* entry = new QTreeWidgetItem();
    entry->setText(0, item.caption);
    entry->setText(1, item.parameter);
    entry->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsEditable |
                    Qt::ItemNeverHasChildren);
    entry->setCheckState(0, item.checked ? Qt::Checked : Qt::Unchecked);
    lstFields->insertTopLevelItem(std::min(position, lstFields->topLevelItemCount()), entry);
    return entry;
}

LayoutItem ToolWindow::itemAt(int position) const
{
    const QTreeWidgetItem* entry = lstFields->topLevelItem(position);
    return {entry->text(0), entry->text(1), entry->checkState(0) == Qt::Checked};
}

FieldLayout ToolWindow::fieldLayout() const
{
    FieldLayout layout;
    if (!lstFields)
        return layout;
    for (int i = 0; i < lstFields->topLevelItemCount(); ++i)
        layout.append(itemAt(i));
    return layout;
}

void ToolWindow::setFieldLayout(const FieldLayout& layout)
{
    lstFields->clear();
    for (const LayoutItem& item : layout)
        newItem(item, lstFields->topLevelItemCount());
}

void ToolWindow::LoadFieldLayout(const QString& path)
{
    if (!QFileInfo::exists(path))
        return;
    lstFields->clear();
    for (const LayoutItem& item : readLayoutFile(path))
        newItem(item, lstFields->topLevelItemCount());
}

void ToolWindow::SaveFieldLayout(const QString& path) { writeLayoutFile(path, fieldLayout()); }

void ToolWindow::btnUpClick()
{
    QTreeWidgetItem* selected = lstFields->selectedItems().value(0);
    if (!selected)
        return;
    const int i = lstFields->indexOfTopLevelItem(selected);
    if (i <= 0)
        return;
    QTreeWidgetItem* moved = newItem(itemAt(i), i - 1);
    delete lstFields->takeTopLevelItem(i + 1);
    lstFields->setCurrentItem(moved);
    moved->setSelected(true);
}

void ToolWindow::btnDownClick()
{
    QTreeWidgetItem* selected = lstFields->selectedItems().value(0);
    if (!selected)
        return;
    const int i = lstFields->indexOfTopLevelItem(selected);
    // The copy goes in two places further down (appended when that lies past the end), then the item itself goes:
    // so the last item, moved down, is replaced by its copy and stays last.
    QTreeWidgetItem* moved = newItem(itemAt(i), i + 2);
    delete lstFields->takeTopLevelItem(i);
    lstFields->setCurrentItem(moved);
    moved->setSelected(true);
}

void ToolWindow::lstFieldsColumnClick(int)
{
    const Qt::CheckState state = m_headerClickFlag == 0 ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < lstFields->topLevelItemCount(); ++i)
        lstFields->topLevelItem(i)->setCheckState(0, state);
    m_headerClickFlag = m_headerClickFlag == 0 ? 1 : 0;
}

void ToolWindow::edtConnStrButtonClick()
{
    // The editor connects and saves nothing: the text reaches the settings file at the next run start.
    edtConnStr->setText(db::editConnectionString(this, edtConnStr->text()));
}

RunHost& ToolWindow::runHost()
{
    if (!m_runHost)
        m_runHost = std::make_unique<WindowRunHost>(this);
    return *m_runHost;
}

void ToolWindow::btnStartClick()
{
    // A second start while a run pumps messages would close the link under it.
    if (m_running)
        return;
    RunGuard running(this);
    ImportRun(profile, runHost(), ConnDB, spDo).start();
}

void ToolWindow::btnCloseClick() { close(); }

void ToolWindow::FormClose()
{
    if (m_clearReference) {
        m_clearReference();
        m_clearReference = nullptr;
    }
    setAttribute(Qt::WA_DeleteOnClose);
}

void ToolWindow::reject()
{
    // Escape closes the window the way its close button does.
    close();
}

void ToolWindow::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        // The run goes on; the window closes when it has ended.
        m_closeRequested = true;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    QDialog::done(QDialog::Rejected);
}

ToolWindow::RunGuard::RunGuard(ToolWindow* window) : m_window(window) { window->m_running = true; }

ToolWindow::RunGuard::~RunGuard()
{
    if (!m_window)
        return;
    m_window->m_running = false;
    if (m_window->m_closeRequested) {
        m_window->m_closeRequested = false;
        QMetaObject::invokeMethod(m_window.data(), &QWidget::close, Qt::QueuedConnection);
    }
}

} // namespace kelvra
