// The border page of the options: the cut border and the fold margin that printing draws, which
// the main window's previews show at once.
#include "dialogs/frmOptions.h"

#include "core/Globals.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/OptionsControls.h"
#include "mainwindow/Globals.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/Rounding.h"
#include "platform/ui/Choosers.h"
#include "platform/widgets/NumberBox.h"
#include "platform/widgets/ShapeControl.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

using optionspages::named;

namespace {
constexpr int kWidthSteps = 200; // the spinner's maximum: 2.00 mm in steps of 0.01
} // namespace

void frmOptions::buildBorderPage()
{
    auto *page = new QVBoxLayout(picOptions[1]);
    chkDrawBorder = named(new QCheckBox(QString::fromUtf8("Rahmen um das Cover zeichen?")), QStringLiteral("chkDrawBorder"));
    page->addWidget(chkDrawBorder);
    picBorder = named(new QWidget, QStringLiteral("picBorder"));
    auto *bl = new QGridLayout(picBorder);
    bl->setContentsMargins(20, 0, 0, 0);
    const char *styles[] = {"Durchgezogen", "Gepunktet"};
    for (int i = 0; i < 2; ++i)
        bl->addWidget(optBorder[size_t(i)] = named(new QRadioButton(QString::fromUtf8(styles[i])), QStringLiteral("optBorder"), i), i, 0);
    bl->addWidget(named(new QLabel(QStringLiteral("Breite (mm)")), QStringLiteral("lblBorderWidth")), 0, 1);
    auto *widthRow = new QHBoxLayout;
    txtBorderWidth = named(new QLineEdit, QStringLiteral("txtBorderWidth"));
    txtBorderWidth->setFixedWidth(60);
    updBorderWidth = named(new QScrollBar(Qt::Vertical), QStringLiteral("updBorderWidth"));
    updBorderWidth->setRange(0, kWidthSteps);
    updBorderWidth->setSingleStep(1);
    updBorderWidth->setPageStep(1);
    updBorderWidth->setValue(1);
    updBorderWidth->setFixedHeight(txtBorderWidth->sizeHint().height());
    widthRow->addWidget(txtBorderWidth);
    widthRow->addWidget(updBorderWidth);
    widthRow->setSpacing(0);
    widthRow->addStretch();
    bl->addLayout(widthRow, 1, 1);
    cmdBorderColor = named(new QPushButton(QString::fromUtf8("Farbe wählen")), QStringLiteral("cmdBorderColor"));
    shpBorderColor = named(new ClickableLabel, QStringLiteral("shpBorderColor"));
    shpBorderColor->setFixedSize(40, 20);
    bl->addWidget(cmdBorderColor, 0, 2);
    bl->addWidget(shpBorderColor, 1, 2);
    page->addWidget(picBorder);

    chkMargin = named(new QCheckBox(QStringLiteral("Falzrand drucken?")), QStringLiteral("chkMargin"));
    page->addWidget(chkMargin);
    picMargin = named(new QWidget, QStringLiteral("picMargin"));
    auto *ml = new QGridLayout(picMargin);
    ml->setContentsMargins(20, 0, 0, 0);
    const char *margins[] = {"Falzrand in voller Länge des Covers drucken", "Falzrand nur andeuten",
                             "Falzrand nach außen zeichnen"};
    for (int i = 0; i < 3; ++i)
        ml->addWidget(optMargin[size_t(i)] = named(new QRadioButton(QString::fromUtf8(margins[i])), QStringLiteral("optMargin"), i), i, 0);
    cmdMarginColor = named(new QPushButton(QString::fromUtf8("Farbe wählen")), QStringLiteral("cmdMarginColor"));
    shpMarginColor = named(new ClickableLabel, QStringLiteral("shpMarginColor"));
    shpMarginColor->setFixedSize(40, 20);
    ml->addWidget(cmdMarginColor, 0, 1);
    ml->addWidget(shpMarginColor, 1, 1);
    page->addWidget(picMargin);
    page->addStretch();
}

