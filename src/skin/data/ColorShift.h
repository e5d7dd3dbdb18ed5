// Hue and saturation changes of whole skins and of single controls, on
// colours (0x00BBGGRR) and on the rows of 32-bit pictures.
#pragma once

#include "platform/Bitmap.h"

#include <cstdint>

namespace skin {

// Turns the hue by `degrees` through hue/saturation/value; greys keep their
// value. Nothing changes for 0.
int32_t ChangeHue(int32_t color, int degrees);
// Moves every channel away from (or, for a negative amount, towards) the
// mean of the three by amount percent. Nothing changes for 0.
int32_t ChangeSaturation(int32_t color, int amount);

// Every pixel but pure magenta and greys goes through the change; the fourth
// byte is kept.
void ApplyHueToBitmap(platform::Bitmap& picture, int degrees);
void ApplySaturationToBitmap(platform::Bitmap& picture, int amount);

} // namespace skin
