#include "toolkit/widgets/PixelScale.h"

#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace nebulo {

int PixelScale()
{
    return qGuiApp == nullptr ? 1 : std::max(1, int(std::ceil(qGuiApp->devicePixelRatio())));
}

QPixmap Enlarged(const QPixmap& Picture, int Scale)
{
    QPixmap Blocks = Picture.scaled(Picture.size() * Scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    Blocks.setDevicePixelRatio(Scale);
    return Blocks;
}

QIcon SharpIcon(const QPixmap& Picture, int Scale)
{
    QIcon Icon(Picture);
    if (Scale > 1 && !Picture.isNull())
        Icon.addPixmap(Enlarged(Picture, Scale));
    return Icon;
}

} // namespace nebulo
