#pragma once

// Application fonts. Loading them is not part of this build yet; start-up
// already calls the step at its place.
namespace Fonts {

void Load();

} // namespace Fonts
