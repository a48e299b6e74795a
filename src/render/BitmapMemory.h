#pragma once

#include <QImage>
#include <QSize>

// Memory for large page bitmaps.
namespace BitmapMemory {

// An image of size and format, null when the memory cannot be had. An image of 2 MiB
// or more gets a mapping of its own that the kernel is asked to back with huge
// pages: a 600-dpi page spans over 3000 pages of 4 KiB, and faulting each of them in
// costs more than filling the page does. The mapping is returned when the last
// copy of the image goes.
QImage allocate(QSize size, QImage::Format format);

} // namespace BitmapMemory
