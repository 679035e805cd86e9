#include "Arguments.h"
#include "ExitStatus.h"

#include <QDir>
#include <QRegularExpression>
#include <cstdio>
#include <optional>

namespace kelctl {

Arguments parseArguments(const QStringList& words, const OptionSpec& options)
{
    Arguments parsed;
    bool optionsEnded = false;
    for (qsizetype index = 0; index < words.size(); ++index) {
        const QString& word = words[index];
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            parsed.positional << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (word == QLatin1String("--help") || word == QLatin1String("-h") ||
            options.flags.contains(word)) {
            parsed.flagsGiven << word;
            continue;
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? word : word.left(equals);
        if (!options.valued.contains(name)) {
            if (parsed.error.isEmpty())
                parsed.error = QStringLiteral("unknown option '%1'").arg(word);
            continue;
        }
        if (equals >= 0) {
            parsed.values[name] << word.mid(equals + 1);
        } else if (index + 1 < words.size()) {
            parsed.values[name] << words[++index];
        } else if (parsed.error.isEmpty()) {
            parsed.error = QStringLiteral("%1 needs a value").arg(word);
        }
    }
    if (parsed.error.isEmpty() && options.positionalCount >= 0 &&
        parsed.positional.size() != options.positionalCount)
        parsed.error = QString::fromLatin1(options.countError);
    return parsed;
}

bool shouldRun(const Arguments& parsed, const char* usage, int& status)
{
    if (parsed.help()) {
        std::fputs(usage, stdout);
        status = ExitOk;
        return false;
    }
    if (!parsed.error.isEmpty()) {
        printError(parsed.error);
        std::fputs(usage, stderr);
        status = ExitUsage;
        return false;
    }
    return true;
}

void printError(const QString& text)
{
    if (text.isEmpty())
        return; // nothing to add to the message printed before
    std::fprintf(stderr, "kelctl: %s\n", oneLine(text).toLocal8Bit().constData());
}

QString oneLine(const QString& text)
{
    static const QString kSentenceEnds = QStringLiteral(".!?:\u3002\uff01\uff1f");
    QString joined;
    for (const QString& part :
         text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts)) {
        const QString line = part.trimmed();
        if (line.isEmpty())
            continue;
        if (!joined.isEmpty())
            joined +=
                kSentenceEnds.contains(joined.back()) ? QStringLiteral(" ") : QStringLiteral(": ");
        joined += line;
    }
    return joined;
}

void listWritten(const QString& path)
{
    std::printf("%s\n", QDir::toNativeSeparators(path).toLocal8Bit().constData());
    std::fflush(stdout);
}

std::optional<int> numberArgument(const QString& text, const char* what, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value >= minimum && value <= maximum)
        return value;
    printError(QStringLiteral("%1 must be a whole number from %2 to %3, not '%4'")
                   .arg(QLatin1String(what))
                   .arg(minimum)
                   .arg(maximum)
                   .arg(text));
    return std::nullopt;
}

} // namespace kelctl
