#pragma once
// The panel beside the picture: the histogram of each channel (linear or log scale) with its
// figures, for the whole picture or the rectangle dragged on it; the profile along a line; and
// how the picture compares with the reference. It paints what it is given and computes
// nothing.

#include "image/LineProfile.h"
#include "image/PictureStats.h"

#include <QWidget>

class QCheckBox;
class QLabel;

namespace kel {

class AppCore;

class HistogramPlot : public QWidget {
public:
    explicit HistogramPlot(QWidget* parent = nullptr);
    void setStats(const PictureStats& stats);
    void setProfile(const LineProfile& profile);
    void setLogScale(bool log);
    QSize sizeHint() const override { return {280, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureStats m_stats;
    LineProfile m_profile;
    bool m_log = false;
};

class HistogramPanel : public QWidget {
public:
    HistogramPanel(AppCore& core, QWidget* parent = nullptr);

    // wholePicture: the figures are of the whole picture, not of a rectangle dragged on it.
    void showStats(const PictureStats& stats, bool wholePicture);
    void showProfile(const LineProfile& profile);
    void showComparison(const QString& text);
    // The captions in the window's language, once it is known.
    void applyTexts();
    // No picture: nothing to show.
    void clear();

    // The figures as shown, for a reader and for tests.
    QString figuresText() const;
    QLabel* lblFigures = nullptr;
    QLabel* lblCompare = nullptr;
    QCheckBox* chkLogScale = nullptr;

private:
    QString channelName(Channel channel) const;

    AppCore& m_core;
    HistogramPlot* m_histogram = nullptr;
    HistogramPlot* m_profile = nullptr;
    QLabel* m_area = nullptr;
    QLabel* m_profileTitle = nullptr;
};

} // namespace kel
