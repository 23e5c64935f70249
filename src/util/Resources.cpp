#include "Resources.h"

namespace Fonts {

void Load() { }

} // namespace Fonts
