#include "platform/Platform.h"
#include "platform/qt/QtLocaleFormat.h"

namespace tavlor::platform {

// Linux takes the user's conventions from Qt; Windows asks the Windows locale itself.
std::unique_ptr<LocaleFormat> makeLocaleFormat()
{
    return std::make_unique<QtLocaleFormat>(QLocale::system());
}

} // namespace tavlor::platform
