// Runs a fuzz target on the files named on the command line (folders: every file in them),
// without libFuzzer, so that the targets build with any compiler and their seeds run with the
// suite. A failing input aborts, as it does under the fuzzer.

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           static_cast<size_t>(bytes.size()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int failures = 0;
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(path).isDir()) {
            failures += replay(path);
            ++inputs;
            continue;
        }
        QDirIterator files(path, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            failures += replay(files.next());
            ++inputs;
        }
    }
    std::printf("%d inputs\n", inputs);
    return failures == 0 && inputs > 0 ? 0 : 1;
}
