#include "ui/FormLabels.h"
#include "core/AppCore.h"
#include "core/LabelLines.h"
#include "ui/ControlArray.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace kel {

namespace {

// Label sections are read through a buffer of this size; a longer section is cut.
constexpr int kSectionBufferSize = 8192;

// The largest font size a control takes, in points, as the classic controls the files were
// written for. A larger one is ignored like any size a control cannot take: windows fit their
// controls, so a size such as 32767 would make a window tens of thousands of pixels wide that
// cannot even be drawn.
constexpr int kMaxFontPoints = 2160;

void setWidgetFont(QWidget* widget, const QString& fontName, std::optional<int> fontSize)
{
    QFont font = widget->font();
    if (!fontName.isEmpty())
        font.setFamily(fontName);
    if (fontSize && *fontSize > 0 && *fontSize <= kMaxFontPoints)
        font.setPointSize(*fontSize);
    widget->setFont(font);
}

// Menus take a caption only: their font is the system's.
bool setCaption(QObject* control, const QString& caption)
{
    if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(caption);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(caption);
    else if (auto* frame = qobject_cast<QGroupBox*>(control))
        frame->setTitle(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(caption);
    else
        return false;
    return true;
}

} // namespace

bool ApplyControlLabel(QWidget* window, const QString& name, std::optional<int> index,
                       const QString& caption, const QString& fontName, std::optional<int> fontSize)
{
    const QList<QObject*> controls = window->findChildren<QObject*>();
    for (QObject* control : controls) {
        if (control->objectName().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (index && controlIndex(control) != index)
            continue;
        // "\n" in a file caption is a line break; Qt breaks lines at a bare line feed.
        QString text = caption;
        text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        setCaption(control, text);
        auto* widget = qobject_cast<QWidget*>(control);
        if (widget && !qobject_cast<QMenu*>(control))
            setWidgetFont(widget, fontName, fontSize);
        return true;
    }
    return false;
}

void LoadFormLabels(const AppCore& core, QWidget* window)
{
    const profile::SectionResult section =
        profile::readSection(core.labelFile(), window->objectName(), kSectionBufferSize);
    if (!section.ok)
        return;
    for (const LabelLine& line : parseLabelLines(section.lines)) {
        if (line.name == window->objectName()) {
            window->setWindowTitle(line.caption);
            setWidgetFont(window, line.fontName, line.fontSize);
        } else {
            ApplyControlLabel(window, line.name, line.index, line.caption, line.fontName,
                              line.fontSize);
        }
    }
}

} // namespace kel
