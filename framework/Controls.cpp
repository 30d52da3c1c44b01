#include "framework/Controls.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace kelvra {

ButtonEdit::ButtonEdit(QWidget* parent) : QLineEdit(parent), m_button(new QToolButton(this))
{
    m_button->setText(QStringLiteral("..."));
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, &ButtonEdit::buttonClicked);
}

void ButtonEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    const int side = height() - 2;
    m_button->setGeometry(width() - side - 1, 1, side, side);
    setTextMargins(0, 0, side, 0);
}

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

QSize CaptionButton::sizeHint() const { return QPushButton::sizeHint(); }

void CaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    const QIcon glyph = option.icon;
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    // The caption's line breaks are CR LF; the text wraps within the button.
    QString shown = caption;
    shown.remove(QLatin1Char('\r'));
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 2, -2, -2);
    if (!glyph.isNull()) {
        const QSize size = option.iconSize;
        if (m_glyphAbove || shown.isEmpty()) {
            const int textHeight = shown.isEmpty() ? 0 : fontMetrics().boundingRect(area, Qt::TextWordWrap, shown).height();
            const int top = area.top() + (area.height() - size.height() - textHeight - (textHeight ? 4 : 0)) / 2;
            const QRect iconRect(area.left() + (area.width() - size.width()) / 2, top, size.width(), size.height());
            glyph.paint(&painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
            area.setTop(iconRect.bottom() + 4);
            area.setHeight(textHeight);
        } else {
            const QRect iconRect(area.left() + 2, area.top() + (area.height() - size.height()) / 2, size.width(),
                                 size.height());
            glyph.paint(&painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
            area.setLeft(iconRect.right() + 4);
        }
    }
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), shown,
                         QPalette::ButtonText);
}

namespace {

bool isDateField(QChar c) { return c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y'); }

} // namespace

QString dateSeparator(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    for (const QChar c : format) {
        if (!isDateField(c) && c != QLatin1Char('\''))
            return QString(c);
    }
    return QStringLiteral(".");
}

QString DateEdit::displayFormatFor(const QLocale& locale)
{
    // The fields in the locale's order, each at its full width: dd, MM and yyyy.
    QString order;
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (isDateField(c) && !order.contains(c))
            order += c;
    }
    for (const QChar c : {QLatin1Char('d'), QLatin1Char('M'), QLatin1Char('y')}) {
        if (!order.contains(c))
            order += c;
    }
    const QString separator = QLatin1Char('\'') + dateSeparator(locale) + QLatin1Char('\'');
    QStringList parts;
    for (const QChar c : order)
        parts << (c == QLatin1Char('y') ? QStringLiteral("yyyy") : QString(2, c));
    return parts.join(separator);
}

DateEdit::DateEdit(QWidget* parent) : QDateEdit(parent)
{
    setLocale(QLocale());
    setCalendarPopup(true);
    setDisplayFormat(displayFormatFor(QLocale()));
    calendarWidget()->setLocale(QLocale());
}

} // namespace kelvra
