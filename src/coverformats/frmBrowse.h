#pragma once
// The image folder browser: the pictures of a folder (*.bmp, *.gif, *.jpg) in a list, the
// chosen one previewed scaled to fit, and a button per cover side that takes it over as the
// side's background picture. It starts in the options' standard picture folder and stays
// open, so several pictures can be taken over one after the other.
#include <QDialog>
#include <QSizeF>
#include <QStringList>
#include <array>
#include <memory>

class ButtonPlus;
class PictureBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;
class frmPelmora;

namespace Ui { class frmBrowse; }

class frmBrowse : public QDialog {
    Q_OBJECT
public:
    // The inner area of the window and the box the preview is fitted into, in twips.
    static constexpr double kInnerWidth = 5100, kInnerHeight = 5190;
    static constexpr double kPreviewTop = 25;

    explicit frmBrowse(QWidget *owner = nullptr);
    ~frmBrowse() override;

    PictureBox *picPreview = nullptr;
    QLabel *lblNoFile = nullptr;
    QFrame *Frame1 = nullptr;
    QToolButton *cmdBrowse = nullptr;
    QLineEdit *txtImageFolder = nullptr;
    QListWidget *lstFiles = nullptr;
    std::array<ButtonPlus *, 2> cmdOvertake{};

    // The folder the list shows ("" before one is chosen) and its selected file ("" for none).
    const QString &listPath() const { return mStrListPath; }
    QString fileName() const;
    // The preview's place in twips.
    double previewLeftTwips() const { return mDblPreviewLeft; }

    void cmdBrowse_Click();
    void lstFiles_Click();
    void cmdOvertake_Click(int index);
    // Lists the folder again; the selection and the scroll position stay.
    void refreshFileList();

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void done(int r) override;

private:
    void Form_Load();
    void Form_Unload();
    void setListPath(const QString &folder);
    void centrePreview();
    frmPelmora *mainWindow() const;

    std::unique_ptr<Ui::frmBrowse> ui;
    QString mStrListPath;
    QStringList mListed;
    double mDblPreviewLeft = 0;
    bool mBoolUnloaded = false;
};
