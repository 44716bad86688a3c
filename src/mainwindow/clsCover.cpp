#include "mainwindow/clsCover.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Numbers.h"
#include "core/mdlUtil.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/Screen.h"
#include "canvas/CanvasServices.h"
#include "mainwindow/clsPrintBorders.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/widgets/LineOverlay.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"

#include <QListWidget>
#include <QRadioButton>

namespace {

// The format list entry a keyword chooses, by medium 0 CD / VCD, 1 DVD, 2 Maxi-CD, 3 Video.
constexpr int kKeywordEntries[3][4] = {
    {0, 1, 0, 1}, // FRONT
    {2, 1, 0, 2}, // BACK
    {4, 2, 2, 3}, // LABEL
};

// The keyword that starts earliest in the name: 0 FRONT, 1 BACK, 2 LABEL; -1 for none. At
// one position FRONT goes before BACK before LABEL.
int keywordOf(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.mid(i, 5).toUpper() == QLatin1String("FRONT"))
            return 0;
        if (name.mid(i, 4).toUpper() == QLatin1String("BACK"))
            return 1;
        if (name.mid(i, 5).toUpper() == QLatin1String("LABEL"))
            return 2;
    }
    return -1;
}

// The inner edge of a disc label's printable ring relative to its outer edge (41 of 118 mm).
constexpr double kDiscHubRatio = 41.0 / 118.0;

} // namespace

void clsCover::setAktMedium(std::int16_t v)
{
    if (v < 0 || v > 255)
        throw AppError(ErrNo::Overflow);
    mByteAktMedium = std::uint8_t(v);
}

void clsCover::getAktMedium()
{
    try {
        frmPelmora *w = frmPelmora::instance();
        if (!w)
            return;
        for (std::uint8_t i = 0; i < w->optMedia.size(); ++i) {
            if (w->optMedia[i]->isChecked()) {
                setAktMedium(i);
                return;
            }
        }
    } catch (...) {
        // Errors are ignored here: the medium stays as it was.
    }
}

void clsCover::LoadExternalFile(QString &path)
{
    if (path.isEmpty())
        return;
    path = stripQuotes(path);
    static const QStringList kinds = {QStringLiteral("GIF"), QStringLiteral("JPG"), QStringLiteral("BMP"),
                                      QStringLiteral("JPEG")};
    if (fileExistsByAssociation(path) && kinds.contains(getPathExtension(path).toUpper()))
        chkType(path, 0);
}

