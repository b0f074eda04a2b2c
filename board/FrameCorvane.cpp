#include "FrameCorvane.h"

#include "BoardGeometry.h"
#include "FontFit.h"
#include "TargetMonitor.h"
#include "TitleImage.h"
#include "content/BoardContent.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "controls/RunLabel.h"
#include "platform/FontUnits.h"

#include <QCoreApplication>
#include <QLabel>
#include <climits>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// Board labels use the narrow face in the Cyrillic character set unless they say otherwise.
constexpr int kCyrillicCharset = 204;

QFont boardFont(const QString &family = QStringLiteral("Arial Narrow"))
{
    QFont font(family);
    font.setPixelSize(16);
    return font;
}

// The name column's templates carry the board's design colours behind their captions. The
// labels are transparent, so the colours never show; rows cloned from the templates keep
// them.
constexpr TColor kCodeTemplateBackground = TColor(0x20202020);
constexpr TColor kSecondNameTemplateBackground = TColor(0x00101010);

void setTemplateLook(TLabel3D *label, TColor background, TColor fontColor, TLabel3D::TAlignment alignment)
{
    label->setAlignment(alignment);
    label->setLayout(TLabel3D::tlCenter);
    label->setTransparent(true);
    label->setColor(background);
    label->setFontColor(fontColor);
    label->setBorderStyle(TLabel3D::lbNormal);
    label->setBorderWidth(0);
    label->hide();
}

} // namespace

TFrameCorvane::TFrameCorvane(QWidget *parent)
    : TDockPanel(parent)
{
    setObjectName(QStringLiteral("FrameCorvane1"));
    setBackground(Qt::black);
    setFont(boardFont());
    resize(270, 480);
    buildElementTree();
}

TDockPanel *TFrameCorvane::addPanel(TDockPanel *parent, const char *name, DockSide side)
{
    auto *panel = new TDockPanel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setBackground(Qt::black);
    parent->dock(panel, side);
    return panel;
}

TLabel3D *TFrameCorvane::addLabel(TDockPanel *parent, const char *name, DockSide side)
{
    auto *label = new TLabel3D(parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(boardFont());
    label->setFontCharset(kCyrillicCharset);
    label->setColor(clBlack);
    label->setFirstColor(clWhite);
    label->setLastColor(clTeal);
    label->setBevel(TLabel3D::blNone);
    label->setBorderColor(clBlack);
    label->setBorderWidth(1);
    label->setBorderStyle(TLabel3D::lbNone);
    if (side != DockSide::None)
        parent->dock(label, side);
    return label;
}

TLabel3D *TFrameCorvane::addCentredLabel(TDockPanel *parent, const char *name, DockSide side, const QString &caption,
                                         TColor fontColor)
{
    TLabel3D *label = addLabel(parent, name, side);
    label->setCaption(caption);
    label->setAlignment(TLabel3D::taCenter);
    label->setLayout(TLabel3D::tlCenter);
    label->setFontColor(fontColor);
    return label;
}

QWidget *TFrameCorvane::addSeparator(TDockPanel *parent, const char *name, DockSide side)
{
    auto *line = new QWidget(parent);
    line->setObjectName(QLatin1String(name));
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, Qt::white);
    line->setPalette(pal);
    line->setAutoFillBackground(true);
    line->resize(1, 1);
    parent->dock(line, side);
    return line;
}

