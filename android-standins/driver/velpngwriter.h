#ifndef VELPNGWRITER_H
#define VELPNGWRITER_H

#include <cstdint>
#include <string>
#include <vector>

// Writes tightly packed RGBA pixels, top row first, as an 8-bit RGBA PNG.
bool velWritePng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgba,
                 std::string *error);

// Reads a PNG back as tightly packed RGBA (for checks of written files).
bool velReadPng(const std::string &path, int *width, int *height, std::vector<uint8_t> *rgba,
                std::string *error);

#endif
