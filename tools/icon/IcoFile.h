// Encodes an icon source as the bytes of an .ico file.
#pragma once

#include "IconSource.h"

#include <vector>

// One 4-bit (16-colour) image per source image, in the source's order: the
// icon directory, then each image as a device-independent bitmap whose
// height counts the colour rows and the transparency mask rows together.
std::vector<unsigned char> EncodeIcoFile(const IconSource& source);
