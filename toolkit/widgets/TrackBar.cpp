#include "toolkit/widgets/TrackBar.h"

namespace nebulo {

TTrackBar::TTrackBar(QWidget* Parent) : QSlider(Qt::Horizontal, Parent)
{
    setTickPosition(QSlider::NoTicks);
    connect(this, &QSlider::valueChanged, this, &TTrackBar::Change);
}

} // namespace nebulo
