#pragma once
// The batch dialog's geometry in twips and the scroll bars of its file list. The list is a
// plain text box: a line counts as 210 twips of height and one byte of a name, counted in the
// Japanese ANSI code page, as 91 twips of width. The vertical bar moves the first listed name,
// the horizontal bar cuts leading characters from every name.

#include <QString>
#include <QStringList>

namespace kel {

// The dialog's smallest outer size; it snaps back to it when made smaller.
constexpr int kBatchMinWidth = 5415;
constexpr int kBatchMinHeight = 4470;
constexpr double kListLineTwips = 210.0;
constexpr double kListByteTwips = 91.0;

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool operator==(const TwipsRect&) const = default;
};

struct ScrollBarState {
    bool visible = false;
    int maximum = 0;

    bool operator==(const ScrollBarState&) const = default;
};

struct BatchDialogLayout {
    int width = kBatchMinWidth; // outer size the layout was made for, after the snap
    int height = kBatchMinHeight;
    TwipsRect ConvFrame{240, 240, 4815, 3015};
    TwipsRect FileBox{360, 480, 4080, 2160};
    TwipsRect TateScr{4425, 480, 255, 2160};
    TwipsRect YokoScr{360, 2640, 4080, 255};
    TwipsRect cmdOK{727.5, 3480, 1215, 375};
    TwipsRect cmdAuto{2047.5, 3480, 1215, 375};
    TwipsRect cmdCancel{3367.5, 3480, 1215, 375};
    ScrollBarState tate;
    ScrollBarState yoko;
};

// Rounds to the nearest integer, exact halves to the even one.
int roundHalfEven(double value);

// Bytes of text in the Japanese ANSI code page: two for a double-byte character, one for
// ASCII and half-width katakana.
int ansiByteLength(const QString& text);

// The vertical bar for count names in a list of boxHeight twips: shown when the lines that fit
// are fewer than the last index, its maximum the last index less the lines that fit.
ScrollBarState verticalBar(double boxHeight, qsizetype count);

// The horizontal bar for names in a list of boxWidth twips: shown when a name has more bytes
// than fit, its maximum the largest excess.
ScrollBarState horizontalBar(double boxWidth, const QStringList& names);

// The layout for an outer size of width x height twips (made at least the smallest size), the
// bars computed for names.
BatchDialogLayout layoutBatchDialog(int width, int height, const QStringList& names);

// The list's text: the names from index first on, each with its first cut characters left out
// (whole characters, never half of one), one to a line.
QString batchListText(const QStringList& names, int first, int cut);

} // namespace kel
