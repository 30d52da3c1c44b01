#include "app/untMain.h"
#include "framework/Error.h"
#include "framework/MessageBoxes.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// An error that no step caught ends its event in the standard error box instead of ending the program.
class Application : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const kelvra::Error& e) {
            kelvra::showError(nullptr, e.message());
        } catch (const std::exception& e) {
            kelvra::showError(nullptr, QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    Application app(argc, argv);
    // Tahoma 8 pt, as on every window of the system; the platform's sans-serif at the same size where it is missing.
    QFont font = QFontDatabase::families().contains(QStringLiteral("Tahoma")) ? QFont(QStringLiteral("Tahoma"))
                                                                               : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    QApplication::setFont(font);
    // Qt's own texts (Evet, Hayır, Tamam, İptal, the edits' menus) in Turkish, whatever the system's language.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_tr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    auto* main = new kelvra::TfrmMain();
    main->show();
    return app.exec();
}
