#pragma once
// Shared pieces of the image tests: a fresh application folder with the shipped language files,
// the core and state the procedures need, and small image builders.

#include "core/AppCore.h"
#include "image/ImageState.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>

namespace kel::test {

class ImageTest : public ::testing::Test {
protected:
    ImageTest() : core(dir.paths(), prompter)
    {
        core.endProcess = [](int) {};
        dir.addLanguageFiles();
        QDir(dir.path()).mkpath(QStringLiteral("TMP"));
    }

    QString tmpFile(const QString& name) const
    {
        return dir.paths().tmpDir() + QLatin1Char('/') + name;
    }

    // The critical boxes shown so far.
    int criticalBoxes() const
    {
        int count = 0;
        for (const ShownBox& box : prompter.boxes)
            count += box.style == 16 ? 1 : 0;
        return count;
    }

    TempAppDir dir;
    ScriptedPrompter prompter;
    AppCore core;
    ImageState state;

    // A file a reader refuses, and the words its box holds in each language.
    struct BrokenFile {
        const char* what;
        QByteArray bytes;
        const char* english;
        const char* japanese;
    };
    // Writes each file to path and reads it in both languages: the read fails with one box
    // that starts with the file's name and says what is wrong with it.
    void expectBrokenFilesTold(const QString& path, std::initializer_list<BrokenFile> files,
                               const std::function<bool(const QString&)>& read);
};

// A grid from rows of values, row 0 first.
inline ByteGrid gridFromRows(std::initializer_list<std::initializer_list<int>> rows)
{
    const int height = static_cast<int>(rows.size());
    const int width = height ? static_cast<int>(rows.begin()->size()) : 0;
    ByteGrid grid(width, height);
    int y = 0;
    for (const auto& row : rows) {
        int x = 0;
        for (int value : row)
            grid.at(x++, y) = static_cast<quint8>(value);
        ++y;
    }
    return grid;
}

// Values that never repeat in a short period, so a misplaced element shows as a mismatch.
inline ByteGrid patternGrid(int width, int height, unsigned seed = 1)
{
    ByteGrid grid(width, height);
    unsigned state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            grid.at(x, y) = static_cast<quint8>(state >> 24);
        }
    return grid;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// Little-endian number of size bytes at offset.
inline quint32 numberAt(const QByteArray& bytes, int offset, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<quint8>(bytes.at(offset + i));
    return value;
}

inline void ImageTest::expectBrokenFilesTold(const QString& path,
                                             std::initializer_list<BrokenFile> files,
                                             const std::function<bool(const QString&)>& read)
{
    for (const Language language : {LanguageEnglish, LanguageJapanese}) {
        core.lngLanguage = language;
        for (const BrokenFile& c : files) {
            writeBytes(path, c.bytes);
            prompter.boxes.clear();
            EXPECT_FALSE(read(path)) << c.what;
            ASSERT_EQ(prompter.boxes.size(), 1) << c.what;
            const QString text = prompter.boxes[0].text;
            EXPECT_TRUE(text.startsWith(path + QStringLiteral("\r\n"))) << c.what;
            EXPECT_TRUE(text.contains(
                QString::fromUtf8(language == LanguageEnglish ? c.english : c.japanese)))
                << c.what << ": " << text.toStdString();
        }
    }
}

} // namespace kel::test
