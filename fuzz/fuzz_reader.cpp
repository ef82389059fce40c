// One libFuzzer target: the reader named by KALMI_FUZZ_READER, on the bytes
// libFuzzer gives it.
#include "mfuzzreaders.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Images in brush, effect and shape files need the framework's plugins
    // and paths, and drawing a shape's preview needs fonts (scripts/fuzz.sh
    // picks the offscreen platform).
    static QGuiApplication app(*argc, *argv);
    // The traces readers print for refused input would take most of the time.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    MFuzzReaders::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static unsigned runs = 0;
    if (++runs % 4096 == 0)
        MFuzzReaders::quietLog();
    MFuzzReaders::read(QStringLiteral(KALMI_FUZZ_READER),
                       QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