void TFrameCorvane::buildElementTree()
{
    PanelTablo = addPanel(this, "PanelTablo", DockSide::Left);
    TDockPanel::setWidth(PanelTablo, 270);

    ImageTop = new TTitleImage(PanelTablo);
    ImageTop->setObjectName(QStringLiteral("ImageTop"));
    ImageTop->hide();
    PanelTablo->dock(ImageTop, DockSide::Top);

    LabelTop = addCentredLabel(PanelTablo, "LabelTop", DockSide::Top, QStringLiteral("Tитульная строка или лого"), clAqua);
    LabelTop->setFont(boardFont(QStringLiteral("Arial")));
    TDockPanel::setHeight(LabelTop, 96);
    SplitterT = addSeparator(PanelTablo, "SplitterT", DockSide::Top);

    LabelBot = addLabel(PanelTablo, "LabelBot", DockSide::Bottom);
    LabelBot->setCaption(QStringLiteral("БЕГУЩАЯ СТРОКА"));
    LabelBot->setAlignment(TLabel3D::taLeftJustify);
    LabelBot->setLayout(TLabel3D::tlCenter);
    LabelBot->setFontColor(clBtnShadow);
    TDockPanel::setHeight(LabelBot, 48);
    SplitterB = addSeparator(PanelTablo, "SplitterB", DockSide::Bottom);
    buildRunLabel();

    Panel2 = addPanel(PanelTablo, "Panel2", DockSide::Fill);
    PanelTitle = addPanel(Panel2, "PanelTitle", DockSide::Top);
    TDockPanel::setHeight(PanelTitle, 48);
    LabelData = addCentredLabel(PanelTitle, "LabelData", DockSide::Left, QStringLiteral("ДАТА ВРЕМЯ"), clLime);
    TDockPanel::setWidth(LabelData, 81);
    SplitterV1 = addSeparator(PanelTitle, "SplitterV1", DockSide::Left);
    LabelTitle = addCentredLabel(PanelTitle, "LabelTitle", DockSide::Fill, QString(), clYellow);
    Splitter3 = addSeparator(Panel2, "Splitter3", DockSide::Top);

    Panel3 = addPanel(Panel2, "Panel3", DockSide::Fill);
    PanelName = addPanel(Panel3, "PanelName", DockSide::Left);
    TDockPanel::setWidth(PanelName, 94);
    LabelPusto = addLabel(PanelName, "LabelPusto", DockSide::Top);
    LabelPusto->setFontColor(clYellow);
    TDockPanel::setHeight(LabelPusto, 48);
    LabelName = addLabel(PanelName, "LabelName", DockSide::None);
    setTemplateLook(LabelName, kCodeTemplateBackground, clYellow, TLabel3D::taRightJustify);
    LabelNameRus = addLabel(PanelName, "LabelNameRus", DockSide::None);
    setTemplateLook(LabelNameRus, kSecondNameTemplateBackground, clYellow, TLabel3D::taRightJustify);
    SplitterV2 = addSeparator(Panel3, "SplitterV2", DockSide::Left);

    PanelKursy = addPanel(Panel3, "PanelKursy", DockSide::Fill);
    PanelTit2 = addPanel(PanelKursy, "PanelTit2", DockSide::Top);
    TDockPanel::setHeight(PanelTit2, 48);
    LabelTitPok = addCentredLabel(PanelTit2, "LabelTitPok", DockSide::Left, QStringLiteral("ПОКУПКА"), clWhite);
    Splitter1 = addSeparator(PanelTit2, "Splitter1", DockSide::Left);
    LabelTitProd = addCentredLabel(PanelTit2, "LabelTitProd", DockSide::Fill, QStringLiteral("ПРОДАЖА"), clWhite);
    Splitter66 = addSeparator(PanelKursy, "Splitter66", DockSide::Top);
    LabelPok = addLabel(PanelKursy, "LabelPok", DockSide::None);
    setTemplateLook(LabelPok, clMaroon, clRed, TLabel3D::taRightJustify);
    LabelProd = addLabel(PanelKursy, "LabelProd", DockSide::None);
    setTemplateLook(LabelProd, clGreen, clLime, TLabel3D::taRightJustify);

    for (TLabel3D *fitted : {LabelData, LabelTitle, LabelTop, LabelTitProd, LabelTitPok})
        fitOnEveryCaption(fitted);
}

// A fitted size belongs to a caption in a box. The layout fits each box it sizes; a
// caption that changes between layouts (the title as the operator types it, the clock) is
// fitted at once, so that the size never depends on which caption the last layout saw.
void TFrameCorvane::fitOnEveryCaption(TLabel3D *label)
{
    connect(label, &TLabel3D::captionChanged, this, [label] { FitFontToLabel(label); });
}

