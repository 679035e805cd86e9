#pragma once
// Lines of a label file section: "name[@index] = caption @ font name @ font size".

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kel {

struct LabelLine {
    QString name;                // control or window name, surrounding spaces removed
    std::optional<int> index;    // member of a control array
    QString caption;             // tabs removed, "\n" still as written
    QString fontName;            // tabs removed
    std::optional<int> fontSize; // absent when the size part is no whole number
};

// The usable lines in file order. Comments are skipped; so are lines the format cannot
// place (no "=", fewer than three "@" parts, an index that is no number), which leaves
// their controls with the captions they had.
std::vector<LabelLine> parseLabelLines(const QStringList& lines);

} // namespace kel
