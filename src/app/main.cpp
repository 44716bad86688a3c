// Pelmora: designs and prints the paper inserts of media boxes.
#include "app/AppStart.h"
#include "core/libInitialize.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/DeferredIconStyle.h"
#include "platform/ui/LoggingPrompter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelmora"));
    QApplication::setStyle(new platform::DeferredIconStyle);

    const QString messageLog = qEnvironmentVariable("PELMORA_MESSAGE_LOG");
    if (!messageLog.isEmpty())
        platform::Seam<platform::Prompter>::install(platform::makeLoggingPrompter(messageLog));

    installProgramWindows();

    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    QWidget *mainWindow = Main(hooks);
    if (!mainWindow)
        return 1;
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    return app.exec();
}