void TFrameCorvane::buildRunLabel()
{
    RunLabel = new TRunLabel(PanelTablo);
    RunLabel->setObjectName(QStringLiteral("RunLabel"));
    RunLabel->hide();
    RunLabel->setCursor(Qt::BlankCursor);
    RunLabel->setLabelStyle(TRunString::rlNormal);
    RunLabel->setDepth(0);
    RunLabel->setSpeed(10);
    RunLabel->setColorS(clRed);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(20);
    RunLabel->setRFont(font, clYellow);
    RunLabel->setAutoRewind(false);
    RunLabel->setRText(QStringLiteral("БЕГУЩАЯ СТРОКА"));
    RunLabel->setSteps(453);
}

void TFrameCorvane::InitBoard()
{
    LabelTitle->setCaption(QStringLiteral("КУРСЫ ОБМЕНА ВАЛЮТ") + kLineBreak + QStringLiteral("EXCHANGE RATES"));
    LabelTitPok->setCaption(LabelTitPok->caption() + kLineBreak + QStringLiteral("WE BUY AT"));
    LabelTitProd->setCaption(LabelTitProd->caption() + kLineBreak + QStringLiteral("WE SELL AT"));
    m_shownRowCount = 0;
    // The heading band is repainted every clock tick; Qt widgets already paint through a
    // back buffer, so it never flickers.
    for (int i = 1; i <= RateSlotCount; ++i)
        createRowLabels(i);
}

void TFrameCorvane::createRowLabels(int index)
{
    RowLabelSet &set = RowLabels[static_cast<size_t>(index)];
    const auto make = [](const TLabel3D *source, TDockPanel *parent, const QString &name) {
        auto *label = new TLabel3D(parent);
        label->setObjectName(name);
        CloneLabel(source, label);
        label->show();
        return label;
    };
    const QString suffix = QString::number(index);
    set.Name = make(LabelName, PanelName, QStringLiteral("Name") + suffix);
    set.NameRus = make(LabelNameRus, PanelName, QStringLiteral("NameRus") + suffix);
    set.NameRus->setColor(set.Name->color());
    set.Pok = make(LabelPok, PanelKursy, QStringLiteral("Pok") + suffix);
    set.Pok->setColor(set.Name->color());
    set.Prod = make(LabelProd, PanelKursy, QStringLiteral("Prod") + suffix);
    set.Prod->setColor(set.Name->color());
}

void TFrameCorvane::CloneLabel(const TLabel3D *source, TLabel3D *target)
{
    target->resize(source->width(), target->height());
    target->resize(target->width(), source->height());
    CopyLabelFont(source, target);
    target->setFirstColor(source->firstColor());
    target->setLastColor(source->lastColor());
    target->setFillGradient(source->fillGradient());
    target->setGradientOrientation(source->gradientOrientation());
    target->setHighLightColor(source->highLightColor());
    target->setShadowColor(source->shadowColor());
    target->setBevel(source->bevel());
    target->setShadowSize(source->shadowSize());
    target->setBorderColor(source->borderColor());
    target->setBorderWidth(source->borderWidth());
    target->setBorderStyle(source->borderStyle());
    target->setAlignment(source->alignment());
    target->setColor(source->color());
    target->setTransparent(source->transparent());
    target->setLayout(source->layout());
    target->setWordWrap(source->wordWrap());
}

void TFrameCorvane::CopyLabelFont(const TLabel3D *source, TLabel3D *target)
{
    target->setFont(source->font());
    target->setFontColor(source->fontColor());
    target->setFontCharset(source->fontCharset());
}

void TFrameCorvane::FitFontToLabel(TLabel3D *label)
{
    QtFontMeasure measure(label->font());
    label->setFontSize(fitFontPoints(label->caption(), label->width(), label->height(), measure));
}

void TFrameCorvane::resizeEvent(QResizeEvent *event)
{
    TDockPanel::resizeEvent(event);
    FrameResize();
}

void TFrameCorvane::FrameResize()
{
    // Setting the frame's own width below resizes it again; that nested run would compute
    // the same sizes, so it is skipped. But the rows let queued events through, and one of
    // them may change the proportions or the size meanwhile: the board is then laid out
    // again, so that it shows the state it ends in. A few passes at most, should two
    // changes keep answering each other.
    if (m_inFrameResize)
        return;
    m_inFrameResize = true;
    constexpr int kMaxPasses = 3;
    LayoutInputs laidOut = layOut();
    for (int pass = 1; pass < kMaxPasses && laidOut != layoutInputs(); ++pass)
        laidOut = layOut();
    m_inFrameResize = false;
}

