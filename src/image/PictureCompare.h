#pragma once
// A picture against a reference of the same size: how far each channel is off on average, how
// much of the picture differs noticeably, and a picture of the differences to look at. Only
// pictures of one size and one kind (both colour or both grey) are compared; anything else is
// said so, with no figures.

#include "image/PictureView.h"

#include <vector>

namespace kel {

// A pixel differs when one of its channels is off by more than this.
constexpr int kDefaultDifferenceThreshold = 16;

struct ChannelDifference {
    Channel channel = Channel::Grey;
    double meanAbsoluteDifference = 0;
    int largestDifference = 0;
};

struct PictureComparison {
    enum class Outcome { Compared, DifferentSizes, DifferentKinds, Empty };
    Outcome outcome = Outcome::Empty;
    int threshold = kDefaultDifferenceThreshold;
    quint64 pixels = 0;
    quint64 pixelsOverThreshold = 0;         // pixels where any channel differs by more
    std::vector<ChannelDifference> channels; // red, green, blue, or grey; empty unless Compared

    bool compared() const { return outcome == Outcome::Compared; }
    // From 0 to 1; 0 unless compared.
    double shareOverThreshold() const
    {
        return pixels ? double(pixelsOverThreshold) / double(pixels) : 0.0;
    }
};

// threshold is clamped to 0 to 255.
PictureComparison comparePictures(const PictureView& picture, const PictureView& reference,
                                  int threshold = kDefaultDifferenceThreshold);

// Per channel the absolute difference of the two pictures, in the pictures' kind; empty when
// they are not of one size and kind.
Picture differencePicture(const PictureView& picture, const PictureView& reference);

} // namespace kel
