#include "render/BitmapMemory.h"

#include <sys/mman.h>

#include <cstddef>
#include <limits>

namespace BitmapMemory {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

struct Mapping {
    void *start;
    std::size_t bytes;
};

void unmap(void *mapping)
{
    const auto *m = static_cast<Mapping *>(mapping);
    munmap(m->start, m->bytes);
    delete m;
}

} // namespace

QImage allocate(QSize size, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (qint64(size.width()) * depth + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * size.height();
    if (size.isEmpty() || bytes < qint64(kHugePage) || bytesPerLine > std::numeric_limits<int>::max())
        return QImage(size, format);
    void *start = mmap(nullptr, std::size_t(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) return QImage();
#ifdef MADV_HUGEPAGE
    madvise(start, std::size_t(bytes), MADV_HUGEPAGE);
#endif
    return QImage(static_cast<uchar *>(start), size.width(), size.height(), qsizetype(bytesPerLine), format, &unmap,
                  new Mapping{start, std::size_t(bytes)});
}

} // namespace BitmapMemory
