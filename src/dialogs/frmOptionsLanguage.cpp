// The language page of the options: the language files of the program folder, and the switch
// to another language, which every open window follows at once.
#include "dialogs/frmOptions.h"

#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libCoverData.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "dialogs/OptionsControls.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

using optionspages::named;

void frmOptions::buildLanguagePage()
{
    auto *page = new QVBoxLayout(picOptions[4]);
    page->addWidget(named(new QLabel(QStringLiteral("Sprache des Programms")), QStringLiteral("lblLanguage")));
    lstLanguage = named(new QListWidget, QStringLiteral("lstLanguage"));
    page->addWidget(lstLanguage);
    cmdChangeLanguage = named(new QPushButton(QStringLiteral("Sprache wechseln")), QStringLiteral("cmdChangeLanguage"));
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdChangeLanguage);
    page->addLayout(row);
}

void frmOptions::connectLanguagePage()
{
    connect(cmdChangeLanguage, &QPushButton::clicked, this, [this] { cmdChangeLanguage_Click(); });
}

void frmOptions::listLanguages()
{
    const QString stored = gObjOptionsStore().getVar(QStringLiteral("OPTIONS.LANGUAGE"), QStringLiteral("English.dll"));
    for (const QString &file : gColLanguageFiles) {
        lstLanguage->addItem(file.left(file.size() - 4));
        if (file == stored)
            lstLanguage->setCurrentRow(lstLanguage->count() - 1);
    }
}

void frmOptions::cmdChangeLanguage_Click()
{
    try {
        // With no entry chosen (the stored language file is gone) there is nothing to switch to.
        QListWidgetItem *chosen = lstLanguage->currentItem();
        if (!chosen || !chosen->isSelected())
            return;
        gStrLanguage = chosen->text() + QStringLiteral(".dll");
        setLanguage(appPath() + QStringLiteral("/language/") + gStrLanguage);
        loadCoverData();

        // Owners first: localising a window reaches into the dialogs it owns, which then
        // take their own texts again.
        QList<QWidget *> forms;
        for (QWidget *form : QApplication::topLevelWidgets())
            if (form->objectName().startsWith(QLatin1String("frm")))
                forms << form;
        std::stable_sort(forms.begin(), forms.end(), [](QWidget *a, QWidget *b) {
            return !a->parentWidget() && b->parentWidget();
        });
        for (QWidget *form : forms)
            changeLanguage(form);

        showPrinterPrompt();
        fitTabs();
        chooseHelpFile();

        frmPelmora *main = frmPelmora::instance();
        const int medium = gObjCover().aktMedium();
        if (main && medium >= 0 && medium < kMediumCount && gVarCoverTypes[size_t(medium)].hasRecords()) {
            std::array<int, 2> remembered{};
            for (size_t s = 0; s < 2; ++s) {
                QListWidget *list = main->lstCoverNames[s];
                remembered[s] = list->currentRow();
                const QSignalBlocker quiet(list);
                list->clear();
                for (const CoverRecord &r : gVarCoverTypes[size_t(medium)].records())
                    list->addItem(r.text(CoverField::DisplayName));
                list->update();
            }
            main->update();
            main->mBoolInitialised = false;
            for (int s = 0; s < 2; ++s)
                main->selectCoverEntry(s, remembered[size_t(s)]);
            main->mBoolInitialised = true;
        }
        buildImageFilters();
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGE_LANGUAGE_FORM"), QStringLiteral("frmOptions.cmdChangeLanguage_Click"));
    }
}