TFrameCorvane::LayoutInputs TFrameCorvane::layoutInputs() const
{
    return {PanelTablo->height(), m_layoutMonitor.value_or(targetMonitorGeometry().size()),
            programSettings().proportions()};
}

// One layout of the whole board; returns what it was laid out for.
TFrameCorvane::LayoutInputs TFrameCorvane::layOut()
{
    redock();
    const LayoutInputs inputs = layoutInputs();
    const BoardBands bands = boardBands(inputs.height, inputs.monitor, inputs.proportions);

    auto *host = qobject_cast<TDockPanel *>(parentWidget());
    if (!host || host->dockSide(this) != DockSide::Fill)
        TDockPanel::setWidth(this, bands.width);
    TDockPanel::setWidth(PanelTablo, bands.width);
    TDockPanel::setHeight(LabelTop, bands.titleHeight);
    TDockPanel::setHeight(LabelBot, bands.bottomHeight);
    TDockPanel::setWidth(PanelName, bands.nameWidth);
    TDockPanel::setWidth(LabelData, bands.dateWidth);
    TDockPanel::setHeight(PanelTit2, bands.headerHeight);
    TDockPanel::setHeight(LabelPusto, PanelTit2->height());
    TDockPanel::setHeight(PanelTitle, bands.titleBandHeight);
    FitFontToLabel(LabelData);
    FitFontToLabel(LabelTitle);
    FitFontToLabel(LabelTop);
    // The sell header fills what the buy header leaves, so it is fitted once the buy header
    // has its width: fitted before, it took the width of the previous layout, and its size
    // depended on the proportions the board had before.
    TDockPanel::setWidth(LabelTitPok, PanelTit2->width() / 2);
    FitFontToLabel(LabelTitProd);
    FitFontToLabel(LabelTitPok);
    LabelBot->setFontSize(LabelBot->height() / 2);
    TDockPanel::setHeight(ImageTop, bands.titleHeight);
    PanelTablo->redock();
    LayoutRows();
    return inputs;
}

void TFrameCorvane::copyLookFrom(const TFrameCorvane *other)
{
    LabelTitle->setCaption(other->LabelTitle->caption());
    LabelData->setCaption(other->LabelData->caption());
    LabelTop->setCaption(other->LabelTop->caption());
    LabelBot->setCaption(QString());
    for (auto [from, to] : {std::pair{other->LabelTop, LabelTop}, {other->LabelData, LabelData},
                            {other->LabelTitle, LabelTitle}, {other->LabelTitPok, LabelTitPok},
                            {other->LabelTitProd, LabelTitProd}, {other->LabelPok, LabelPok},
                            {other->LabelProd, LabelProd}, {other->LabelName, LabelName},
                            {other->LabelNameRus, LabelNameRus}, {other->LabelBot, LabelBot}})
        CopyLabelFont(from, to);
    for (int i = 1; i <= RateSlotCount; ++i) {
        const RowLabelSet &source = other->row(i);
        const RowLabelSet &target = row(i);
        CopyLabelFont(source.Name, target.Name);
        CopyLabelFont(source.NameRus, target.NameRus);
        CopyLabelFont(source.Pok, target.Pok);
        CopyLabelFont(source.Prod, target.Prod);
    }
}

void TFrameCorvane::copyRowsAndTitleFrom(const TFrameCorvane *other)
{
    for (int i = 1; i <= RateSlotCount; ++i) {
        const RowLabelSet &source = other->row(i);
        setRowCaptions(i, {source.Name->caption(), source.Pok->caption(), source.Prod->caption(),
                           source.NameRus->caption()});
    }
    m_shownRowCount = countShownRows(rowCaptions());
    if (ImageTop->picture().identity() != other->ImageTop->picture().identity())
        ImageTop->setPicture(other->ImageTop->picture());
    showTitlePicture(!other->ImageTop->isHidden());
}

