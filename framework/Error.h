#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace kelvra {

// Every failure of the system is an error that carries its message text; the step that catches it shows or logs
// exactly that text.
class Error : public std::exception
{
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace kelvra
