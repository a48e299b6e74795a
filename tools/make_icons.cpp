// make-icons: the desktop's icons of Penlark, drawn at build time from the
// program's own window icon (assets/pictures/app_icon.png): the program's icon
// and the card file type's icon (the window icon on a small white card), each
// at the hicolor theme's sizes.
//   make-icons APP_ICON.png OUTPUT_DIR
// writes OUTPUT_DIR/<size>x<size>/apps/cn.example.penlark.designer.png and
// OUTPUT_DIR/<size>x<size>/mimetypes/application-x-penlark-card.png.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

QImage programIcon(const QImage &source, int size)
{
    return source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// A white card, landscape, with the window icon on its left and grey lines for
// its texts on the right.
QImage cardFileIcon(const QImage &source, int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(size * 0.04, size * 0.2, size * 0.92, size * 0.6);
    QPainterPath outline;
    outline.addRoundedRect(card, size * 0.05, size * 0.05);
    p.fillPath(outline, Qt::white);
    p.setPen(QPen(QColor(0x8a, 0x93, 0xa6), std::max(1.0, size / 64.0)));
    p.drawPath(outline);
    const double logo = card.height() * 0.6;
    p.drawImage(QRectF(card.left() + card.height() * 0.2, card.top() + card.height() * 0.2, logo, logo),
                source);
    const double left = card.left() + card.height() * 0.3 + logo;
    for (int line = 0; line < 3; ++line) {
        const double width = (card.right() - left - size * 0.06) * (line == 0 ? 1.0 : 0.7);
        p.fillRect(QRectF(left, card.top() + card.height() * (0.28 + 0.2 * line), width,
                          std::max(1.0, card.height() * 0.07)),
                   QColor(0x5a, 0x63, 0x76));
    }
    return icon;
}

bool save(const QImage &image, const QString &folder, int size, const QString &context, const QString &name)
{
    const QString dir = QStringLiteral("%1/%2x%2/%3").arg(folder).arg(size).arg(context);
    return QDir().mkpath(dir) && image.save(dir + u'/' + name + QStringLiteral(".png"));
}

} // namespace

int main(int argc, char *argv[])
{
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: make-icons APP_ICON.png OUTPUT_DIR\n";
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        err << "make-icons: cannot read " << argv[1] << "\n";
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (int size : kSizes) {
        if (!save(programIcon(source, size), folder, size, QStringLiteral("apps"),
                  QStringLiteral("cn.example.penlark.designer")) ||
            !save(cardFileIcon(source, size), folder, size, QStringLiteral("mimetypes"),
                  QStringLiteral("application-x-penlark-card"))) {
            err << "make-icons: cannot write into " << folder << "\n";
            return 1;
        }
    }
    return 0;
}
