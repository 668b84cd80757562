// Every exported entry of the plug-in: the lifecycle entries and the commands
// of the command table, by family.
#pragma once

#include "effects/effect_commands.h"
#include "draw/draw_state.h"
#include "draw/paste/paste_commands.h"
#include "filters/blur/blur_commands.h"
#include "filters/channels/channel_commands.h"
#include "filters/color_key/color_key.h"
#include "filters/convolution/emboss.h"
#include "filters/convolution/sharpen.h"
#include "filters/geometry/geometry_commands.h"
#include "filters/gradient/gradient_commands.h"
#include "filters/threshold.h"
#include "filters/tone.h"
#include "host/lifecycle.h"
#include "image/image_copy.h"
#include "image/image_creation.h"
#include "image/image_lock.h"
#include "image/pixel_access.h"
#include "image/render_target_conversion.h"
