#pragma once
// The field half of the MP3 and playlist dialogs: which fields a track line holds, their
// order, the two separators, upper case and the sample line. Both dialogs hold the same
// controls; this wires them.
#include <QObject>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The fields and separators the import puts into each line.
struct TrackLineChoice {
    QString field1, sep1, field2, sep2, field3;
    bool upper = false;
};

class TrackLineParameters : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QCheckBox *chkTitle, *chkArtist, *chkDuration;
        QListWidget *lstSorting;
        QPushButton *cmdUp, *cmdDown;
        QComboBox *cboSeparator1, *cboSeparator2;
        QCheckBox *chkUCase;
        QLineEdit *txtPreview;
    };

    TrackLineParameters(const Controls &controls, QObject *parent);

    // Fills the order list and the separators, and selects the first field.
    void load();
    void fillSortingList();
    void fillSeparators();
    void buildPreview();
    void cmdUp_Click();
    void cmdDown_Click();
    bool anyFieldChecked() const;
    // The choice as the import reads it.
    TrackLineChoice choice() const;

private:
    void moveCurrent(int step);

    Controls c;
};