void frmOptions::connectBorderPage()
{
    connect(chkDrawBorder, &QCheckBox::toggled, this, [this] { chkDrawBorder_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(optBorder[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optBorder_Click(i);
        });
    NumberBox::Rules width;
    const int lowest = updBorderWidth->minimum(), highest = updBorderWidth->maximum();
    width.read = [=](const QString &text) -> std::optional<double> {
        if (const std::optional<double> n = parseUserNumber(text))
            return std::clamp(*n, lowest / 100.0, highest / 100.0);
        return std::nullopt;
    };
    width.finished = [=, this](const QString &text) {
        const std::optional<double> n = parseUserNumber(text);
        if (!n)
            return formatUserNumber((kWidthSteps - updBorderWidth->value()) / 100.0);
        if (*n > highest / 100.0)
            return formatUserNumber(highest / 100.0);
        if (*n < lowest / 100.0)
            return formatUserNumber((lowest + 1) / 100.0);
        return text;
    };
    width.position = [](double w) { return int(roundHalfEven(kWidthSteps - 100.0 * w)); };
    width.positionText = [](int position) { return formatUserNumber((kWidthSteps - position) / 100.0); };
    borderWidth_ = new NumberBox(txtBorderWidth, updBorderWidth, std::move(width));
    connect(cmdBorderColor, &QPushButton::clicked, this, [this] { cmdBorderColor_Click(); });
    connect(shpBorderColor, &ClickableLabel::clicked, this, [this] { cmdBorderColor_Click(); });
    connect(chkMargin, &QCheckBox::toggled, this, [this] { chkMargin_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(optMargin[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optMargin_Click(i);
        });
    connect(cmdMarginColor, &QPushButton::clicked, this, [this] { cmdMarginColor_Click(); });
    connect(shpMarginColor, &ClickableLabel::clicked, this, [this] { cmdMarginColor_Click(); });
}

void frmOptions::loadBorderPage()
{
    // 10. Border.
    try {
        {
            const QSignalBlocker quiet(chkDrawBorder);
            chkDrawBorder->setChecked(gBytePrintBorder == 1);
        }
        chkDrawBorder_Click();
        if (gBytePrintBorder != 1)
            shpBorderColor->setColor(std::uint32_t(gLngBorderColor));
    } catch (...) {
    }
    // 11. Margin.
    try {
        {
            const QSignalBlocker quiet(chkMargin);
            chkMargin->setChecked(gBytePrintMargin == 1);
        }
        chkMargin_Click();
        if (gBytePrintMargin != 1)
            shpMarginColor->setColor(std::uint32_t(gLngMarginColor));
    } catch (...) {
    }
}

void frmOptions::chkDrawBorder_Click()
{
    try {
        gBytePrintBorder = chkDrawBorder->isChecked() ? 1 : 0;
        frmPelmora *main = frmPelmora::instance();
        if (!chkDrawBorder->isChecked()) {
            enableFrameControlsExcept(picBorder, QString());
            if (main)
                for (size_t s = 0; s < 2; ++s) {
                    main->shpBorder[s]->hide();
                    main->shpCircle[s]->hide();
                    main->shpInnerCircle[s]->hide();
                }
            return;
        }
        enableFrameControls(picBorder);
        if (gByteBorderStyle < optBorder.size())
            selectOption(optBorder[gByteBorderStyle]);
        borderWidth_->show(formatUserNumber(gDblBorderWidth));
        shpBorderColor->setColor(std::uint32_t(gLngBorderColor));
        if (main)
            for (size_t s = 0; s < 2; ++s) {
                main->shpBorder[s]->setBorderColor(std::uint32_t(gLngBorderColor));
                main->shpBorder[s]->show();
                main->shpCircle[s]->setBorderColor(std::uint32_t(gLngMarginColor));
                main->shpInnerCircle[s]->setBorderColor(std::uint32_t(gLngMarginColor));
            }
    } catch (...) {
    }
}

void frmOptions::optBorder_Click(int index)
{
    try {
        gByteBorderStyle = std::uint8_t(index);
        if (index == 1)
            borderWidth_->show(QStringLiteral("1"));
        if (frmPelmora *main = frmPelmora::instance()) {
            for (ShapeControl *shape : main->shpBorder) {
                shape->setBorderStyle(index == 0 ? ShapeControl::kSolid : ShapeControl::kDot);
                shape->setBorderWidth(1);
            }
        }
        gObjCover().setBorder(0);
    } catch (...) {
    }
}

void frmOptions::pickColor(ClickableLabel *swatch, bool border)
{
    try {
        const std::uint32_t start = swatch->color();
        const std::uint32_t chosen = platform::Choosers::get().chooseColor(start).value_or(start);
        swatch->setColor(chosen);
        frmPelmora *main = frmPelmora::instance();
        if (border) {
            gLngBorderColor = std::int32_t(chosen);
            if (gBytePrintBorder == 1 && main)
                for (size_t s = 0; s < 2; ++s)
                    for (ShapeControl *shape : {main->shpBorder[s], main->shpInnerCircle[s], main->shpCircle[s]}) {
                        shape->setBorderColor(chosen);
                        shape->update();
                    }
        } else {
            gLngMarginColor = std::int32_t(chosen);
            gObjCover().setBorder(0);
        }
    } catch (...) {
    }
}

void frmOptions::cmdBorderColor_Click() { pickColor(shpBorderColor, true); }

void frmOptions::cmdMarginColor_Click() { pickColor(shpMarginColor, false); }

void frmOptions::chkMargin_Click()
{
    try {
        gBytePrintMargin = chkMargin->isChecked() ? 1 : 0;
        if (chkMargin->isChecked()) {
            enableFrameControls(picMargin);
            shpMarginColor->setColor(std::uint32_t(gLngMarginColor));
            if (gByteMarginType < optMargin.size())
                selectOption(optMargin[gByteMarginType]);
        } else {
            enableFrameControlsExcept(picMargin, QString());
        }
    } catch (...) {
    }
}

void frmOptions::optMargin_Click(int index)
{
    try {
        gByteMarginType = std::uint8_t(index);
        if (frmPelmora *main = frmPelmora::instance())
            for (ShapeControl *shape : main->shpCircle)
                shape->setBorderStyle(ShapeControl::kDot);
        gObjCover().setBorder(0);
        gObjCover().setBorder(1);
    } catch (...) {
    }
}
