// Hostile stored layouts: the reader refuses them with a failure, or builds a
// form from them whose written layout reads back to the same text.
#include "app/Blur1.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/LayoutReader.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's warnings about odd property values are expected here.
    qputenv("QT_LOGGING_RULES", "*.warning=false");
    static QApplication Application(*argc, *argv);
    nebulo::RegisterBlur1Classes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    using namespace nebulo;
    const QString Text = QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));
    QString Written;
    {
        TForm Form;
        try {
            ReadLayoutText(Form, Text);
        } catch (const Exception&) {
            return 0;
        }
        Written = WriteLayoutText(Form);
    }
    TForm Again;
    ReadLayoutText(Again, Written);
    if (WriteLayoutText(Again) != Written)
        std::abort();
    return 0;
}
