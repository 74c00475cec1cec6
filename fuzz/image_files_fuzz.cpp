// Resource pictures as the client reads them: any bytes under any of the
// suffixes it loads give an image of bounded size or a null one.

#include "FuzzSupport.h"

#include "platform/ImageFiles.h"

using namespace kelpo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    static const char* const suffixes[] = {"bmp", "ico", "gif", "jpg", "png", "cur"};
    const QString path = fuzz::ScratchFolder() + QStringLiteral("/picture.") +
                         QLatin1String(suffixes[data[0] % std::size(suffixes)]);
    fuzz::WriteFile(path, data + 1, size - 1);
    const QImage image = ReadImageFile(path);
    if (!image.isNull() && qint64(image.width()) * image.height() > 64LL * 1024 * 1024)
        fuzz::Fail("a picture past the decoder's cap");
    return 0;
}
