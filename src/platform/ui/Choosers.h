#pragma once
// File, folder and colour choosers. Filters are written as the program keeps them:
// "description|pattern|description|pattern|", patterns separated by ";".
#include "platform/Seam.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace platform {

struct FileDialogRequest {
    QString title;
    QString filter;           // "desc|*.a;*.b|desc|*.c"
    int filterIndex = 1;      // 1-based, as the program counts rows of its filters
    QString initialDir;
    QString fileName;         // proposed name
    // Save dialogs: the extension a name typed without one gets (without the dot); the
    // dialog changes it with the chosen filter when that filter names one.
    QString defaultSuffix;
    bool save = false;
    bool confirmOverwrite = true;
    QMap<QString, QString> captions; // texts by role: "OpenButtonCaption", "FileNameLabel", ...
};

struct FileDialogResult {
    QString path;
    int filterIndex = 1;
};

class Choosers {
public:
    virtual ~Choosers() = default;
    virtual std::optional<FileDialogResult> chooseFile(const FileDialogRequest &request) = 0;
    // Returns "" when cancelled.
    virtual QString chooseFolder(const QString &title, const QString &startDir) = 0;
    // Colours are 0x00BBGGRR; nothing when cancelled.
    virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;

    static Choosers &get() { return Seam<Choosers>::get(); }
};

// "All images|*.jpg;*.png|" -> {"All images (*.jpg *.png)"}
QStringList toQtNameFilters(const QString &filter);
// The extension of the first pattern of a filter row ("JPEG (*.jpg *.jpeg)" -> "jpg");
// "" when the row takes any name.
QString filterExtension(const QString &qtNameFilter);

std::unique_ptr<Choosers> makeQtChoosers();

template <> Seam<Choosers>::Factory &Seam<Choosers>::defaultFactory();

} // namespace platform
