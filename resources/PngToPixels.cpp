// Run at build time: turns a PNG into the pixels the program shows, so that a start only copies its pictures where
// decoding PNG would cost it milliseconds.
//
//   png_to_pixels IN.png OUT.pixels
//
// OUT.pixels holds the width and the height as 32-bit little-endian numbers, then the rows of premultiplied ARGB32
// pixels, top to bottom, in the byte order of the machine that builds (and so runs) the program.
#include <QImage>
#include <QSaveFile>
#include <QtEndian>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: png_to_pixels IN.png OUT.pixels\n");
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]), "png");
    if (image.isNull()) {
        std::fprintf(stderr, "png_to_pixels: cannot read %s\n", argv[1]);
        return 1;
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    const quint32 size[] = {qToLittleEndian(quint32(image.width())), qToLittleEndian(quint32(image.height()))};
    bool written = out.open(QIODevice::WriteOnly) && out.write(reinterpret_cast<const char*>(size), sizeof size) > 0;
    for (int row = 0; written && row < image.height(); ++row)
        written = out.write(reinterpret_cast<const char*>(image.constScanLine(row)), image.width() * 4) > 0;
    if (!written || !out.commit()) {
        std::fprintf(stderr, "png_to_pixels: cannot write %s: %s\n", argv[2], qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