void clsCover::CopyImageBox(const PictureBox &source, PictureBox &target)
{
    target.resize(source.size());
    QImage picture = source.picture();
    if (!picture.isNull() && !source.size().isEmpty())
        picture = picture.scaled(source.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    target.setPicture(picture);
}

void clsCover::chkType(const QString &path, std::int16_t side)
{
    const int keyword = keywordOf(splitPath(path).fileName);
    if (keyword < 0 || aktMedium() > 3)
        return;
    if (frmPelmora *w = frmPelmora::instance())
        w->selectCoverEntry(side, kKeywordEntries[keyword][aktMedium()]);
}

void clsCover::setBorder(int)
{
    try {
        frmPelmora *w = frmPelmora::instance();
        if (!w)
            return;
        const auto &screen = platform::Screen::get();
        const double tppx = screen.twipsPerPixelX(), tppy = screen.twipsPerPixelY();
        if (w->windowLines)
            w->windowLines->clear();
        for (int s = 0; s < 2; ++s) {
            PictureBox *pic = w->picVisible[size_t(s)];
            pic->refresh();

            // The cut border lies around the preview also while it is not drawn, so that
            // switching it on shows it in its place: the preview's rectangle, 10 twips further
            // out at the left and top and 50 twips larger.
            ShapeControl *border = w->shpBorder[size_t(s)];
            border->setGeometry(roundToInt((pic->leftTwips() - 10) / tppx), roundToInt((pic->topTwips() - 10) / tppy),
                                roundToInt((pic->widthTwips() + 50) / tppx), roundToInt((pic->heightTwips() + 50) / tppy));
            if (gBytePrintBorder == 1) {
                border->setBorderColor(std::uint32_t(gLngBorderColor));
                border->setBorderWidth(std::max(1, int(toInt32(gDblBorderWidth / 100.0 * 567.0))));
                border->setBorderStyle(gByteBorderStyle != 0 ? ShapeControl::kDot : ShapeControl::kSolid);
            } else {
                border->hide();
            }

            // The disc outlines mark the printable ring of a disc label: the outer edge
            // fills the preview, the inner one lies around the hub.
            const int entry = w->lstCoverNames[size_t(s)]->currentRow();
            const CoverTable &table = gVarCoverTypes[aktMedium() < kMediumCount ? aktMedium() : 0];
            const bool discLabel = gBytePrintBorder == 1 && aktMedium() <= 2 && entry >= 0 && entry < table.count()
                && table.at(entry).text(CoverField::Name).toUpper().contains(QLatin1String("LABEL"));
            ShapeControl *outer = w->shpCircle[size_t(s)];
            ShapeControl *inner = w->shpInnerCircle[size_t(s)];
            outer->setGeometry(pic->geometry());
            const int hub = roundToInt(std::min(pic->width(), pic->height()) * kDiscHubRatio);
            inner->setGeometry(QRect(0, 0, hub, hub).translated(pic->geometry().center() - QPoint(hub / 2, hub / 2)));
            outer->setVisible(discLabel);
            inner->setVisible(discLabel);

            if (gBytePrintMargin == 1 && w->lstCoverNames[size_t(s)]->count() > 0)
                drawFoldLines(s);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_BORDER"), QStringLiteral("clsCover.setBorder"));
    }
}

void clsCover::drawFoldLines(int side)
{
    frmPelmora *w = frmPelmora::instance();
    if (!w)
        return;
    const int entry = w->lstCoverNames[size_t(side)]->currentRow();
    const CoverTable &table = gVarCoverTypes[aktMedium() < kMediumCount ? aktMedium() : 0];
    if (entry < 0 || entry >= table.count())
        return;
    const CoverRecord &rec = table.at(entry);
    const double width = rec.number(CoverField::Width);
    const double c1 = rec.number(CoverField::Crease1), c2 = rec.number(CoverField::Crease2);
    if (width == 0)
        return;
    const double r = c1 / width;
    const auto &screen = platform::Screen::get();
    const double tppx = screen.twipsPerPixelX(), tppy = screen.twipsPerPixelY();
    PictureBox *pic = w->picVisible[size_t(side)];
    clsPrintBorders lines;
    lines.setLineColor(gLngMarginColor);
    lines.setLineStyle(2);
    lines.setThickness(1);
    const double Wd = pic->widthTwips(), H = pic->heightTwips();
    if (gByteMarginType == 2 && w->windowLines) {
        // Outside: from the window's top edge down to the preview's top edge.
        LineOverlay *surface = w->windowLines;
        lines.setCanvas([surface]() -> platform::imaging::DeviceContext & { return surface->hdc(); });
        const QPoint at = pic->mapTo(w->centralWidget(), QPoint(0, 0));
        const double L = at.x() * tppx, T = at.y() * tppy;
        if (c1 != 0)
            lines.singleLine(float(roundToInt((L + Wd * r) / tppx)), 0, float(roundToInt((L + Wd * r) / tppx)), float(T / tppy));
        if (c2 != 0)
            lines.singleLine(float(roundToInt((L + Wd - Wd * r) / tppx)), 0,
                             float(roundToInt((L + Wd - Wd * r) / tppx)), float(T / tppy));
    } else {
        lines.setCanvas([pic]() -> platform::imaging::DeviceContext & { return pic->hdc(); });
        const int tick = toInt32(gByteMarginType == 0 ? H / tppy : H / tppy * 0.05);
        if (c1 != 0)
            lines.singleLine(float(roundToInt(Wd * r / tppx)), 0, float(roundToInt(Wd * r / tppx)), float(tick));
        if (c2 != 0)
            lines.singleLine(float(roundToInt((Wd - Wd * r) / tppx)), 0, float(roundToInt((Wd - Wd * r) / tppx)),
                             float(tick));
    }
}

void clsCover::SetBorderIgX(platform::imaging::DeviceContext &hdc) { drawEditorFolds(hdc, false); }

void clsCover::SetBorderIgXWindow()
{
    try {
        // The editor window's own drawing surface: a see-through layer over it.
        QWidget *window = CanvasServices::get().editorCanvas().parentWidget();
        if (!window)
            return;
        auto *surface = window->findChild<LineOverlay *>(QStringLiteral("foldLines"), Qt::FindDirectChildrenOnly);
        if (!surface) {
            surface = new LineOverlay(window);
            surface->setObjectName(QStringLiteral("foldLines"));
        }
        surface->clear();
        drawEditorFolds(surface->hdc(), true);
    } catch (...) {
        reportError(QStringLiteral("ERR_BORDER"), QStringLiteral("clsCover.SetBorderIgXWindow"));
    }
}

void clsCover::drawEditorFolds(platform::imaging::DeviceContext &dc, bool aboveCanvas)
{
    try {
        frmPelmora *w = frmPelmora::instance();
        if (!w || (gByteMarginType == 2) != aboveCanvas)
            return;
        const int side = std::clamp<int>(w->mIntActualSide, 0, 1);
        const int entry = w->lstCoverNames[size_t(side)]->currentRow();
        if (gBytePrintMargin != 1 || w->lstCoverNames[size_t(side)]->count() < 1)
            return;
        const CoverTable &table = gVarCoverTypes[aktMedium() < kMediumCount ? aktMedium() : 0];
        if (entry < 0 || entry >= table.count())
            return;
        const CoverRecord &rec = table.at(entry);
        const double width = rec.number(CoverField::Width);
        const double c1 = rec.number(CoverField::Crease1), c2 = rec.number(CoverField::Crease2);
        const double r = c1 / width;
        const platform::ImgxCanvas &igx = CanvasServices::get().editorCanvas();
        const auto &screen = platform::Screen::get();
        const double tppx = screen.twipsPerPixelX(), tppy = screen.twipsPerPixelY();
        const double L = igx.x() * tppx, T = igx.y() * tppy, Wd = igx.width() * tppx, H = igx.height() * tppy;
        clsPrintBorders lines;
        lines.setLineColor(gLngMarginColor);
        lines.setLineStyle(2);
        lines.setThickness(1);
        lines.setCanvas([&dc]() -> platform::imaging::DeviceContext & { return dc; });
        auto draw = [&](double xTwips, double yEnd) {
            const float x = float(roundToInt(xTwips / tppx));
            lines.singleLine(x, 0, x, float(yEnd));
        };
        if (aboveCanvas) {
            // From the window's top edge down to the canvas.
            if (c1 != 0)
                draw(L + Wd * r, T / tppy);
            if (c2 != 0)
                draw(L + Wd - Wd * r, T / tppy);
        } else {
            const int tick = toInt32(gByteMarginType == 0 ? H / tppy : H / tppy * 0.05);
            if (c1 != 0)
                draw(Wd * r, tick);
            if (c2 != 0)
                draw(Wd - Wd * r, tick);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_BORDER"), QStringLiteral("clsCover.SetBorderIgX"));
    }
}
