#include "app/stored_settings.h"

namespace velmor {

namespace {

constexpr char SlinkxState[] = "\x00\x00\x01\x00\xC2\x01\x00\x00\xC2\x01\x00\x00\x00\x00\x00\x00";

// A binary form stream: signature, class and object name, then each property as a length-prefixed name,
// a value type byte and the value; two zero bytes end the properties and the (empty) list of children.
constexpr char CallSoft1State[] = "TPF0"
                                  "\x09"
                                  "TCallSoft"
                                  "\x08"
                                  "CallSoft"
                                  "\x04"
                                  "Left"
                                  "\x03\xA8\x01"
                                  "\x03"
                                  "Top"
                                  "\x03\x80\x01"
                                  "\x05"
                                  "Width"
                                  "\x02\x20"
                                  "\x06"
                                  "Height"
                                  "\x02\x20"
                                  "\x0D"
                                  "AxBorderStyle"
                                  "\x07"
                                  "\x07"
                                  "afbNone"
                                  "\x07"
                                  "Caption"
                                  "\x06"
                                  "\x08"
                                  "CallSoft"
                                  "\x05"
                                  "Color"
                                  "\x07"
                                  "\x09"
                                  "clBtnFace"
                                  "\x0C"
                                  "Font.Charset"
                                  "\x07"
                                  "\x0F"
                                  "DEFAULT_CHARSET"
                                  "\x0A"
                                  "Font.Color"
                                  "\x07"
                                  "\x0C"
                                  "clWindowText"
                                  "\x0B"
                                  "Font.Height"
                                  "\x02\xF5"
                                  "\x09"
                                  "Font.Name"
                                  "\x06"
                                  "\x0D"
                                  "MS Sans Serif"
                                  "\x0A"
                                  "Font.Style"
                                  "\x0B\x00"
                                  "\x0E"
                                  "OldCreateOrder"
                                  "\x08"
                                  "\x0D"
                                  "PixelsPerInch"
                                  "\x02\x60"
                                  "\x0A"
                                  "TextHeight"
                                  "\x02\x0D"
                                  "\x00\x00";

} // namespace

QByteArray slinkxStoredSettings() {
    return QByteArray(SlinkxState, sizeof SlinkxState - 1);
}

QByteArray callSoft1StoredSettings() {
    return QByteArray(CallSoft1State, sizeof CallSoft1State - 1);
}

} // namespace velmor
