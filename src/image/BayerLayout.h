#pragma once
// Which colour the sensor's filter puts on each raw element. The arrangement number gives the
// parities of the red element's column and row; blue sits at the opposite parities and green
// on the two other places of every 2 x 2 block.
//
//   arrangement   red at (column, row)   blue at
//   0             even, even             odd, odd
//   1             even, odd              odd, even
//   2             odd, even              even, odd
//   3 and above   odd, odd               even, even
//
// Only 0 to 3 are ever produced here; higher values can come from the sensor's image
// information or a file and act as 3 everywhere, so that conversion, gains and their removal
// agree on one picture.

#include <QtGlobal>

namespace kel {

enum class SiteColour { Red, Green, Blue };

class BayerLayout {
public:
    explicit BayerLayout(quint8 phase)
        : m_redColumnParity(phase == 0 || phase == 1 ? 0 : 1),
          m_redRowParity(phase == 0 || phase == 2 ? 0 : 1)
    {
    }

    // True for rows that hold red and green sites, false for rows of green and blue.
    bool isRedRow(int y) const { return (y & 1) == m_redRowParity; }
    bool isRedColumn(int x) const { return (x & 1) == m_redColumnParity; }

    SiteColour colourAt(int x, int y) const
    {
        if (isRedRow(y) == isRedColumn(x))
            return isRedRow(y) ? SiteColour::Red : SiteColour::Blue;
        return SiteColour::Green;
    }

private:
    int m_redColumnParity;
    int m_redRowParity;
};

} // namespace kel
