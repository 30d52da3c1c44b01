#pragma once

// Small controls the windows share: an edit with a button at its right end, and a push button whose caption
// wraps and may carry a glyph above it.

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace kelvra {

class ButtonEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit ButtonEdit(QWidget* parent = nullptr);
    QToolButton* button() const { return m_button; }

signals:
    void buttonClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_button;
};

class CaptionButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CaptionButton(const QString& caption, QWidget* parent = nullptr);
    // The glyph stands above the caption (or alone when the caption is empty).
    void setGlyphAbove(bool above) { m_glyphAbove = above; }

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;

private:
    bool m_glyphAbove = false;
};

// A date edit with a drop-down calendar: two-digit day and month and a four-digit year, in the order of the
// locale's short date format and with its date separator (27.04.2020 in Turkish, 04/27/2020 in US English).
class DateEdit : public QDateEdit
{
    Q_OBJECT
public:
    explicit DateEdit(QWidget* parent = nullptr);
    static QString displayFormatFor(const QLocale& locale);
};

// The locale's date separator: the first character of its short date format that belongs to no day, month or
// year field.
QString dateSeparator(const QLocale& locale);

} // namespace kelvra
