#pragma once
// What every screenshot program does first: a temporary program folder seeded with the
// shipped data and language files, named by PELMORA_HOME before the application starts, and
// the fixed font that makes the pictures the same on every machine.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QApplication;
class QImage;
class QWidget;

namespace screenshot {

// The start of every screenshot program: checks the arguments (the first is the resources
// folder), makes and seeds the program folder and starts the application. When ok() is false
// the program ends with exitCode().
class Session {
public:
    // usage names the arguments after the program's name; argument counts exclude it.
    Session(int &argc, char **argv, const char *usage, int minArguments, int maxArguments);
    ~Session();
    bool ok() const { return m_exitCode == 0; }
    int exitCode() const { return m_exitCode; }
    // Argument i (1 is the resources folder); "" beyond the given ones.
    QString argument(int i) const { return m_arguments.value(i); }
    int argumentCount() const { return int(m_arguments.size()) - 1; }
    QString home() const { return m_home.path(); }
    // Replaces the options file (data/pelmora.dat) with the given text; false when it fails.
    bool writeOptions(const QByteArray &text) const;

private:
    QTemporaryDir m_home;
    std::unique_ptr<QApplication> m_app;
    QStringList m_arguments;
    int m_exitCode = 0;
};

// Creates the program folder and points PELMORA_HOME at it; call before the QApplication.
// False when no folder could be made.
bool makeProgramFolder(QTemporaryDir &home);
// Sets the fixed font and copies resources/data and resources/language into the program
// folder; call after the QApplication. False when a file could not be copied.
bool seedProgramFolder(const QTemporaryDir &home, const QString &resources);
// Lets the windows lay out and paint.
void settle();
// A window as it would stand on the desktop: its caption above its contents.
QImage framed(QWidget &window);

} // namespace screenshot
