#include "framework/Controls.h"

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

} // namespace kelvra
