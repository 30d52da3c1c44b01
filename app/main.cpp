#include "app/untMain.h"
#include "framework/Error.h"
#include "framework/MessageBoxes.h"

#include <QApplication>

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
    kelvra::applyProgramLook();

    auto* main = new kelvra::TfrmMain();
    main->show();
    return app.exec();
}
