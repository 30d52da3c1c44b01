#include "framework/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace kelvra {

QString errorBoxText(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

namespace {

class RealMessageBoxes final : public MessageBoxes
{
public:
    void message(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, parent);
        box.exec();
    }
    bool confirm(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Vardel"), text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        return box.exec() == QMessageBox::Yes;
    }
    void error(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, parent);
        box.exec();
    }
};

RealMessageBoxes realBoxes;
MessageBoxes* current = &realBoxes;

} // namespace

MessageBoxes& messageBoxes() { return *current; }
void setMessageBoxes(MessageBoxes* boxes) { current = boxes ? boxes : &realBoxes; }

} // namespace kelvra
