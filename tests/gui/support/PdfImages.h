#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace azuz::test {

// The pictures a PDF written by Qt holds, decoded: 8-bit RGB ones stored with /FlateDecode
// exactly, /DCTDecode (JPEG) ones as their decoder gives them. Other kinds are left out.
QList<QImage> ImagesInPdf(const QString& path);

// The first dot where `image` differs from `expected`, as text; empty when they are equal.
QString ImageDifference(const QImage& image, const QImage& expected);

}  // namespace azuz::test
