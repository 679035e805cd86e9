#include "core/ProfileFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <utility>
#include <vector>

using namespace kel::profile;
using namespace Qt::StringLiterals;

namespace {

QString str(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

std::vector<std::string> toStd(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

// The same section in CP932: "[ゾーン]" holds the trail bytes ']' and '[', the value "ソフト"
// the trail byte '\\'; "ア" and "ヂ" differ only in a trail byte that is 'A' versus 'a'.
const QByteArray kSjis = "[\x83\x5D\x81\x5B\x83\x93]\r\n"
                         "\x96\xBC\x91\x4F=\x83\x5C\x83\x74\x83\x67\r\n"
                         "\x83\x41=1\r\n"
                         "\r\n"
                         "[x]\r\n";

} // namespace

TEST(ProfileLookup, MatchesWindowsReadsForEveryLineEnding)
{
    const char* v11 =
        "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
    const char* v81 = "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n[s]\r\n=val_no_key\r\n"
                      "[t]\r\n";
    const char* v101 = "[S]\r\nk=v\r\n[S2]\r\nk2=v2\r\n";
    const char* bom = "\xEF\xBB\xBF[S]\r\nk=v\r\n[S2]\r\nk2=v2\r\n";
    struct Case {
        const char* file;
        const char* section;
        const char* key;
        const char* value; // nullptr: not found
    };
    const Case cases[] = {
        {v11, "section1", "name1", "val1"},
        {v11, "section1", "name2", "val2"},
        {v11, "SECTION1", "NaMe1", "val1"},
        {v11, "section1", "", nullptr},
        {v11, "section1", "name3", nullptr},
        {v11, "section2", "name1", nullptr},
        {"\r[S]\r\nk=v\r\n", "S", "k", "v"},
        {"\n[S]\r\nk=v\r\n", "S", "k", "v"},
        {"[sec]whoops]\r\nk=v\r\n", "sec", "k", "v"},
        {"[sec]whoops]\r\nk=v\r\n", "sec]whoops", "k", nullptr},
        {"[S]k=v\r\n", "S", "k", nullptr},
        {"[S   \r\nk=v\r\n", "S", "k", "v"},
        {"S]\r\nk=v\r\n", "S", "k", nullptr},
        {"[[sec]\r\nk=v\r\n", "[sec", "k", "v"},
        {"[S]\r\nk=  \"   v   \"  \r\n", "S", "k", "   v   "},
        {"[S]\r\nk=  '   v   '  \r\n", "S", "k", "   v   "},
        {"[S]\r\nk=  \"'   v   '\"  \r\n", "S", "k", "'   v   '"},
        {"[S]\r\nk=  \"   v   '  \r\n", "S", "k", "\"   v   '"},
        {"[S]\r\nk=  '\"   v   '\"  \r\n", "S", "k", "'\"   v   '\""},
        {"[S]\r\nk=''x''\r\n", "S", "k", "'x'"},
        {"[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"[S]\r\n\"k\"=v\r\n", "S", "\"k\"", "v"},
        {"[S]\r\n\"k\"=v\r\n", "S", "k", nullptr},
        {"[\"S\"]\r\nk=v\r\n", "\"S\"", "k", "v"},
        {"[\"S\"]\r\nk=v\r\n", "S", "k", nullptr},
        {"[S]\r\n;key=v\r\n", "S", ";key", nullptr},
        {"[S]\r\n;key=v\r\n", "S", "key", nullptr},
        {"[S]\r\n\t;k=v\r\n", "S", "k", nullptr},
        {"[S]\r\n\t;k=v\r\n", "S", ";k", nullptr},
        {"[S]\r\n\t;k=v\r\n", "S", "\t;k", nullptr},
        {"[S]\r\nk=;x\r\n", "S", "k", ";x"},
        {"[S]\r\n#k=v\r\n", "S", "#k", "v"},
        {"[S]\r\n[S]\r\nk=v", "S", "k", nullptr},
        {"[S]\r\nk=v1\r\nk=v2", "S", "k", "v1"},
        {v81, "", "key", "val_e_section"},
        {v81, "s", "", "val_no_key"},
        {"k=v\r\n[S]\r\nk2=v2\r\n", "", "k", nullptr},
        {"k=v\r\n[S]\r\nk2=v2\r\n", " ", "k", nullptr},
        {"[]\r\nk=v\r\n", "", "k", "v"},
        {"[;section]\r\nk=v\r\n", ";section", "k", "v"},
        {v101, " S ", "k", "v"},
        {v101, "\tS", "k", nullptr},
        {v101, "\vS", "k", nullptr},
        {v101, "S", "k\t", nullptr},
        {v101, "S", "k\r", nullptr},
        {v101, "S", " k ", "v"},
        {v101, "S2", "k", nullptr},
        {"[S]\r\nk=\r\n", "S", "k", ""},
        // Windows sees the byte-order mark as part of the first line and misses [S]; an
        // editor that saves with a mark must not make the first section disappear.
        {bom, "S", "k", "v"},
        {bom, "S2", "k2", "v2"},
        {"[S]\r\nk=Unicode\xE2\x9D\xA4\xEF\xB8\x8E\r\n", "S", "k",
         "Unicode\xE2\x9D\xA4\xEF\xB8\x8E"},
        {"[設定]\r\n名前=値\r\n", "設定", "名前", "値"},
    };
    for (const Case& c : cases) {
        for (const char* eol : {"\r\n", "\r", "\n"}) {
            const QByteArray file = QByteArray(c.file).replace("\r\n", eol);
            SCOPED_TRACE(testing::Message()
                         << file.toStdString() << " [" << c.section << "] " << c.key);
            const Lookup got = lookup(file, str(c.section), str(c.key));
            EXPECT_EQ(got.found, c.value != nullptr);
            if (c.value) {
                EXPECT_EQ(got.value.toStdString(), c.value);
            }
        }
    }
}

TEST(ProfileLookup, TrimsSpaceTabAndVerticalTabAroundNamesAndValues)
{
    for (const char* b : {" ", "\t", "\v"}) {
        SCOPED_TRACE(testing::Message() << "blank " << int(*b));
        for (const QString& file :
             {u"%1[S]\r\nk=v"_s, u"[%1S%1]\r\nk=v"_s, u"[S]\r\n%1k%1=v"_s, u"[S]\r\nk=%1v%1"_s}) {
            const Lookup got = lookup(file.arg(QLatin1String(b)).toUtf8(), "S", "k");
            EXPECT_TRUE(got.found) << file.toStdString();
            EXPECT_EQ(got.value, "v") << file.toStdString();
        }
    }
}

TEST(ProfileSectionLines, EmulatesTheCallersBuffer)
{
    const char* v92 = "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[section2]\r\n"
                      "[section3]\r\n=val5\r\n";
    struct Case {
        const char* file;
        const char* section;
        int bufferSize;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {v92, "section1", 100, {"name1=val1", "name2=", "name3", "name4=val4"}},
        {v92, "section1", 36, {"name1=val1", "name2=", "name3", "name4=val4"}},
        {v92, "section1", 35, {"name1=val1", "name2=", "name3", "name4=val"}},
        {v92, "section1", 24, {"name1=val1", "name2=", "name"}},
        {v92, "section1", 20, {"name1=val1", "name2="}},
        {v92, "section1", 2, {}},
        {v92, "section2", 100, {}},
        {v92, "section3", 100, {"=val5"}},
        {v92, "X", 100, {}},
        {"[S]\r\n;c=1\r\nk=v\r\n", "S", 260, {"k=v"}},
        {"[S]\r\na=1\r\n[S]\r\nb=2\r\n", "S", 260, {"a=1"}},
        {"[S]\r\n  k  =  \"v\"  \r\n\r\n \t\r\n", "S", 260, {"k=\"v\""}},
        {"[S]\r\nk=ソ\r\n", "S", 6, {"k="}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " [" << c.section << "] " << c.bufferSize);
        EXPECT_EQ(toStd(sectionLines(c.file, str(c.section), c.bufferSize)), c.lines);
    }
}

TEST(ProfileWithValue, WritesLikeWindowsAndKeepsEveryOtherByte)
{
    using Write = std::array<const char*, 3>; // section, key, value
    struct Case {
        QByteArray before;
        std::vector<Write> writes;
        QByteArray after;
    };
    const Case cases[] = {
        {"", {{"App", "key", "string"}}, "[App]\r\nkey=string\r\n"},
        {"", {{"App", "key", ""}}, "[App]\r\nkey=\r\n"},
        {"", {{"", "k", "v"}}, "[]\r\nk=v\r\n"},
        {"",
         {{"App1", "key1", "string1"},
          {"App1", "key2", "string2"},
          {"App1", "key3", "string3"},
          {"App2", "key4", "string4"},
          {"App3", "key5", "string5"}},
         "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
         "[App3]\r\nkey5=string5\r\n"},
        {QByteArray("Data \0 before \0 first \0 section", 31),
         {{"section1", "key1", "string1"}},
         QByteArray("Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n", 59)},
        {"\xEF\xBB\xBF", {{"S", "k", "v"}}, "\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n"},
        {"\xEF\xBB\xBF[S]\r\nk=v\r\n", {{"S", "k", "w"}}, "\xEF\xBB\xBF[S]\r\nk=w\r\n"},
        {"[S]\r\nb=value\r\na=value\r\n",
         {{"S", "z", ""}, {"S", "b", ""}, {"S", "y", ""}, {"S", "a", ""}},
         "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
        {"",
         {{"S", "z", ""}, {"S", ";y", ""}, {"S", "a", ""}, {"S", ";b", ""}, {"S", ";c", ""}},
         "[S]\r\nz=\r\na=\r\n;c=\r\n;b=\r\n;y=\r\n"},
        {";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
         {{"S", "z", ""}, {"S", ";x", ""}, {"S", "y", ""}, {"S", "a", ""}, {"S", "b", ""}},
         ";comment0\r\n[S]\r\n;comment1\r\nb=\r\n;comment2\r\na=\r\nz=\r\ny=\r\n;x=\r\n"},
        {"[A]\r\nk=1\r\n[B]\r\nj=2\r\n", {{"A", "n", "2"}}, "[A]\r\nk=1\r\nn=2\r\n[B]\r\nj=2\r\n"},
        {"[A]\r\nk=1\r\n\r\n[B]\r\n", {{"A", "n", "2"}}, "[A]\r\nk=1\r\nn=2\r\n\r\n[B]\r\n"},
        {"[A]\rk=1\r[B]\r", {{"A", "n", "2"}}, "[A]\rk=1\rn=2\r\n[B]\r"},
        {"[A]\r\nk=1", {{"A", "n", "2"}}, "[A]\r\nk=1\r\nn=2\r\n"},
        {"[S]", {{"S", "k", "v"}}, "[S]\r\nk=v\r\n"},
        {"[S]\r\nTestKey=TestValue",
         {{"S", "TESTKEY", "TestValue2"}, {"s", "TestKey", "TESTVALUE"}},
         "[S]\r\nTestKey=TESTVALUE\r\n"},
        {"[S]\r\n\tk = \"old\"  \n", {{"S", "k", "new"}}, "[S]\r\n\tk = new\n"},
        {"[S]\r\n[S]\r\nk=v\r\n", {{"S", "k", "w"}}, "[S]\r\nk=w\r\n[S]\r\nk=v\r\n"},
        {"", {{"S", "k", " value "}}, "[S]\r\nk= value \r\n"},
        {"", {{"S", "k", "\tvalue\t"}}, "[S]\r\nk=\tvalue\t\r\n"},
        {"", {{"S", "k", "\vvalue\v"}}, "[S]\r\nk=\vvalue\v\r\n"},
        {"", {{"S", "k", "\rvalue\r"}}, "[S]\r\nk=\rvalue\r\r\n"},
        {"", {{"S", "k", "\nvalue\n"}}, "[S]\r\nk=\nvalue\n\r\n"},
        {"", {{"S", "k", ";nocomment"}}, "[S]\r\nk=;nocomment\r\n"},
        {"", {{"S", "", ";comment"}}, "[S]\r\n=;comment\r\n"},
        {"", {{" sec ", "k", "v"}}, "[sec]\r\nk=v\r\n"},
        {"", {{"\tsec\t", "k", "v"}}, "[\tsec\t]\r\nk=v\r\n"},
        {"", {{"S", " key ", "v"}}, "[S]\r\nkey=v\r\n"},
        {"", {{"S", "\tkey\t", "v"}}, "[S]\r\n\tkey\t=v\r\n"},
        {"", {{"\"section\"", "k", "v"}}, "[\"section\"]\r\nk=v\r\n"},
        {"", {{";section", "k", "v"}}, "[;section]\r\nk=v\r\n"},
        {"", {{"S", ";key", "v"}, {"S", ";key", "v"}}, "[S]\r\n;key=v\r\n;key=v\r\n"},
        {"", {{"S", "k", "ソ"}}, "[S]\r\nk=\xE3\x82\xBD\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.before.toStdString() << " -> " << c.after.toStdString());
        QByteArray file = c.before;
        for (const Write& w : c.writes)
            file = withValue(file, str(w[0]), str(w[1]), str(w[2]));
        EXPECT_EQ(file.toStdString(), c.after.toStdString());
    }
}

TEST(ProfileEncoding, DetectsUtf8ElseCp932)
{
    const std::pair<QByteArray, Encoding> cases[] = {
        {"", Encoding::Utf8},
        {"[S]\r\nk=v\r\n", Encoding::Utf8},
        {"\xEF\xBB\xBF[S]", Encoding::Utf8},
        {"k=\xC3\xA9", Encoding::Utf8},
        {"k=\x83\x5C", Encoding::ShiftJis},
        {"k=\xC0\x80", Encoding::ShiftJis},     // overlong
        {"k=\xE3\x81", Encoding::ShiftJis},     // cut off at the end
        {"k=\xED\xA0\x80", Encoding::ShiftJis}, // surrogate
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(detectEncoding(bytes), expected) << bytes.toHex().toStdString();

    EXPECT_EQ(decode("\x83\x5C\x83\x74\x83\x67", Encoding::ShiftJis), str("ソフト"));
    EXPECT_EQ(encode(str("ソ😀é"), Encoding::ShiftJis), QByteArray("\x83\x5C??"));
}

TEST(ProfileShiftJis, StepsOverTrailBytesThatLookLikeAscii)
{
    ASSERT_EQ(detectEncoding(kSjis), Encoding::ShiftJis);
    EXPECT_EQ(lookup(kSjis, str("ゾーン"), str("名前")).value, str("ソフト"));
    EXPECT_TRUE(lookup(kSjis, str("ゾーン"), str("ア")).found);
    EXPECT_FALSE(lookup(kSjis, str("ゾーン"), str("ヂ")).found);
    EXPECT_EQ(toStd(sectionLines(kSjis, str("ゾーン"), 100)),
              (std::vector<std::string>{"名前=ソフト", "ア=1"}));
    // Room for "名前=" and the lead byte of "ソ": the half character is dropped.
    EXPECT_EQ(toStd(sectionLines(kSjis, str("ゾーン"), 8)), (std::vector<std::string>{"名前="}));
}

TEST(ProfileShiftJis, WritingKeepsTheFileShiftJis)
{
    QByteArray file = withValue(kSjis, str("ゾーン"), str("表示"), str("ソフト"));
    file = withValue(file, str("ゾーン"), str("名前"), str("ソ"));
    const QByteArray expected = "[\x83\x5D\x81\x5B\x83\x93]\r\n"
                                "\x96\xBC\x91\x4F=\x83\x5C\r\n"
                                "\x83\x41=1\r\n"
                                "\x95\x5C\x8E\xA6=\x83\x5C\x83\x74\x83\x67\r\n"
                                "\r\n"
                                "[x]\r\n";
    EXPECT_EQ(file.toHex(' ').toStdString(), expected.toHex(' ').toStdString());
    EXPECT_EQ(detectEncoding(file), Encoding::ShiftJis);
}

TEST(ProfileFiles, ReadWriteAndFailures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("a.ini");

    EXPECT_EQ(readString(path, "S", "k").status, ReadStatus::Missing);
    const SectionResult missingSection = readSection(path, "S", 260);
    EXPECT_TRUE(missingSection.ok);
    EXPECT_TRUE(missingSection.lines.isEmpty());

    ASSERT_TRUE(writeString(path, "S", "k", "v").ok);
    ASSERT_TRUE(writeString(path, "S", "n", "w").ok);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[S]\r\nk=v\r\nn=w\r\n"));
    const ReadResult read = readString(path, "s", "K");
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.value, "v");
    EXPECT_EQ(readString(path, "S", "x").status, ReadStatus::Missing);
    EXPECT_EQ(readSection(path, "S", 260).lines, QStringList({"k=v", "n=w"}));

    const QString noFolder = dir.filePath("missing/a.ini");
    const WriteResult noFolderWrite = writeString(noFolder, "S", "k", "v");
    EXPECT_FALSE(noFolderWrite.ok);
    EXPECT_FALSE(noFolderWrite.error.isEmpty());
    EXPECT_FALSE(QFile::exists(noFolder));

    // A folder stands in for a file that exists but cannot be read (tests may run as root).
    const ReadResult unreadable = readString(dir.path(), "S", "k");
    EXPECT_EQ(unreadable.status, ReadStatus::Unreadable);
    EXPECT_FALSE(unreadable.error.isEmpty());
    EXPECT_FALSE(readSection(dir.path(), "S", 260).ok);
    EXPECT_FALSE(writeString(dir.path(), "S", "k", "v").ok);
}
