#pragma once

// The five page boxes of ISO 32000, numbered as the crop logic writes them.
enum class PdfBox { Media = 0, Crop = 1, Bleed = 2, Trim = 3, Art = 4 };

inline constexpr int kPdfBoxCount = 5;

// The page dictionary keys of the boxes, in PdfBox order.
inline constexpr const char* kPdfBoxKeys[kPdfBoxCount] = {"/MediaBox", "/CropBox", "/BleedBox",
                                                          "/TrimBox", "/ArtBox"};
