// A PNG file of a picture: 8-bit RGB, the image data in stored (uncompressed) deflate blocks,
// so that no compression library is needed. Any PNG reader opens it.
#pragma once

#include <cstdint>
#include <vector>

#include "sky/map_picture.h"

namespace kv::tool {

// The alpha byte is dropped: a composed map is opaque.
std::vector<uint8_t> EncodePng(const MapPicture& picture);

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

}  // namespace kv::tool
