#include "core/ShortenText.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>

namespace kel {

namespace {

const QString kEllipsis = QStringLiteral("…");

enum class AtomKind { Space, Punctuation, Number, Unit, Word, Path };

struct Atom {
    QString text;
    AtomKind kind;
    bool removed = false;
};

bool isPunctuation(QChar c)
{
    return QStringLiteral("、。，,()（）[]「」:：;；").contains(c);
}

// A number with its separators and sign ("219,520", "9.0", "-3", "7%"), kept in one piece.
qsizetype numberLength(const QString& token, qsizetype from)
{
    qsizetype end = from;
    while (end < token.size()) {
        const QChar c = token[end];
        const bool innerSeparator = (c == u',' || c == u'.') && end + 1 < token.size() &&
                                    token[end + 1].isDigit() && end > from;
        if (!(c.isDigit() || innerSeparator))
            break;
        ++end;
    }
    if (end < token.size() && (token[end] == u'%' || token[end] == u'％'))
        ++end;
    return end - from;
}

void splitWord(const QString& token, QList<Atom>& atoms)
{
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty())
            atoms.append({word, AtomKind::Word});
        word.clear();
    };
    for (qsizetype i = 0; i < token.size();) {
        if (token[i].isDigit()) {
            flush();
            const qsizetype length = numberLength(token, i);
            atoms.append({token.mid(i, length), AtomKind::Number});
            i += length;
        } else if (isPunctuation(token[i])) {
            flush();
            atoms.append({QString(token[i]), AtomKind::Punctuation});
            ++i;
        } else {
            word += token[i++];
        }
    }
    flush();
}

// A word that follows a number ("2,048 bytes", "9.0 秒") goes with it.
void markUnits(QList<Atom>& atoms)
{
    for (qsizetype i = 1; i < atoms.size(); ++i) {
        if (atoms[i].kind != AtomKind::Word)
            continue;
        qsizetype before = i - 1;
        if (atoms[before].kind == AtomKind::Space && before > 0)
            --before;
        if (atoms[before].kind == AtomKind::Number)
            atoms[i].kind = AtomKind::Unit;
    }
}

QList<Atom> atomsOf(const QString& text)
{
    QList<Atom> atoms;
    static const QRegularExpression pieces(QStringLiteral("\\s+|\\S+"));
    for (auto match = pieces.globalMatch(text); match.hasNext();) {
        const QString token = match.next().captured();
        if (token.front().isSpace())
            atoms.append({token, AtomKind::Space});
        else if (token.size() > 1 && (token.contains(u'/') || token.contains(u'\\')))
            atoms.append({token, AtomKind::Path});
        else
            splitWord(token, atoms);
    }
    markUnits(atoms);
    return atoms;
}

QString render(const QList<Atom>& atoms)
{
    QString shown;
    bool inGap = false; // removed atoms and the spaces between them make one "…"
    QString pendingSpace;
    for (const Atom& atom : atoms) {
        if (atom.removed) {
            if (!inGap)
                shown += pendingSpace + kEllipsis;
            pendingSpace.clear();
            inGap = true;
        } else if (atom.kind == AtomKind::Space) {
            pendingSpace += atom.text;
        } else {
            shown += pendingSpace + atom.text;
            pendingSpace.clear();
            inGap = false;
        }
    }
    return shown + pendingSpace;
}

// The path with one more folder from its middle left out; false when only its first folder
// and its file name are left.
bool dropMiddleFolder(QString& path)
{
    static const QRegularExpression separator(QStringLiteral("[/\\\\]"));
    QStringList parts = path.split(separator);
    const qsizetype gap = parts.indexOf(kEllipsis);
    if (parts.size() - (gap >= 0 ? 1 : 0) <= 2)
        return false;
    const QChar sep = path[path.indexOf(separator)];
    if (gap >= 0) {
        // Widen the gap on the side with more left.
        const qsizetype left = gap - 1;
        const qsizetype right = parts.size() - gap - 2;
        if (left <= 0 && right <= 0)
            return false;
        parts.removeAt(right >= left ? gap + 1 : gap - 1);
    } else {
        parts[parts.size() / 2] = kEllipsis;
    }
    path = parts.join(sep);
    return true;
}

} // namespace

QString shortenBetweenWords(const QString& text, const std::function<bool(const QString&)>& fits)
{
    if (fits(text))
        return text;
    QList<Atom> atoms = atomsOf(text);

    for (Atom& atom : atoms) {
        if (atom.kind != AtomKind::Path)
            continue;
        while (dropMiddleFolder(atom.text)) {
            if (fits(render(atoms)))
                return render(atoms);
        }
    }

    // Words go from the middle outwards, the one nearest the middle first; a figure and its unit
    // stay.
    QList<qsizetype> droppable;
    for (qsizetype i = 0; i < atoms.size(); ++i) {
        if (atoms[i].kind == AtomKind::Word || atoms[i].kind == AtomKind::Path)
            droppable << i;
    }
    const double middle = (atoms.size() - 1) / 2.0;
    std::stable_sort(droppable.begin(), droppable.end(), [middle](qsizetype a, qsizetype b) {
        return std::abs(a - middle) < std::abs(b - middle);
    });
    for (const qsizetype index : droppable) {
        atoms[index].removed = true;
        const QString shown = render(atoms);
        if (fits(shown))
            return shown;
    }
    return render(atoms);
}

} // namespace kel
