#include "editor/frmUndoOverview.h"

#include "canvas/clsUndos.h"
#include "core/libLanguage.h"
#include "mainwindow/LocaleNumbers.h"
#include "platform/widgets/ButtonPlus.h"
#include "ui_frmUndoOverview.h"

#include <QPointer>

namespace {

QPointer<frmUndoOverview> &openOverview()
{
    static QPointer<frmUndoOverview> overview;
    return overview;
}

QString parameterText(const UndoParameter &p)
{
    if (const auto *o = std::get_if<clsCanvasObjectPtr>(&p))
        return *o ? (*o)->typeName() : QStringLiteral("Nothing");
    if (const auto *d = std::get_if<double>(&p))
        return formatUserNumber(*d);
    if (const auto *s = std::get_if<QString>(&p))
        return *s;
    return QString();
}

} // namespace

frmUndoOverview::frmUndoOverview(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::frmUndoOverview>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    lblUndos = ui->lblUndos;
    lstOverview = ui->lstOverview;
    cmdRefresh = ui->cmdRefresh;
    // Refilled after the click has been handled, not while the clicked line is in use.
    connect(lstOverview, &QListWidget::itemClicked, this, &frmUndoOverview::fillUndoList, Qt::QueuedConnection);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmUndoOverview::fillUndoList);
    changeLanguage(this);
    fillUndoList();
}

frmUndoOverview::~frmUndoOverview() = default;

frmUndoOverview *frmUndoOverview::instance() { return openOverview().data(); }

frmUndoOverview *frmUndoOverview::showOverview()
{
    auto &overview = openOverview();
    if (!overview)
        overview = new frmUndoOverview(nullptr);
    else
        overview->fillUndoList();
    overview->show();
    overview->raise();
    return overview.data();
}

void frmUndoOverview::fillUndoList()
{
    lstOverview->clear();
    for (const auto &[key, e] : gObjUndos()->colUndos) {
        if (!e)
            continue;
        const QString type = e->typeName();
        const QString kind = type == QLatin1String("clsOtherUndo")  ? QStringLiteral("Other")
                             : type == QLatin1String("clsImgxUndo") ? QStringLiteral("Imgx")
                                                                     : QStringLiteral("Unknown");
        QString line = kind + QStringLiteral(" - ") + e->mstrText + QStringLiteral(" - ") + e->mstrUndoIndex +
                       QStringLiteral(" - ") + e->mstrMoveableObjectIndex;
        if (kind == QLatin1String("Other"))
            line += QStringLiteral(" - ") + parameterText(static_cast<const clsOtherUndo &>(*e).mVarParameter);
        lstOverview->addItem(line);
    }
}

QStringList frmUndoOverview::lines() const
{
    QStringList out;
    for (int i = 0; i < lstOverview->count(); ++i)
        out << lstOverview->item(i)->text();
    return out;
}
