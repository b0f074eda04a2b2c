#pragma once

#include "content/RateTable.h"
#include "controls/DockPanel.h"
#include "platform/ProgramSettings.h"
#include "platform/TColor.h"

#include <array>
#include <functional>
#include <optional>
#include <QSize>

class BoardContent;
class QLabel;
class TTitleImage;
class TLabel3D;
class TRunLabel;

// The exchange-rate board: a black portrait display of 3-D labels and thin white lines,
// laid out from its height, the shape of the target monitor and the six proportions.
// The operator window holds one as its preview, the TV window another at full size.
class TFrameCorvane : public TDockPanel
{
    Q_OBJECT
public:
    explicit TFrameCorvane(QWidget *parent = nullptr);

    struct RowLabelSet
    {
        TLabel3D *Name = nullptr;
        TLabel3D *NameRus = nullptr;
        TLabel3D *Pok = nullptr;
        TLabel3D *Prod = nullptr;
    };

    // Creates the row labels and sets the fixed captions; run once, before anything else.
    void InitBoard();
    // Copies the template's look and size (not its position, caption or visibility).
    static void CloneLabel(const TLabel3D *source, TLabel3D *target);
    // Copies a label's font with its colour and character set.
    static void CopyLabelFont(const TLabel3D *source, TLabel3D *target);
    // Sets the label's font size so that its caption fits its box.
    static void FitFontToLabel(TLabel3D *label);
    // The whole-board layout.
    void FrameResize();
    // Places, fits, shows and hides the currency rows, counting the shown ones from the
    // captions the rows carry.
    void LayoutRows();
    // Shows a row's four fields (slot 1..8) and lays the rows out again.
    void showRow(int slot, const RateRow &row);
    // Shows every slot's row at once (slot 1 first) and lays the rows out once. A row with
    // content takes its column templates' current look first, as the fonts may have been
    // set on the templates after the rows were made.
    void showRates(const RateSlots &rows);
    // Shows the content's rates now and follows every change of them from here on: the
    // slots on the board, the others empty.
    void followRates(const BoardContent &content);
    // The title band shows the picture (ImageTop) or the text (LabelTop), with the white
    // line right below whichever shows.
    void showTitlePicture(bool picture);
    // Takes the other board's captions of the fixed fields and the fonts of every field;
    // the bottom line stays empty, for the ticker that runs over it.
    void copyLookFrom(const TFrameCorvane *other);
    // Takes the other board's row captions, and its title: text or picture.
    void copyRowsAndTitleFrom(const TFrameCorvane *other);
    // The monitor shape this board is laid out for; unset, it is the target monitor's. A
    // board drawn for another screen (a browser window) sets that screen's size.
    void setLayoutMonitor(std::optional<QSize> monitor) { m_layoutMonitor = monitor; }
    // The four captions of every row as the board carries them now, slot 1 first.
    RateSlots rowCaptions() const;
    // Shows the four fields of a row (1..8) on its labels, keeping their look.
    void setRowCaptions(int index, const RateRow &row);

    // Rows are numbered 1 to 8.
    const RowLabelSet &row(int index) const { return RowLabels[static_cast<size_t>(index)]; }
    bool hasRowLabels() const { return RowLabels[1].Name != nullptr; }
    // The rows shown: those with a code that is not hidden, as last laid out.
    int shownRowCount() const { return m_shownRowCount; }

    TDockPanel *PanelTablo;
    TTitleImage *ImageTop;
    TLabel3D *LabelTop;
    QWidget *SplitterT;
    TLabel3D *LabelBot;
    QWidget *SplitterB;
    TRunLabel *RunLabel;
    TDockPanel *Panel2;
    TDockPanel *PanelTitle;
    TLabel3D *LabelData;
    QWidget *SplitterV1;
    TLabel3D *LabelTitle;
    QWidget *Splitter3;
    TDockPanel *Panel3;
    TDockPanel *PanelName;
    TLabel3D *LabelPusto;
    TLabel3D *LabelName;
    TLabel3D *LabelNameRus;
    QWidget *SplitterV2;
    TDockPanel *PanelKursy;
    TDockPanel *PanelTit2;
    TLabel3D *LabelTitPok;
    QWidget *Splitter1;
    TLabel3D *LabelTitProd;
    QWidget *Splitter66;
    TLabel3D *LabelPok;
    TLabel3D *LabelProd;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildElementTree();
    void buildRunLabel();
    TDockPanel *addPanel(TDockPanel *parent, const char *name, DockSide side);
    TLabel3D *addLabel(TDockPanel *parent, const char *name, DockSide side);
    // A label that shows its caption centred both ways.
    TLabel3D *addCentredLabel(TDockPanel *parent, const char *name, DockSide side, const QString &caption,
                              TColor fontColor);
    QWidget *addSeparator(TDockPanel *parent, const char *name, DockSide side);
    void createRowLabels(int index);
    void fitOnEveryCaption(TLabel3D *label);
    void hideRow(const RowLabelSet &row);
    // What a layout depends on besides the captions: the board's height, the monitor it is
    // laid out for and the proportions.
    struct LayoutInputs
    {
        int height = 0;
        QSize monitor;
        Proportions proportions;
        friend bool operator==(const LayoutInputs &, const LayoutInputs &) = default;
    };
    LayoutInputs layoutInputs() const;
    LayoutInputs layOut();

    std::array<RowLabelSet, RateSlotCount + 1> RowLabels{}; // element 0 is unused
    bool m_inFrameResize = false;
    int m_shownRowCount = 0;
    std::optional<QSize> m_layoutMonitor;
};
