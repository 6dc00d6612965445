#include "toolkit/widgets/StandardControls.h"

#include "toolkit/widgets/AccessibleControls.h"
#include "toolkit/widgets/Bevel.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/LayoutReader.h"
#include "toolkit/widgets/Panel.h"
#include "toolkit/widgets/SpeedButton.h"
#include "toolkit/widgets/TrackBar.h"

namespace nebulo {

void RegisterStandardControls()
{
    RegisterComponentClass<TSpeedButton>("TSpeedButton");
    RegisterComponentClass<TTrackBar>("TTrackBar");
    RegisterComponentClass<TCheckBox>("TCheckBox");
    RegisterComponentClass<TLabel>("TLabel");
    RegisterComponentClass<TBevel>("TBevel");
    RegisterComponentClass<TPanel>("TPanel");
    RegisterComponentClass<TImage>("TImage");
    RegisterAccessibleControls();
}

} // namespace nebulo
