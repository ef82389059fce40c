// One libFuzzer target: the reader named by KALMI_FUZZ_READER, on the bytes
// libFuzzer gives it.
#include "mfuzzreaders.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Images in brush and effect files need the framework's plugins and paths.
    static QCoreApplication app(*argc, *argv);
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