void TFrameCorvane::showTitlePicture(bool picture)
{
    // The picture is docked first, so the line after the text label is below either.
    ImageTop->setVisible(picture);
    LabelTop->setVisible(!picture);
    PanelTablo->moveDockedAfter(SplitterT, LabelTop);
    // A hidden label is not docked, so the text title takes its box only now.
    if (!picture)
        FitFontToLabel(LabelTop);
}

RateSlots TFrameCorvane::rowCaptions() const
{
    RateSlots captions;
    for (int i = 1; i <= RateSlotCount; ++i) {
        const RowLabelSet &set = row(i);
        captions[static_cast<size_t>(i - 1)] = {set.Name->caption(), set.Pok->caption(), set.Prod->caption(),
                                                set.NameRus->caption()};
    }
    return captions;
}

void TFrameCorvane::hideRow(const RowLabelSet &row)
{
    row.Name->hide();
    row.NameRus->hide();
    row.Pok->hide();
    row.Prod->hide();
}

void TFrameCorvane::showRow(int slot, const RateRow &row)
{
    if (!hasRowLabels() || slot < 1 || slot > RateSlotCount)
        return;
    setRowCaptions(slot, row);
    LayoutRows();
}

void TFrameCorvane::LayoutRows()
{
    if (!hasRowLabels())
        return;
    m_shownRowCount = countShownRows(rowCaptions());
    const double pitch = rowPitch(m_shownRowCount, PanelName->height(), LabelPusto->height());
    const int top = LabelPusto->height() + Splitter66->height();
    int shown = 0;
    int minPok = INT_MAX;
    int minProd = INT_MAX;
    for (int i = 1; i <= RateSlotCount; ++i) {
        const RowLabelSet &set = row(i);
        const QString code = set.Name->caption();
        if (!isShownRow(code)) {
            hideRow(set);
            continue;
        }
        const RowPlacement place = rowPlacement(shown, pitch, top, PanelName->width(), PanelKursy->width());
        const auto placeAndFit = [](TLabel3D *label, const QRect &box) {
            label->setGeometry(box);
            FitFontToLabel(label);
            label->show();
        };
        placeAndFit(set.Name, place.name);
        placeAndFit(set.NameRus, place.nameRus);
        placeAndFit(set.Pok, place.buy);
        minPok = qMin(minPok, set.Pok->fontSize());
        placeAndFit(set.Prod, place.sell);
        minProd = qMin(minProd, set.Prod->fontSize());
        ++shown;
    }
    if (shown > 0) {
        for (int i = 1; i <= RateSlotCount; ++i) {
            row(i).Pok->setFontSize(minPok);
            row(i).Prod->setFontSize(minProd);
        }
    }
    QCoreApplication::processEvents();
}

void TFrameCorvane::setRowCaptions(int index, const RateRow &fields)
{
    const RowLabelSet &set = row(index);
    set.Name->setCaption(fields.code);
    set.NameRus->setCaption(fields.name);
    set.Pok->setCaption(fields.buy);
    set.Prod->setCaption(fields.sell);
}

void TFrameCorvane::showRates(const RateSlots &rows)
{
    if (!hasRowLabels())
        return;
    for (int slot = 1; slot <= RateSlotCount; ++slot) {
        const RateRow &fields = rows[static_cast<size_t>(slot - 1)];
        if (fields != RateRow{}) {
            const RowLabelSet &set = row(slot);
            CloneLabel(LabelName, set.Name);
            CloneLabel(LabelNameRus, set.NameRus);
            CloneLabel(LabelPok, set.Pok);
            CloneLabel(LabelProd, set.Prod);
        }
        setRowCaptions(slot, fields);
    }
    LayoutRows();
}

void TFrameCorvane::followRates(const BoardContent &content)
{
    showRates(content.boardRates());
    connect(&content, &BoardContent::rateSlotChanged, this,
            [this, &content](int slot) { showRow(slot, content.rateSlot(slot)); });
    connect(&content, &BoardContent::rateTableReplaced, this, [this, &content] { showRates(content.boardRates()); });
}
