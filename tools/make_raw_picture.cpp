// make-raw-picture: a picture as the pixels the renderer draws from, so that
// the program need not decode it each time it starts: the width and the height
// as little-endian 32-bit numbers, then the rows of premultiplied 32-bit pixels.
//   make-raw-picture PICTURE OUTPUT

#include <QFile>
#include <QImage>
#include <QTextStream>
#include <QtEndian>

int main(int argc, char *argv[])
{
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: make-raw-picture PICTURE OUTPUT\n";
        return 2;
    }
    const QImage picture = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) {
        err << "make-raw-picture: cannot read " << argv[1] << '\n';
        return 1;
    }
    char header[8];
    qToLittleEndian<qint32>(picture.width(), header);
    qToLittleEndian<qint32>(picture.height(), header + 4);
    QFile out(QString::fromLocal8Bit(argv[2]));
    const qsizetype rowBytes = qsizetype(picture.width()) * 4;
    bool written = out.open(QIODevice::WriteOnly) && out.write(header, sizeof header) == sizeof header;
    for (int y = 0; written && y < picture.height(); ++y)
        written = out.write(reinterpret_cast<const char *>(picture.constScanLine(y)), rowBytes) == rowBytes;
    if (!written) {
        err << "make-raw-picture: cannot write " << argv[2] << ": " << out.errorString() << '\n';
        return 1;
    }
    return 0;
}
