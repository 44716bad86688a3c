#include "platform/scan/ScanSourceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace platform {

QList<double> resolutionsInRange(double min, double max, double current)
{
    QList<double> out;
    if (max < min)
        return out;
    out << min;
    for (double v : {50.0, 75.0, 100.0, 150.0, 200.0, 300.0, 400.0, 600.0, 1200.0, 2400.0, 4800.0})
        if (v > min && v < max)
            out << v;
    out << max;
    if (current >= min && current <= max)
        out << current;
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

namespace {

QString dpiText(double v)
{
    return QStringLiteral("%1 dpi").arg(QString::number(v, 'g', 6));
}

} // namespace

ScanSourceDialog::ScanSourceDialog(const ScanSourceRequest &request, QWidget *owner)
    : QDialog(owner), request_(request)
{
    setObjectName(QStringLiteral("ScanSourceDialog"));
    setWindowTitle(request.texts.title);
    auto *layout = new QVBoxLayout(this);

    devices_ = new QTreeWidget(this);
    devices_->setObjectName(QStringLiteral("lstSources"));
    devices_->setHeaderLabels({request.texts.vendor, request.texts.model, request.texts.device});
    devices_->setRootIsDecorated(false);
    devices_->header()->setStretchLastSection(true);
    for (const ScanDevice &d : request.devices) {
        if (request.settingsOnly && d.name != request.current.deviceName)
            continue;
        auto *item = new QTreeWidgetItem(devices_, {d.vendor, d.model, d.name});
        item->setData(0, Qt::UserRole, d.name);
    }
    devices_->setEnabled(!request.settingsOnly);
    layout->addWidget(devices_);
    if (devices_->topLevelItemCount() == 0) {
        auto *none = new QLabel(request.texts.noSource, this);
        none->setObjectName(QStringLiteral("lblNoSource"));
        layout->addWidget(none);
    }

    auto *form = new QFormLayout;
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("cboMode"));
    resolution_ = new QComboBox(this);
    resolution_->setObjectName(QStringLiteral("cboResolution"));
    modeLabel_ = new QLabel(request.texts.mode, this);
    resolutionLabel_ = new QLabel(request.texts.resolution, this);
    form->addRow(modeLabel_, mode_);
    form->addRow(resolutionLabel_, resolution_);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(devices_->topLevelItemCount() > 0);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(devices_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { showOptionsOf(item ? item->data(0, Qt::UserRole).toString() : QString()); });
    QTreeWidgetItem *preselect = devices_->topLevelItem(0);
    for (int i = 0; i < devices_->topLevelItemCount(); ++i)
        if (devices_->topLevelItem(i)->data(0, Qt::UserRole).toString() == request.current.deviceName)
            preselect = devices_->topLevelItem(i);
    if (preselect)
        devices_->setCurrentItem(preselect);
    else
        showOptionsOf(QString());
}

QString ScanSourceDialog::currentDevice() const
{
    const QTreeWidgetItem *item = devices_->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void ScanSourceDialog::showOptionsOf(const QString &deviceName)
{
    if (!deviceName.isEmpty() && !known_.contains(deviceName))
        known_.insert(deviceName, request_.optionsOf ? request_.optionsOf(deviceName) : ScanSourceOptions{});
    const ScanSourceOptions o = known_.value(deviceName);
    // The earlier choice holds for its own device; another device starts at its own settings.
    const bool same = deviceName == request_.current.deviceName
                      || (request_.current.deviceName.isEmpty() && devices_->currentItem() == devices_->topLevelItem(0));
    const QString wantMode = same && !request_.current.mode.isEmpty() ? request_.current.mode : o.mode;
    const double wantDpi = same && request_.current.resolution > 0 ? request_.current.resolution : o.resolution;

    mode_->clear();
    for (const QString &m : o.modes)
        mode_->addItem(m, m);
    mode_->setCurrentIndex(qMax(0, mode_->findData(wantMode)));
    resolution_->clear();
    for (double v : o.resolutions)
        resolution_->addItem(dpiText(v), v);
    int at = 0;
    for (int i = 0; i < resolution_->count(); ++i)
        if (std::abs(resolution_->itemData(i).toDouble() - wantDpi) < 1e-6)
            at = i;
    resolution_->setCurrentIndex(resolution_->count() ? at : -1);
    for (QWidget *w : {static_cast<QWidget *>(mode_), static_cast<QWidget *>(modeLabel_)})
        w->setVisible(!o.modes.isEmpty());
    for (QWidget *w : {static_cast<QWidget *>(resolution_), static_cast<QWidget *>(resolutionLabel_)})
        w->setVisible(!o.resolutions.isEmpty());
}

ScanSourceChoice ScanSourceDialog::choice() const
{
    ScanSourceChoice c;
    c.deviceName = currentDevice();
    if (mode_->currentIndex() >= 0)
        c.mode = mode_->currentData().toString();
    if (resolution_->currentIndex() >= 0)
        c.resolution = resolution_->currentData().toDouble();
    return c;
}

namespace {

class QtScanSourceChooser final : public ScanSourceChooser {
public:
    std::optional<ScanSourceChoice> choose(QWidget *owner, const ScanSourceRequest &request) override
    {
        ScanSourceDialog dlg(request, owner);
        if (dlg.exec() != QDialog::Accepted)
            return std::nullopt;
        return dlg.choice();
    }
};

std::unique_ptr<ScanSourceChooser> makeDefault() { return makeQtScanSourceChooser(); }

} // namespace

std::unique_ptr<ScanSourceChooser> makeQtScanSourceChooser()
{
    return std::make_unique<QtScanSourceChooser>();
}

template <> Seam<ScanSourceChooser>::Factory &Seam<ScanSourceChooser>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
