#include "PdfImages.h"

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>
#include <cstring>

namespace azuz::test {

namespace {

int Number(const QByteArray& dictionary, const char* key) {
  const QRegularExpression pattern(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(key)));
  const auto match = pattern.match(QString::fromLatin1(dictionary));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QImage Inflated(const QByteArray& data, int width, int height) {
  // qUncompress wants the expected size in front, big-endian.
  QByteArray framed(4, '\0');
  qToBigEndian<quint32>(static_cast<quint32>(width * height * 3), framed.data());
  const QByteArray raw = qUncompress(framed + data);
  if (raw.size() != width * height * 3) {
    return {};
  }
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    std::memcpy(image.scanLine(y), raw.constData() + static_cast<qsizetype>(y) * width * 3,
                static_cast<std::size_t>(width) * 3);
  }
  return image;
}

}  // namespace

QList<QImage> ImagesInPdf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  const QByteArray pdf = file.readAll();
  QList<QImage> images;
  for (qsizetype at = pdf.indexOf("/Subtype /Image"); at >= 0;
       at = pdf.indexOf("/Subtype /Image", at + 1)) {
    const qsizetype open = pdf.lastIndexOf("<<", at);
    const qsizetype close = pdf.indexOf(">>", at);
    const qsizetype begin = pdf.indexOf("stream\n", close);
    const qsizetype end = pdf.indexOf("endstream", begin);
    if (open < 0 || close < 0 || begin < 0 || end < 0) {
      break;
    }
    const QByteArray dictionary = pdf.mid(open, close - open);
    QByteArray data = pdf.mid(begin + 7, end - begin - 7);
    if (data.endsWith('\n')) {
      data.chop(1);
    }
    const int width = Number(dictionary, "Width");
    const int height = Number(dictionary, "Height");
    if (dictionary.contains("/DCTDecode")) {
      images.append(QImage::fromData(data, "JPG").convertToFormat(QImage::Format_RGB888));
    } else if (dictionary.contains("/FlateDecode") && dictionary.contains("/DeviceRGB") &&
               Number(dictionary, "BitsPerComponent") == 8 && width > 0 && height > 0) {
      images.append(Inflated(data, width, height));
    }
  }
  return images;
}

QString ImageDifference(const QImage& image, const QImage& expected) {
  if (image.size() != expected.size()) {
    return QStringLiteral("size %1 x %2, expected %3 x %4")
        .arg(image.width())
        .arg(image.height())
        .arg(expected.width())
        .arg(expected.height());
  }
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb got = image.pixel(x, y) & 0xFFFFFF;
      const QRgb want = expected.pixel(x, y) & 0xFFFFFF;
      if (got != want) {
        return QStringLiteral("dot %1,%2: %3, expected %4")
            .arg(x)
            .arg(y)
            .arg(got, 6, 16, QLatin1Char('0'))
            .arg(want, 6, 16, QLatin1Char('0'));
      }
    }
  }
  return {};
}

}  // namespace azuz::test
