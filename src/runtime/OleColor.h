#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <stdexcept>

// A colour as the settings file and the windows share it: red in the low byte, then green, then blue (0x00BBGGRR).
using OleColor = std::int32_t;

class ColourError : public std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

// Stored colour text to a colour: decimal digits, or "&H" followed by hexadecimal digits (as "&HFFC0C0").
// Anything else, the empty text included, throws ColourError.
OleColor toOleColor(const QString& text);

// A window accepts 0 to 0xFFFFFF; anything else throws ColourError.
QColor toQColor(OleColor colour);

// Stored colour text to a colour a window accepts: text that is no number, or a number outside 0 to 0xFFFFFF,
// throws ColourError.
OleColor toBackColor(const QString& text);
