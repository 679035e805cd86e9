#include "files/FolderLists.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace kel {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 12;

// Draws each folder indented by its depth below the root, as a tree would.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index)
    {
        return index.data(kLevelRole).toInt() * kIndentPixels;
    }
};

bool startsWithFolder(const QString& path, const QString& root)
{
    if (!path.startsWith(root))
        return false;
    return root.endsWith(QLatin1Char('/')) || path.size() == root.size() ||
           path.at(root.size()) == QLatin1Char('/');
}

// The names of the entries of folder that filter lets through, keeping only those that
// really are what is asked for: a link to a device passes QDir's filters for folders and files
// alike, as it is neither.
QStringList entriesThatAre(const QString& folder, QDir::Filters filter, const QStringList& names,
                           bool (QFileInfo::*is)() const)
{
    QStringList kept;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        names, filter, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& entry : entries)
        if ((entry.*is)())
            kept << entry.fileName();
    return kept;
}

} // namespace

FolderRefusal folderRefusal(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return FolderRefusal::Missing;
    if (!info.isDir())
        return FolderRefusal::NotAFolder;
    if (!info.isReadable() || !info.isExecutable())
        return FolderRefusal::Denied;
    return FolderRefusal::None;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    setDrives(platformDrives());
}

QStringList DriveList::platformDrives()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid())
            roots << volume.rootPath();
    for (const QFileInfo& drive : QDir::drives())
        roots << drive.absoluteFilePath();
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    return roots;
}

void DriveList::setDrives(const QStringList& roots)
{
    clear();
    for (const QString& root : roots)
        addItem(QDir::toNativeSeparators(root), root);
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::setDriveOf(const QString& path)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (startsWithFolder(path, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0)
        setCurrentIndex(best);
}

DirList::DirList(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
}

bool DirList::setPath(const QString& folder, FolderRefusal* refusal)
{
    const QString target = QDir::cleanPath(QDir(folder).absolutePath());
    const FolderRefusal reason = folderRefusal(target);
    if (reason != FolderRefusal::None) {
        if (refusal)
            *refusal = reason;
        return false;
    }

    QStringList ancestors;
    for (QDir dir(target);;) {
        ancestors.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    const QStringList subfolders =
        entriesThatAre(target, QDir::Dirs | QDir::NoDotAndDotDot, {}, &QFileInfo::isDir);

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int level = 0;
    for (const QString& ancestor : ancestors) {
        const QString name = QDir(ancestor).isRoot() ? QDir::toNativeSeparators(ancestor)
                                                     : QFileInfo(ancestor).fileName();
        auto* item = new QListWidgetItem(open, name);
        item->setData(kPathRole, ancestor);
        item->setData(kLevelRole, level);
        addItem(item);
        ++level;
    }
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closed, name);
        item->setData(kPathRole, QDir(target).filePath(name));
        item->setData(kLevelRole, level);
        addItem(item);
    }
    setCurrentRow(static_cast<int>(ancestors.size()) - 1);

    const bool changed = target != m_path;
    m_path = target;
    if (changed)
        emit pathChanged();
    return true;
}

QString DirList::pathAt(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry ? entry->data(kPathRole).toString() : QString();
}

FileList::FileList(const QString& pattern, QWidget* parent)
    : QListWidget(parent), m_pattern(pattern)
{
}

void FileList::setPath(const QString& folder)
{
    m_path = folder;
    clear();
    // Without QDir::CaseSensitive the pattern matches either case, as on the file systems the
    // files come from.
    addItems(entriesThatAre(folder, QDir::Files, {m_pattern}, &QFileInfo::isFile));
}

QStringList FileList::names() const
{
    QStringList result;
    for (int i = 0; i < count(); ++i)
        result << item(i)->text();
    return result;
}

} // namespace kel
