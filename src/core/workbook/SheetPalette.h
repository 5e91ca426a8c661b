#pragma once
#include <QRgb>
#include <optional>

// The spreadsheet's default 56-colour palette, addressed by colour index 1..56. An index
// outside it stands for the automatic colour: none.
std::optional<QRgb> paletteColour(int colourIndex);
