#pragma once
// Language files and the localisation of forms.
//
// Every text the program shows comes from the current language file, looked up as
// "SECTION.KEY". A form is localised by names: its caption from "F.F", a control's caption
// from "F.C", an element I of a control array (objectName "C_I" with the dynamic property
// "index" = I) from "F.C_I", tool tips from "F.CToolTipText" and "F.CToolTipText_I", and the
// tabs of a tab widget from "F.C_1", "F.C_2", ...
#include "platform/ui/Choosers.h"

#include <QString>
#include <QStringList>

class QWidget;

// The sections of a language file, in the order they are loaded.
const QStringList &languageSections();

// Lists "language/*.dll" of the program folder into gColLanguageFiles.
void getLanguageFiles();
// The name of a language file as stored on disk, letter case ignored; "" when missing.
QString findLanguageFile(const QString &name);
// Loads a language file into the language store and chooses the web links of its language
// and Qt's own texts (standard buttons, file, colour and folder dialogs) for its
// GENERAL.LANGUAGE_SHORTCUT ("DE", "EN").
void setLanguage(const QString &path);
// Qt's translations for a language shortcut in place of the ones loaded before; Qt's English
// texts when there are none.
void applyQtTranslations(const QString &shortcut);
// Localises one form from the language store.
void changeLanguage(QWidget *form);
// Sets the captions of a file dialog from the "DIALOG." texts.
void localiseImgxDialog(platform::FileDialogRequest &dialog);
