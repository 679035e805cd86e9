#pragma once
// The words after a subcommand's name: options ("--name", "--name VALUE", "--name=VALUE") and
// the rest. "--" ends the options.

#include <QHash>
#include <QStringList>
#include <optional>

namespace kelctl {

struct OptionSpec {
    QStringList flags;  // options without a value, "--help" and "-h" always among them
    QStringList valued; // options that take a value
    // How many words besides the options the subcommand takes (-1: any number), and what to
    // say when another number is given.
    qsizetype positionalCount = -1;
    const char* countError = "wrong number of arguments";
};

struct Arguments {
    QStringList positional;
    QStringList flagsGiven;
    QHash<QString, QStringList> values; // every value given, in order
    QString error;                      // the first thing not understood

    bool has(const QString& flag) const { return flagsGiven.contains(flag); }
    bool help() const { return has(QStringLiteral("--help")) || has(QStringLiteral("-h")); }
    QStringList all(const QString& option) const { return values.value(option); }
    QString last(const QString& option) const
    {
        const QStringList given = all(option);
        return given.isEmpty() ? QString() : given.last();
    }
};

Arguments parseArguments(const QStringList& words, const OptionSpec& options);

// Prints the usage for --help (status ExitOk) or the error and the usage for bad arguments
// (status ExitUsage). True when the subcommand should run.
bool shouldRun(const Arguments& parsed, const char* usage, int& status);

// Prints "kelctl: TEXT" on stderr as one line; nothing for an empty text.
void printError(const QString& text);

// The text as one line: its lines joined, after a line that ends a sentence by a blank and
// otherwise by ": " (a file's name before what is wrong with it).
QString oneLine(const QString& text);

// Lists a file that was written on stdout, one path per line, for scripts.
void listWritten(const QString& path);

// A whole number from minimum to maximum, or nothing (with an error printed).
std::optional<int> numberArgument(const QString& text, const char* what, int minimum, int maximum);

} // namespace kelctl
