#pragma once

#include "app/image/Image.h"

// The terrain's texture: a light field with a fine grid and a bolder one every fourth line, so
// that slopes and the camera's motion read at a glance.
Image MakeGridPicture();
