#pragma once
// The file a save dialog's answer names.
#include <QString>
#include <optional>

// The chosen name, with the format's extension added when it was typed without one. When
// that adds up to a file that exists already, the user is asked first; nothing when the
// answer is not to replace it.
std::optional<QString> imageSaveTarget(const QString &chosen, const QString &extension);
