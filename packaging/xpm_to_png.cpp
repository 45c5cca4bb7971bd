// Build tool: turns one of the window icon's XPM pictures into the PNG file
// the desktop's icon theme takes. Refuses a picture that is not of the size
// it is to be installed as, so a wrong picture never lands in a size folder.
//
//     xpm-to-png INPUT.xpm OUTPUT.png SIZE

#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QImage>
#include <QString>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INPUT.xpm OUTPUT.png SIZE\n", argv[0]);
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const int size = std::atoi(argv[3]);

    QImage picture;
    if (!picture.load(input, "XPM")) {
        std::fprintf(stderr, "xpm-to-png: cannot read %s as XPM\n", argv[1]);
        return 1;
    }
    if (picture.width() != size || picture.height() != size) {
        std::fprintf(stderr, "xpm-to-png: %s is %dx%d, not %dx%d\n", argv[1], picture.width(),
                     picture.height(), size, size);
        return 1;
    }
    // The XPM's "None" colour becomes the PNG's transparency.
    if (!picture.convertToFormat(QImage::Format_ARGB32).save(output, "PNG")) {
        std::fprintf(stderr, "xpm-to-png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
