#pragma once

#include <QString>

class QWidget;

namespace kelvra {

// The one way the program shows a message box. Windows call the free functions below; tests install their own
// MessageBoxes to read and answer what would have been shown.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A plain message with an OK button; the caption is the application's default title.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The Yes/No question with the caption "Vardel" and a question icon; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // The standard error box: error icon and OK; the text is shown as given (see errorBoxText).
    virtual void error(QWidget* parent, const QString& text) = 0;
};

// The text of the standard error box: a full stop is added when the text ends in a character above ".".
QString errorBoxText(const QString& text);

// The service in use; the real boxes unless a test installed its own. Passing nullptr restores the real boxes.
MessageBoxes& messageBoxes();
void setMessageBoxes(MessageBoxes* boxes);

inline void showMessage(QWidget* parent, const QString& text) { messageBoxes().message(parent, text); }
inline bool askYesNo(QWidget* parent, const QString& text) { return messageBoxes().confirm(parent, text); }
inline void showError(QWidget* parent, const QString& text) { messageBoxes().error(parent, errorBoxText(text)); }

} // namespace kelvra
