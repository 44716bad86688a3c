#include "tracklists/TrackLineParameters.h"

#include "core/Globals.h"
#include "tracklists/TrackListRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TrackLineParameters::TrackLineParameters(const Controls &controls, QObject *parent) : QObject(parent), c(controls)
{
    for (QCheckBox *box : {c.chkTitle, c.chkArtist, c.chkDuration})
        connect(box, &QCheckBox::clicked, this, [this] {
            fillSortingList();
            buildPreview();
        });
    connect(c.cboSeparator1, &QComboBox::currentIndexChanged, this, &TrackLineParameters::buildPreview);
    connect(c.cboSeparator2, &QComboBox::currentIndexChanged, this, &TrackLineParameters::buildPreview);
    connect(c.chkUCase, &QCheckBox::toggled, this, &TrackLineParameters::buildPreview);
    connect(c.cmdUp, &QPushButton::clicked, this, &TrackLineParameters::cmdUp_Click);
    connect(c.cmdDown, &QPushButton::clicked, this, &TrackLineParameters::cmdDown_Click);
}

void TrackLineParameters::load()
{
    fillSortingList();
    fillSeparators();
    if (c.lstSorting->count() > 0)
        c.lstSorting->setCurrentRow(0);
    buildPreview();
}

void TrackLineParameters::fillSortingList()
{
    c.lstSorting->clear();
    if (c.chkArtist->isChecked())
        c.lstSorting->addItem(gStrMp3Artist);
    if (c.chkTitle->isChecked())
        c.lstSorting->addItem(gStrMp3Title);
    if (c.chkDuration->isChecked())
        c.lstSorting->addItem(gStrMp3Duration);
}

void TrackLineParameters::fillSeparators()
{
    for (QComboBox *box : {c.cboSeparator1, c.cboSeparator2}) {
        box->clear();
        for (size_t i = 0; i + 1 < gStrSeparators.size(); ++i)
            box->addItem(gStrSeparators[i]);
        box->setCurrentIndex(0);
    }
}

void TrackLineParameters::buildPreview()
{
    QString preview;
    const int n = c.lstSorting->count();
    for (int i = 0; i < n; ++i) {
        preview += c.lstSorting->item(i)->text();
        if (i == 0 && n > 1)
            preview += previewSeparator(c.cboSeparator1->currentText());
        else if (i == 1 && n > 2)
            preview += previewSeparator(c.cboSeparator2->currentText());
    }
    if (c.chkUCase->isChecked())
        preview = preview.toUpper();
    c.txtPreview->setText(preview);
}

void TrackLineParameters::moveCurrent(int step)
{
    QListWidget *list = c.lstSorting;
    if (list->count() == 0)
        return;
    if (list->currentRow() < 0)
        list->setCurrentRow(0);
    const int row = list->currentRow();
    const int target = row + step;
    if (target < 0 || target >= list->count())
        return;
    QListWidgetItem *item = list->takeItem(row);
    list->insertItem(target, item);
    list->setCurrentRow(target);
    buildPreview();
}

void TrackLineParameters::cmdUp_Click() { moveCurrent(-1); }
void TrackLineParameters::cmdDown_Click() { moveCurrent(1); }

bool TrackLineParameters::anyFieldChecked() const
{
    return c.chkTitle->isChecked() || c.chkArtist->isChecked() || c.chkDuration->isChecked();
}

TrackLineChoice TrackLineParameters::choice() const
{
    TrackLineChoice r;
    QString *fields[] = {&r.field1, &r.field2, &r.field3};
    for (int i = 0; i < std::min(3, c.lstSorting->count()); ++i)
        *fields[i] = c.lstSorting->item(i)->text();
    r.sep1 = separatorValue(c.cboSeparator1->currentText());
    r.sep2 = separatorValue(c.cboSeparator2->currentText());
    if (r.field3.isEmpty())
        r.sep2.clear();
    if (r.field2.isEmpty())
        r.sep1.clear();
    r.upper = c.chkUCase->isChecked();
    return r;
}
