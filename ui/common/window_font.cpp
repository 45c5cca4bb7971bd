#include "window_font.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWidget>

#include "twips.h"

namespace korvallestin {

QFont LargestFittingSize(QFont font, double smallest_points,
                         const std::function<bool(const QFont&)>& fits) {
    // Counted in half points.
    const int largest = static_cast<int>(font.pointSizeF() * 2);
    for (int half_points = largest; half_points > smallest_points * 2; --half_points) {
        font.setPointSizeF(half_points / 2.0);
        if (fits(font)) {
            return font;
        }
    }
    font.setPointSizeF(smallest_points);
    return font;
}

QFont WindowFont(const QWidget& window) {
    QFont font(QString::fromLatin1(WindowFontFamily()));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kWindowFontPoints);

    // A box like the search-type box, measured with the style in use: the
    // caption is drawn in its edit field less a pixel at either side.
    const QString widest = QStringLiteral("begins with");
    const double dpi = window.logicalDpiX() > 0 ? window.logicalDpiX() : 96;
    QComboBox box;
    box.addItem(widest);
    box.resize(TwipsToPixels(1215, dpi), TwipsToPixels(315, dpi));
    return LargestFittingSize(font, kSmallestWindowFontPoints, [&](const QFont& candidate) {
        box.setFont(candidate);
        QStyleOptionComboBox option;
        option.initFrom(&box);
        option.currentText = widest;
        const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxEditField, &box);
        return QFontMetrics(candidate).horizontalAdvance(widest) <= field.width() - 2;
    });
}

}  // namespace korvallestin
