#include "views/ui/GaugePictures.h"

#include <QImage>
#include <QtTest>

namespace tavlor {

class GaugePicturesTest : public QObject
{
    Q_OBJECT

private:
    // Coloured (lit) pixels; the unlit bars are grey and the background transparent.
    static int LitPixels(const QPixmap& picture)
    {
        const QImage image = picture.toImage();
        int lit = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                lit += c.alpha() > 0 && c.hsvSaturation() > 100 ? 1 : 0;
            }
        }
        return lit;
    }

private slots:
    void twelvePicturesFromEmptyToFull()
    {
        const QList<QPixmap> pictures = GaugePictures();
        QCOMPARE(pictures.size(), 12);
        int previous = -1;
        for (const QPixmap& picture : pictures) {
            QCOMPARE(picture.size(), QSize(32, 32));
            QVERIFY(picture.hasAlphaChannel());
            const int lit = LitPixels(picture);
            QVERIFY2(lit > previous, qPrintable(QString("lit %1 after %2").arg(lit).arg(previous)));
            previous = lit;
        }
        QCOMPARE(LitPixels(pictures.first()), 0);
        // Full: every bar lit, the same area as the empty picture's grey bars.
        const QImage empty = pictures.first().toImage();
        int barPixels = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                barPixels += empty.pixelColor(x, y).alpha() > 0 ? 1 : 0;
            }
        }
        QCOMPARE(LitPixels(pictures.last()), barPixels);
        QCOMPARE(pictures.first().toImage().pixelColor(0, 0).alpha(), 0);
    }
};

} // namespace tavlor

QTEST_MAIN(tavlor::GaugePicturesTest)
#include "GaugePictures_test.moc"
